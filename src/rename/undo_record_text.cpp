#include "rename/undo_record_text.h"

#include "rename/record_fields.h"

namespace renaming::records {

namespace {

using fields::appendEscaped;
using fields::appendIdentity;
using fields::identityOf;
using fields::number;
using fields::unescape;

// Where a file stood after the run, most often one of its pair's paths.
void appendPlace(std::string& text, const std::string& place, const std::string& from, const std::string& to)
{
    if (place == from || place == to) {
        text += place == from ? 'o' : 'n';
        return;
    }
    text += 'p';
    appendEscaped(text, place);
}

}  // namespace

const char* modeName(Mode mode)
{
    return mode == Mode::RenameInPlace ? "rename" : "copy";
}

std::optional<Mode> modeOf(const std::string& name)
{
    if (name != "rename" && name != "copy")
        return std::nullopt;
    return name == "rename" ? Mode::RenameInPlace : Mode::CopyToNewPath;
}

std::string recordText(const UndoRecord& r)
{
    std::string text = "run\t" + std::string(modeName(r.mode)) + "\t" + std::to_string(r.originals.size()) + "\t" +
                       std::to_string(r.pairs.size()) + "\n";
    // Piece by piece into the one text, reserved once: a million entries make no million copies.
    std::size_t size = text.size() + 80 * r.pairs.size();
    for (std::size_t i = 0; i < r.originals.size(); ++i)
        size += r.originals[i].size() + r.targets[i].size() + 4;
    text.reserve(size);
    for (std::size_t i = 0; i < r.originals.size(); ++i) {
        appendEscaped(text, r.originals[i]);
        text += '\t';
        appendEscaped(text, r.targets[i]);
        text += '\t';
        appendPlace(text, r.after[i], r.originals[i], r.targets[i]);
        text += '\n';
    }
    for (const UndoPair& p : r.pairs) {
        fields::appendNumber(text, p.index);
        text += '\t';
        appendIdentity(text, p.moved);
        text += '\t';
        appendIdentity(text, p.original);
        text += '\t';
        fields::appendAttributes(text, p.attributes);
        text += '\n';
    }
    return text;
}

LineReader::LineReader(const std::string& text) : lines_(fields::wholeLines(text)) {}

std::vector<std::string> LineReader::line(std::size_t fieldCount)
{
    if (atEnd())
        return {};
    auto f = fields::split(lines_[next_++]);
    return f.size() == fieldCount ? f : std::vector<std::string>{};
}

std::optional<UndoRecord> LineReader::record()
{
    const auto head = line(4);
    const auto mode = head.empty() || head[0] != "run" ? std::nullopt : modeOf(head[1]);
    const auto entries = mode ? number(head[2]) : std::nullopt, pairs = mode ? number(head[3]) : std::nullopt;
    // Never more than the lines left: a spoiled count may be the largest.
    if (!entries || !pairs || *entries > lines_.size() - next_ || *pairs > *entries)
        return std::nullopt;
    UndoRecord r;
    r.mode = *mode;
    for (std::size_t i = 0; i < *entries; ++i)
        if (!entry(r))
            return std::nullopt;
    for (std::size_t k = 0; k < *pairs; ++k)
        if (!pair(r))
            return std::nullopt;
    return r;
}

bool LineReader::entry(UndoRecord& r)
{
    const auto f = line(3);
    if (f.empty())
        return false;
    const std::string& place = f[2];
    r.originals.push_back(unescape(f[0]));
    r.targets.push_back(unescape(f[1]));
    if (place == "o")
        r.after.push_back(r.originals.back());
    else if (place == "n")
        r.after.push_back(r.targets.back());
    else if (place.starts_with('p'))
        r.after.push_back(unescape(place.substr(1)));
    else
        return false;
    return true;
}

bool LineReader::pair(UndoRecord& r)
{
    const auto f = line(4);
    const auto index = f.empty() ? std::nullopt : number(f[0]);
    // In the order of the lists, each entry once.
    if (!index || *index >= r.originals.size() || (!r.pairs.empty() && *index <= r.pairs.back().index))
        return false;
    const auto attributes = f[3] == "-" ? std::optional<std::size_t>(platform::attr::invalid) : number(f[3]);
    if (!attributes || *attributes > platform::attr::invalid || (f[1] != "-" && !identityOf(f[1])) ||
        (f[2] != "-" && !identityOf(f[2])))
        return false;
    r.pairs.push_back({*index, identityOf(f[1]), identityOf(f[2]), static_cast<std::uint32_t>(*attributes)});
    return true;
}

std::optional<Closed> opened(platform::FileSystem& fs, std::string text)
{
    const std::size_t last = text.rfind("end\t");
    if (last == std::string::npos || (last > 0 && text[last - 1] != '\n'))
        return std::nullopt;
    const std::string closing = text.substr(last);
    text.resize(last);
    std::string digest = fs.digest(text);
    if (closing != closingLine(digest))
        return std::nullopt;
    return Closed{std::move(text), std::move(digest)};
}

std::string closingLine(const std::string& digest)
{
    return "end\t" + digest + "\n";
}

std::string closed(platform::FileSystem& fs, std::string body)
{
    body += closingLine(fs.digest(body));
    return body;
}

}  // namespace renaming::records
