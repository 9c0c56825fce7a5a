// Decoding a names file without a byte-order mark, natively: one line that is one long word of
// Greek or of accented Latin letters, both readings judged. Linear time means the same
// megabytes per second at every size.
#include <chrono>
#include <cstdio>
#include <string>

#include "lists/names_decoding.h"
#include "platform/headless/headless_fs.h"

int main()
{
    platform::headless::HeadlessFileSystem fs;
    const struct {
        const char* what;
        const char* letters;
    } scripts[] = {{"Greek", "αβγδ"}, {"accented Latin", "éaüö"}};
    for (const auto& script : scripts) {
        for (std::size_t size : {64u << 10, 256u << 10, 1u << 20, 4u << 20}) {
            std::string line;
            while (line.size() < size)
                line += script.letters;
            const auto start = std::chrono::steady_clock::now();
            const std::size_t decoded = lists::decodeNamesFile(fs, line).size();
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::printf("%-15s %5zu KB line: %.3f s = %.1f MB/s (%zu bytes decoded)\n", script.what, line.size() >> 10,
                        seconds, line.size() / seconds / (1 << 20), decoded);
        }
    }
    return 0;
}
