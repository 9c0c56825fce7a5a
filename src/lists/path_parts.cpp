#include "lists/path_parts.h"

namespace lists {

std::size_t nameStart(std::string_view path)
{
    auto cut = path.find_last_of("\\:");
    return cut == std::string_view::npos ? 0 : cut + 1;
}

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

bool isDeviceName(std::string_view name)
{
    std::string_view trimmed = name.substr(0, name.find('.'));
    while (!trimmed.empty() && trimmed.back() == ' ')
        trimmed.remove_suffix(1);
    // A device is three letters and at most a digit of one or two bytes: any other name is told
    // at once, as a run asks about a million of them.
    if (trimmed.size() < 3 || trimmed.size() > 5)
        return false;
    std::string stem(trimmed);
    for (char& c : stem)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL")
        return true;
    if (stem.rfind("COM", 0) != 0 && stem.rfind("LPT", 0) != 0)
        return false;
    const std::string digit = stem.substr(3);
    return (digit.size() == 1 && digit[0] >= '1' && digit[0] <= '9') || digit == "\u00B9" || digit == "\u00B2" ||
           digit == "\u00B3";
}

}  // namespace lists
