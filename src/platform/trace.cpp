#include "platform/trace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {
std::FILE* traceFile()
{
    static std::FILE* const file = [] {
        const char* path = std::getenv("NOMERRA_TRACE");
        return path && *path ? std::fopen(path, "a") : nullptr;
    }();
    return file;
}
}  // namespace

void trace(const char* step)
{
    std::FILE* file = traceFile();
    if (!file)
        return;
    const double now = std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    std::fprintf(file, "%s %.6f\n", step, now);
    std::fflush(file);
}

bool progressWindowLeftOut()
{
    static const bool leftOut = std::getenv("NOMERRA_NO_PROGRESS_WINDOW") != nullptr;
    return leftOut;
}

}  // namespace platform
