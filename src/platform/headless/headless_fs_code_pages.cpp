// Code pages: those this system knows, and texts to and from one.
#include "platform/headless/headless_fs.h"

#include <iconv.h>

#include <cerrno>

namespace platform::headless {

namespace {

// Converts with iconv, the test stand-in for the code page functions of Windows. Characters
// that have no place in the target become "?" and make the conversion inexact.
std::string convert(const char* to, const char* from, const std::string& in, bool* exact)
{
    if (exact)
        *exact = to && from;
    // A code page the system does not know fails the call, as on Windows: nothing comes back.
    if (!to || !from)
        return {};
    iconv_t cd = iconv_open(to, from);
    std::string out;
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[4096];
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, dst - buffer);
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            if (exact)
                *exact = false;
            out += '?';
            // Skip one whole UTF-8 character, or one byte of other input.
            do {
                ++src, --srcLeft;
            } while (srcLeft > 0 && std::string(from) == "UTF-8" && (static_cast<unsigned char>(*src) & 0xC0) == 0x80);
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

const char* HeadlessFileSystem::iconvName(std::uint32_t codePage) const
{
    switch (codePage) {
    case 932: return "CP932";
    case 936: return "CP936";
    case 949: return "CP949";
    case 1252: return "CP1252";
    case codePage::gb18030: return knowsGb18030 ? "GB18030" : nullptr;
    case 65001: return "UTF-8";
    }
    return nullptr;
}

bool HeadlessFileSystem::hasCodePage(std::uint32_t codePage)
{
    return iconvName(codePage) != nullptr;
}

std::string HeadlessFileSystem::toCodePage(std::uint32_t codePage, const std::string& utf8, bool* exact)
{
    if (auto bytes = tables_.encode(*this, codePage, utf8)) {
        if (exact)
            *exact = true;
        return std::move(*bytes);
    }
    std::string bytes = convert(iconvName(codePage), "UTF-8", utf8, exact);
    // iconv maps some characters one way only (CP932 writes £ as the bytes of ￡); Windows is
    // asked for no best fit and checked by a round trip, so exact means "reads back unchanged".
    if (exact && *exact)
        *exact = convert("UTF-8", iconvName(codePage), bytes, nullptr) == utf8;
    return bytes;
}

std::string HeadlessFileSystem::fromCodePage(std::uint32_t codePage, const std::string& bytes, bool* valid)
{
    if (auto text = tables_.decode(*this, codePage, bytes)) {
        if (valid)
            *valid = true;
        return std::move(*text);
    }
    return convert("UTF-8", iconvName(codePage), bytes, valid);
}

}  // namespace platform::headless
