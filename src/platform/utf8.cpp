#include "platform/utf8.h"

namespace platform {

namespace {
bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }
}  // namespace

std::string utf8Encode(char32_t c)
{
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

std::size_t utf8Length(const std::string& text)
{
    std::size_t n = 0;
    for (unsigned char b : text)
        n += !isContinuation(b);
    return n;
}

std::size_t utf16Length(std::string_view text)
{
    std::size_t n = 0;
    for (unsigned char b : text)
        n += !isContinuation(b) + (b >= 0xF0);  // a four-byte character is a surrogate pair
    return n;
}

std::string utf8DropLast(const std::string& text)
{
    std::size_t end = text.size();
    while (end > 0 && isContinuation(static_cast<unsigned char>(text[end - 1])))
        --end;
    return text.substr(0, end == 0 ? 0 : end - 1);
}

namespace {
// The length of the valid UTF-8 sequence that starts at i; 0 where none does.
std::size_t sequenceLength(const std::string& bytes, std::size_t i)
{
    const unsigned char b = bytes[i];
    std::size_t extra;
    char32_t c;
    if (b < 0x80)
        return 1;
    if ((b & 0xE0) == 0xC0)
        extra = 1, c = b & 0x1F;
    else if ((b & 0xF0) == 0xE0)
        extra = 2, c = b & 0x0F;
    else if ((b & 0xF8) == 0xF0)
        extra = 3, c = b & 0x07;
    else
        return 0;
    if (i + extra >= bytes.size())
        return 0;
    for (std::size_t k = 1; k <= extra; ++k) {
        unsigned char t = bytes[i + k];
        if (!isContinuation(t))
            return 0;
        c = (c << 6) | (t & 0x3F);
    }
    static constexpr char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
    if (c < minimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return extra + 1;
}
}  // namespace

bool isValidUtf8(const std::string& bytes)
{
    for (std::size_t i = 0, n; i < bytes.size(); i += n)
        if ((n = sequenceLength(bytes, i)) == 0)
            return false;
    return true;
}

std::string validUtf8(const std::string& bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        if (const std::size_t n = sequenceLength(bytes, i)) {
            out.append(bytes, i, n);
            i += n;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

std::u32string utf8Decode(const std::string& text)
{
    std::u32string out;
    for (unsigned char b : text) {
        if (isContinuation(b) && !out.empty())
            out.back() = (out.back() << 6) | (b & 0x3F);
        else
            out.push_back(b < 0x80 ? b : b < 0xE0 ? b & 0x1F : b < 0xF0 ? b & 0x0F : b & 0x07);
    }
    return out;
}

std::string utf16ToUtf8(const std::string& bytes, bool bigEndian)
{
    auto unit = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    std::string out;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        out += utf8Encode(c);
    }
    return out;
}

}  // namespace platform
