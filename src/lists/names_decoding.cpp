#include "lists/names_decoding.h"

#include <vector>

#include "platform/utf8.h"

namespace lists {

namespace {

// What a character is worth alone; letters of alphabetic scripts are judged by their word.
enum class Kind { Break, Common, Neutral, Rare, AsciiLetter, Latin, Greek, Cyrillic, Armenian, Hebrew, Arabic, Symbol };

bool in(char32_t c, char32_t first, char32_t last) { return c >= first && c <= last; }

Kind kindOf(char32_t c)
{
    if (c == '\r' || c == '\n')
        return Kind::Break;
    if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z')
        return Kind::AsciiLetter;
    if (in(c, 0x20, 0x7E))
        return Kind::Common;
    if (c == '\t')
        return Kind::Neutral;
    if (c < 0x20 || in(c, 0x7F, 0x9F) || in(c, 0xE000, 0xF8FF) || c >= 0xF0000 || in(c, 0xFFF0, 0xFFFF) ||
        in(c, 0xFDD0, 0xFDEF))
        return Kind::Rare;
    if (in(c, 0xA0, 0xBF) || c == 0xD7 || c == 0xF7)
        return Kind::Symbol;
    // Combining marks go with the Latin letters they usually follow.
    if (in(c, 0xC0, 0x36F) || in(c, 0x1E00, 0x1EFF))
        return Kind::Latin;
    if (in(c, 0x370, 0x3FF))
        return Kind::Greek;
    if (in(c, 0x400, 0x52F))
        return Kind::Cyrillic;
    if (in(c, 0x530, 0x58F))
        return Kind::Armenian;
    if (in(c, 0x590, 0x5FF))
        return Kind::Hebrew;
    if (in(c, 0x600, 0x7FF))
        return Kind::Arabic;
    if (in(c, 0x2010, 0x203F) || in(c, 0x3000, 0x30FF) || in(c, 0x31F0, 0x31FF) || in(c, 0x3400, 0x4DBF) ||
        in(c, 0x4E00, 0x9FFF) || in(c, 0xF900, 0xFAFF) || in(c, 0xFF00, 0xFFEF) || in(c, 0x1100, 0x11FF) ||
        in(c, 0x3130, 0x318F) || in(c, 0xAC00, 0xD7AF) || in(c, 0x20000, 0x3FFFF))
        return Kind::Common;
    return Kind::Neutral;
}

bool isLetterOfScript(Kind k) { return k >= Kind::AsciiLetter && k <= Kind::Arabic; }

bool isWordCharacter(char32_t c, Kind k)
{
    return isLetterOfScript(k) || (k == Kind::Common && c >= 0x80 && !in(c, 0x2010, 0x203F) && !in(c, 0x3000, 0x303F) &&
                                   !in(c, 0xFF00, 0xFF20));
}

// Letters that form one word: a run of one alphabetic script, where Latin takes in the ASCII
// letters.
Kind wordScript(Kind k) { return k == Kind::AsciiLetter ? Kind::Latin : k; }

// Whether the word starting at position first holds a letter that anchors it: for Latin an
// ASCII letter (a word of accented letters alone is no word), for other scripts a second
// letter. Gives the word's end too, so that each word is judged once.
bool anchoredWord(const std::vector<Kind>& kinds, std::size_t first, std::size_t& end)
{
    const Kind script = wordScript(kinds[first]);
    bool ascii = false;
    for (end = first; end < kinds.size() && wordScript(kinds[end]) == script; ++end)
        ascii = ascii || kinds[end] == Kind::AsciiLetter;
    return script == Kind::Latin ? ascii : end - first > 1;
}

}  // namespace

Plausibility plausibility(const std::string& utf8)
{
    const std::u32string text = platform::utf8Decode(utf8);
    std::vector<Kind> kinds;
    kinds.reserve(text.size());
    for (char32_t c : text)
        kinds.push_back(kindOf(c));
    Plausibility p;
    std::size_t wordEnd = 0;  // where the word of the last letter ends
    bool wordAnchored = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Kind k = kinds[i];
        if (k == Kind::Break)
            continue;
        ++p.characters;
        if (isLetterOfScript(k) && i >= wordEnd)
            wordAnchored = anchoredWord(kinds, i, wordEnd);
        if (k == Kind::Common || k == Kind::AsciiLetter) {
            ++p.score;
        } else if (k == Kind::Rare) {
            --p.score;
        } else if (k == Kind::Symbol) {
            // A middle dot between two names (列夫·托尔斯泰) is common; a lone sign is not.
            if (i > 0 && i + 1 < text.size() && isWordCharacter(text[i - 1], kinds[i - 1]) &&
                isWordCharacter(text[i + 1], kinds[i + 1]))
                ++p.score;
        } else if (isLetterOfScript(k)) {
            p.score += wordAnchored ? 1 : -1;
        }
    }
    return p;
}

bool morePlausible(const Plausibility& a, const Plausibility& b)
{
    if (a.characters == 0 || b.characters == 0)
        return false;
    return a.score * static_cast<long long>(b.characters) > b.score * static_cast<long long>(a.characters);
}

std::string decodeNamesFile(platform::FileSystem& fs, const std::string& bytes)
{
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0)
        return platform::validUtf8(bytes.substr(3));
    if (bytes.rfind("\xFF\xFE", 0) == 0)
        return platform::utf16ToUtf8(bytes.substr(2), false);
    if (bytes.rfind("\xFE\xFF", 0) == 0)
        return platform::utf16ToUtf8(bytes.substr(2), true);
    bool ansiValid = false;
    std::string ansi = fs.fromAnsi(bytes, &ansiValid);
    // Where the code page is GBK, a name beyond it is written in GB18030, as the lists write it.
    if (!ansiValid && !platform::isValidUtf8(bytes) && fs.ansiCodePage() == platform::codePage::gbk &&
        fs.hasCodePage(platform::codePage::gb18030))
        return fs.fromCodePage(platform::codePage::gb18030, bytes);
    if (!platform::isValidUtf8(bytes) || ansi == bytes)
        return ansi;
    if (!ansiValid || !morePlausible(plausibility(ansi), plausibility(bytes)))
        return bytes;
    return ansi;
}

}  // namespace lists
