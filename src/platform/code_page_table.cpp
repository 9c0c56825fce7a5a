#include "platform/code_page_table.h"

#include <cstring>

#include "platform/utf8.h"

namespace platform {

namespace {

constexpr std::uint64_t highBits = 0x8080808080808080ull;

bool isAsciiBlock(const unsigned char* p)
{
    std::uint64_t block;
    std::memcpy(&block, p, sizeof block);
    return !(block & highBits);
}

// The code point of the well-formed UTF-8 sequence of one to three bytes at p (a character of the
// Basic Multilingual Plane other than a surrogate) and its length; length 0 for anything else,
// which the system would not read as that one character.
std::pair<char32_t, int> nextCharacter(const unsigned char* p, const unsigned char* end)
{
    const unsigned b0 = p[0];
    auto continues = [&](int i) { return p + i < end && (p[i] & 0xC0) == 0x80; };
    if (b0 < 0x80)
        return {b0, 1};
    if (b0 >= 0xC2 && b0 < 0xE0 && continues(1))
        return {((b0 & 0x1F) << 6) | (p[1] & 0x3F), 2};
    if (b0 >= 0xE0 && b0 < 0xF0 && continues(1) && continues(2)) {
        const char32_t c = ((b0 & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
        if (c >= 0x800 && (c < 0xD800 || c > 0xDFFF))
            return {c, 3};
    }
    return {0, 0};
}

bool isSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Two passes over the text: the first measures the result (and finds whether there is one), the
// second writes it into a string of that size. Each Form is copied whole (four bytes), hence the
// slack at the end.
template <class Walk>
std::optional<std::string> converted(Walk walk)
{
    std::size_t size = 0;
    const bool whole = walk([&](const unsigned char*, std::size_t n) { size += n; },
                            [&](const auto& form) { size += form.length; });
    if (!whole)
        return std::nullopt;
    std::string out(size + 4, '\0');
    char* at = out.data();
    walk([&](const unsigned char* run, std::size_t n) { std::memcpy(at, run, n), at += n; },
         [&](const auto& form) { std::memcpy(at, form.bytes, sizeof form.bytes), at += form.length; });
    out.resize(size);
    return out;
}

}  // namespace

CodePageTable::CodePageTable() : singles_(256), pairs_(256 * 256), lead_(256), encoded_(0x10000) {}

std::unique_ptr<CodePageTable> CodePageTable::learn(FileSystem& fs, std::uint32_t codePage)
{
    std::unique_ptr<CodePageTable> table(new CodePageTable);
    if (!table->learnDecoding(fs, codePage) || !table->learnEncoding(fs, codePage))
        return nullptr;
    table->asciiKept_ = true;
    for (unsigned b = 0; b < 0x80; ++b) {
        const Form& in = table->singles_[b];
        const Form& out = table->encoded_[b];
        const bool kept = in.length == 1 && in.bytes[0] == static_cast<char>(b) && out.length == 1 &&
                          out.bytes[0] == static_cast<char>(b);
        table->asciiKept_ = table->asciiKept_ && kept;
    }
    return table;
}

bool CodePageTable::learnDecoding(FileSystem& fs, std::uint32_t codePage)
{
    // A sequence is learnt when the system reads it, alone, as one character.
    auto learnt = [&](std::string sequence, Form& form) {
        bool valid = false;
        const std::string text = fs.fromCodePage(codePage, sequence, &valid);
        if (!valid || text.empty() || text.size() > sizeof form.bytes || utf8Length(text) != 1)
            return false;
        form.length = static_cast<std::uint8_t>(text.size());
        std::memcpy(form.bytes, text.data(), text.size());
        return true;
    };
    std::string every, expected;
    for (unsigned b = 0; b < 256; ++b) {
        const char first = static_cast<char>(b);
        if (learnt(std::string(1, first), singles_[b])) {
            every += first;
            expected.append(singles_[b].bytes, singles_[b].length);
            continue;
        }
        // No character alone: a lead byte where some byte after it makes one.
        for (unsigned t = 0; t < 256; ++t) {
            Form& pair = pairs_[b * 256 + t];
            if (learnt({first, static_cast<char>(t)}, pair)) {
                lead_[b] = true;
                every += {first, static_cast<char>(t)};
                expected.append(pair.bytes, pair.length);
            }
        }
    }
    // Read together, as a list is, they must read as they did alone: no lead byte the tables
    // missed, nothing that depends on what came before.
    bool valid = false;
    return fs.fromCodePage(codePage, every, &valid) == expected && valid;
}

bool CodePageTable::learnEncoding(FileSystem& fs, std::uint32_t codePage)
{
    std::string every;
    for (char32_t c = 0; c < 0x10000; ++c)
        if (!isSurrogate(c))
            every += utf8Encode(c);
    // Each character's bytes are a lead byte and its trail or else one byte (which may be one the
    // code page reads as nothing: some systems write a character there they never read back):
    // that is how the bytes of the whole split into those of each.
    const std::string bytes = fs.toCodePage(codePage, every);
    std::size_t at = 0;
    std::vector<std::pair<std::string, std::string>> exacts;  // character, bytes
    for (char32_t c = 0; c < 0x10000; ++c) {
        if (isSurrogate(c))
            continue;
        if (at >= bytes.size())
            return false;
        const auto b = static_cast<unsigned char>(bytes[at]);
        const std::size_t length = lead_[b] ? 2 : 1;
        if (at + length > bytes.size())
            return false;
        const std::string piece = bytes.substr(at, length);
        at += length;
        const Form& read = length == 1 ? singles_[b] : pairs_[b * 256 + static_cast<unsigned char>(piece[1])];
        const std::string character = utf8Encode(c);
        // Held exactly: the bytes read back as this very character.
        if (character != std::string_view(read.bytes, read.length))
            continue;
        Form& form = encoded_[c];
        form.length = static_cast<std::uint8_t>(length);
        std::memcpy(form.bytes, piece.data(), length);
        exacts.emplace_back(character, piece);
    }
    // In another order the system must write the same bytes for each, and call them exact.
    std::string exactText, exactBytes;
    for (auto it = exacts.rbegin(); it != exacts.rend(); ++it) {
        exactText += it->first;
        exactBytes += it->second;
    }
    bool exact = false;
    return at == bytes.size() && fs.toCodePage(codePage, exactText, &exact) == exactBytes && exact;
}

std::optional<std::string> CodePageTable::decode(std::string_view bytes) const
{
    const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = begin + bytes.size();
    return converted([&](auto&& run, auto&& form) {
        for (const unsigned char* p = begin; p < end;) {
            if (asciiKept_ && end - p >= 8 && isAsciiBlock(p)) {
                run(p, 8);
                p += 8;
            } else if (singles_[*p].length) {
                form(singles_[*p]);
                ++p;
            } else if (lead_[*p] && end - p >= 2 && pairs_[p[0] * 256 + p[1]].length) {
                form(pairs_[p[0] * 256 + p[1]]);
                p += 2;
            } else {
                return false;
            }
        }
        return true;
    });
}

std::optional<std::string> CodePageTable::encode(std::string_view utf8) const
{
    const auto* begin = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = begin + utf8.size();
    return converted([&](auto&& run, auto&& form) {
        for (const unsigned char* p = begin; p < end;) {
            if (asciiKept_ && end - p >= 8 && isAsciiBlock(p)) {
                run(p, 8);
                p += 8;
                continue;
            }
            const auto [c, length] = nextCharacter(p, end);
            if (length == 0 || !encoded_[c].length)
                return false;
            form(encoded_[c]);
            p += length;
        }
        return true;
    });
}

const CodePageTable* CodePageTables::tableFor(FileSystem& fs, std::uint32_t codePage)
{
    std::lock_guard lock(learnt_->mutex);
    auto& tables = learnt_->tables;
    auto it = tables.find(codePage);
    if (it == tables.end())
        it = tables.emplace(codePage, CodePageTable::learn(fs, codePage)).first;
    return it->second.get();
}

std::optional<std::string> CodePageTables::decode(FileSystem& fs, std::uint32_t codePage, std::string_view bytes)
{
    if (bytes.size() < worthFrom)
        return std::nullopt;
    const CodePageTable* table = tableFor(fs, codePage);
    return table ? table->decode(bytes) : std::nullopt;
}

std::optional<std::string> CodePageTables::encode(FileSystem& fs, std::uint32_t codePage, std::string_view utf8)
{
    if (utf8.size() < worthFrom)
        return std::nullopt;
    const CodePageTable* table = tableFor(fs, codePage);
    return table ? table->encode(utf8) : std::nullopt;
}

}  // namespace platform
