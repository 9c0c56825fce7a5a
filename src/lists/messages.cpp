#include "lists/messages.h"

namespace messages {

std::string firstTenLines(std::size_t count, const std::function<std::string(std::size_t)>& item)
{
    constexpr std::size_t shown = 10;
    std::string text;
    for (std::size_t i = 0; i < count && i < shown; ++i)
        text += "\r" + item(i);
    if (count > shown)
        text += "\r……";
    return text;
}

}  // namespace messages
