#include "platform/file_system.h"

#include <exception>

namespace platform {

void FileSystem::together(const std::function<void()>& first, const std::function<void()>& second)
{
    std::exception_ptr failed;
    try {
        first();
    } catch (...) {
        failed = std::current_exception();
    }
    try {
        second();
    } catch (...) {
        if (!failed)
            throw;
    }
    if (failed)
        std::rethrow_exception(failed);
}

}  // namespace platform
