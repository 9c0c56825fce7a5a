#include "platform/file_system.h"

#include <exception>
#include <numeric>

namespace platform {

void FileSystem::atOnce(std::size_t count, const std::function<void(std::size_t)>& each)
{
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), 0);
    eachInOrder(order, each);
}

void FileSystem::together(const std::function<void()>& first, const std::function<void()>& second)
{
    atOnce(2, [&](std::size_t k) { k == 0 ? first() : second(); });
}

void FileSystem::eachInOrder(const std::vector<std::size_t>& order, const std::function<void(std::size_t)>& each)
{
    std::vector<std::exception_ptr> failed(order.size());
    for (std::size_t k : order) {
        try {
            each(k);
        } catch (...) {
            failed[k] = std::current_exception();
        }
    }
    for (const std::exception_ptr& f : failed)
        if (f)
            std::rethrow_exception(f);
}

}  // namespace platform
