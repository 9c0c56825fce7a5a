// Composition of new names alone, natively: entries per second.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "rename/compose.h"

int main()
{
    constexpr std::size_t entries = 2'000'000;
    std::vector<std::string> paths;
    paths.reserve(1000);
    for (int i = 0; i < 1000; ++i)
        paths.push_back("C:\\Users\\someone\\Pictures\\2026 holiday\\IMG_" + std::to_string(20260000 + i) + ".JPG");

    renaming::RenameOptions options;
    options.edtname = "假期";
    options.cbBeforename = true;
    options.edtForeside = "x_";
    options.cbChangesuffix = true;
    options.edtsuffix_old = ".JPG";
    options.edtsuffix_new = ".jpg";

    std::size_t checksum = 0;
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t k = 0; k < entries; ++k)
        checksum += renaming::composeEntry(paths[k % paths.size()], k, options, false).path.size();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("composition: %zu entries in %.3f s = %.0f entries/s (target 1000000; checksum %zu)\n", entries,
                seconds, entries / seconds, checksum);
    return 0;
}
