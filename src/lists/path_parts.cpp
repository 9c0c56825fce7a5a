#include "lists/path_parts.h"

namespace lists {

namespace {
std::size_t nameStart(std::string_view path)
{
    auto cut = path.find_last_of("\\:");
    return cut == std::string_view::npos ? 0 : cut + 1;
}
}  // namespace

std::string folderPart(std::string_view path)
{
    return std::string(path.substr(0, nameStart(path)));
}

std::string namePart(std::string_view path)
{
    return std::string(path.substr(nameStart(path)));
}

std::string extensionOf(std::string_view path)
{
    std::string_view name = path.substr(nameStart(path));
    auto dot = name.find_last_of('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

}  // namespace lists
