#include "lists/list_encoding.h"

namespace lists {

namespace {

constexpr char byteOrderMark[] = "\xEF\xBB\xBF";

bool startsWithMark(const std::string& bytes)
{
    return bytes.starts_with(byteOrderMark);
}

bool readsBack(platform::FileSystem& fs, const std::string& bytes, const std::string& text)
{
    return decodeList(fs, bytes) == text;
}

}  // namespace

EncodedPair encodePair(platform::FileSystem& fs, const std::string& pathsText, const std::string& namesText)
{
    // An exact conversion reads back unchanged in the code page; only a text that begins with the
    // mark's three bytes (in GBK: 锘 and a character led by BF) would be taken for UTF-8.
    bool pathsExact = false, namesExact = false;
    EncodedPair pair{fs.toAnsi(pathsText, &pathsExact), fs.toAnsi(namesText, &namesExact)};
    if (pathsExact && namesExact && !startsWithMark(pair.paths) && !startsWithMark(pair.names))
        return pair;
    // GB18030 writes a few characters with two bytes that GBK reads as other ones (Windows reads
    // A8BC as a private-use character where GB18030 has ḿ): such a pair goes to UTF-8.
    if (fs.ansiCodePage() == platform::codePage::gbk && fs.hasCodePage(platform::codePage::gb18030)) {
        pair = {fs.toCodePage(platform::codePage::gb18030, pathsText),
                fs.toCodePage(platform::codePage::gb18030, namesText)};
        if (readsBack(fs, pair.paths, pathsText) && readsBack(fs, pair.names, namesText))
            return pair;
    }
    return {byteOrderMark + pathsText, byteOrderMark + namesText};
}

std::string decodeList(platform::FileSystem& fs, const std::string& bytes)
{
    if (startsWithMark(bytes))
        return bytes.substr(3);
    bool valid = false;
    std::string text = fs.fromAnsi(bytes, &valid);
    if (valid || !fs.hasCodePage(platform::codePage::gb18030))
        return text;
    return fs.fromCodePage(platform::codePage::gb18030, bytes);
}

}  // namespace lists
