#include "lists/views.h"

#include <algorithm>

#include "platform/utf8.h"

namespace lists {

namespace {
bool isHidden(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 && c != '\r' && c != '\n';
}
}  // namespace

std::string viewText(std::string listText)
{
    // A list of a million entries has no such character: it is handed on as it is.
    const auto first = std::find_if(listText.begin(), listText.end(), isHidden);
    if (first == listText.end())
        return listText;
    std::string text(listText.begin(), first);
    text.reserve(listText.size() + 16);
    for (auto it = first; it != listText.end(); ++it) {
        if (isHidden(*it))
            text += platform::utf8Encode(0x2400 + static_cast<unsigned char>(*it));
        else
            text += *it;
    }
    return text;
}

}  // namespace lists
