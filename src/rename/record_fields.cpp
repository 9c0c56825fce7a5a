#include "rename/record_fields.h"

#include <algorithm>
#include <charconv>

namespace renaming::fields {

void appendEscaped(std::string& text, std::string_view path)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    auto plain = [](char c) { return static_cast<unsigned char>(c) >= 0x20 && c != '%'; };
    // Most paths need no escape at all: appended whole.
    if (std::all_of(path.begin(), path.end(), plain)) {
        text += path;
        return;
    }
    for (char c : path) {
        const auto b = static_cast<unsigned char>(c);
        if (plain(c)) {
            text += c;
        } else {
            text += '%';
            text += hex[b >> 4];
            text += hex[b & 0xF];
        }
    }
}

std::string unescape(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned value = 0;
        if (text[i] == '%' && i + 2 < text.size() &&
            std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16).ptr == text.data() + i + 3) {
            out += static_cast<char>(value);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<std::string> split(const std::string& line)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        out.push_back(line.substr(start, tab - start));
    out.push_back(line.substr(start));
    return out;
}

std::optional<std::size_t> number(const std::string& text)
{
    std::size_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::vector<std::string> wholeLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

void appendNumber(std::string& text, std::uint64_t value)
{
    char digits[20];
    text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

void appendAttributes(std::string& text, std::uint32_t attributes)
{
    if (attributes == platform::attr::invalid)
        text += '-';
    else
        appendNumber(text, attributes);
}

void appendIdentity(std::string& text, const std::optional<platform::FileIdentity>& id)
{
    if (!id) {
        text += '-';
        return;
    }
    for (std::uint64_t part : {id->volume, id->file, id->size}) {
        appendNumber(text, part);
        text += ':';
    }
    appendNumber(text, id->written);
}

std::optional<platform::FileIdentity> identityOf(const std::string& text)
{
    std::vector<std::uint64_t> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = std::min(text.find(':', start), text.size());
        std::uint64_t value = 0;
        auto [end, error] = std::from_chars(text.data() + start, text.data() + colon, value);
        if (error != std::errc() || end != text.data() + colon || colon == start)
            return std::nullopt;
        parts.push_back(value);
        if (colon == text.size())
            break;
        start = colon + 1;
    }
    if (parts.size() != 4)
        return std::nullopt;
    return platform::FileIdentity{parts[0], parts[1], parts[2], parts[3]};
}

}  // namespace renaming::fields
