#include "lists/views.h"

#include "platform/line_breaks.h"
#include "platform/utf8.h"

namespace lists {

std::size_t countLines(const std::string& text)
{
    std::size_t lines = 0;
    platform::forEachLine(std::string_view(text), [&](std::size_t, std::size_t) { ++lines; });
    return lines;
}

std::string viewText(const std::string& listText)
{
    std::string text;
    text.reserve(listText.size());
    for (char c : listText) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 && c != '\r' && c != '\n')
            text += platform::utf8Encode(0x2400 + b);
        else
            text += c;
    }
    return text;
}

}  // namespace lists
