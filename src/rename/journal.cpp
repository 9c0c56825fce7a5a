#include "rename/journal.h"

#include <charconv>

#include "platform/errors.h"

namespace renaming {

namespace {

constexpr const char* header = "nomerra-run 1";

std::string escape(const std::string& path)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || c == '%') {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 0xF];
        } else {
            out += c;
        }
    }
    return out;
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

std::vector<std::string> fields(const std::string& line)
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

// Whole lines only: a line cut by a lost write is no record.
std::vector<std::string> wholeLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

struct PairState {
    std::string parked;  // the file itself under a temporary name
    std::string copy;    // a copy under a temporary name
    bool done = false;
    bool settled = false;  // done or failed
};

struct Journal {
    Mode mode = Mode::RenameInPlace;
    std::vector<Pair> pairs;
    std::vector<PairState> states;
    std::optional<std::size_t> inFlight;  // a move announced and not settled
};

std::optional<Journal> parse(const std::string& text)
{
    const auto lines = wholeLines(text);
    if (lines.empty())
        return std::nullopt;
    const auto head = fields(lines[0]);
    if (head.size() != 3 || head[0] != header || (head[1] != "rename" && head[1] != "copy"))
        return std::nullopt;
    const auto count = number(head[2]);
    if (!count || lines.size() - 1 < *count)  // never 1 + count: a spoiled count may be the largest
        return std::nullopt;
    Journal j;
    j.mode = head[1] == "rename" ? Mode::RenameInPlace : Mode::CopyToNewPath;
    for (std::size_t i = 1; i <= *count; ++i) {
        const auto f = fields(lines[i]);
        if (f.size() != 2)
            return std::nullopt;
        j.pairs.push_back({unescape(f[0]), unescape(f[1])});
    }
    j.states.resize(*count);
    for (std::size_t i = 1 + *count; i < lines.size(); ++i) {
        const auto f = fields(lines[i]);
        const auto pair = f.size() >= 2 ? number(f[1]) : std::nullopt;
        if (!pair || *pair >= *count)
            continue;
        PairState& s = j.states[*pair];
        if ((f[0] == "park" || f[0] == "copy") && f.size() == 3) {
            j.inFlight.reset();  // an announcement after a move means the move failed
            (f[0] == "park" ? s.parked : s.copy) = unescape(f[2]);
        } else if (f[0] == "move") {
            j.inFlight = *pair;
        } else if (f[0] == "done" || f[0] == "fail") {
            s.settled = true;
            s.done = f[0] == "done";
            if (j.inFlight == *pair)
                j.inFlight.reset();
        }
    }
    return j;
}

bool exists(platform::FileSystem& fs, const std::string& path)
{
    return !path.empty() && fs.fileExists(path);
}

// Where the file or copy that the pair's final move takes stands until that move.
const std::string& moving(const Journal& j, std::size_t i)
{
    const PairState& s = j.states[i];
    return !s.copy.empty() ? s.copy : !s.parked.empty() ? s.parked : j.pairs[i].from;
}

}  // namespace

RunJournal::RunJournal(platform::FileSystem& fs, const std::string& path, Mode mode, const std::vector<Pair>& pairs)
    : file_(fs.openAppendOnly(path, false))
{
    std::string plan = std::string(header) + (mode == Mode::RenameInPlace ? "\trename\t" : "\tcopy\t") +
                       std::to_string(pairs.size()) + "\n";
    for (const auto& p : pairs)
        plan += escape(p.from) + "\t" + escape(p.to) + "\n";
    if (auto code = file_->write(plan))
        throw platform::IoError(static_cast<int>(code));
}

std::uint32_t RunJournal::hand(std::string line)
{
    if (failure_)
        return failure_;
    kept_ += line;
    failure_ = file_->write(kept_);
    if (failure_ == 0)
        kept_.clear();
    return failure_;
}

std::uint32_t RunJournal::parking(std::size_t pair, const std::string& temporary)
{
    return hand("park\t" + std::to_string(pair) + "\t" + escape(temporary) + "\n");
}

std::uint32_t RunJournal::copying(std::size_t pair, const std::string& temporary)
{
    return hand("copy\t" + std::to_string(pair) + "\t" + escape(temporary) + "\n");
}

std::uint32_t RunJournal::moving(std::size_t pair)
{
    return hand("move\t" + std::to_string(pair) + "\n");
}

std::uint32_t RunJournal::flush()
{
    return kept_.empty() ? 0 : hand("");
}

void RunJournal::done(std::size_t pair)
{
    kept_ += "done\t" + std::to_string(pair) + "\n";
}

void RunJournal::failed(std::size_t pair)
{
    kept_ += "fail\t" + std::to_string(pair) + "\n";
}

std::optional<Recovered> recover(platform::FileSystem& fs, const std::string& journalPath)
{
    auto journal = parse(fs.readAll(journalPath));
    if (!journal)
        return std::nullopt;
    Journal& j = *journal;
    if (j.inFlight) {
        // The move announced last took place when what it moved has left for the new path. A
        // second recovery must reach the same decision after this one has moved files back.
        const std::size_t i = *j.inFlight;
        PairState& s = j.states[i];
        s.done = !exists(fs, moving(j, i)) && exists(fs, j.pairs[i].to);
        const std::string line = std::string(s.done ? "done\t" : "fail\t") + std::to_string(i) + "\n";
        if (auto code = fs.openAppendOnly(journalPath, true)->write(line))
            throw platform::IoError(static_cast<int>(code));
        // A move to another volume is a copy that has arrived: the original may still be there.
        if (s.done && j.mode == Mode::RenameInPlace && !s.copy.empty())
            discardTemporary(fs, s.parked.empty() ? j.pairs[i].from : s.parked);
    }

    Recovered r;
    const auto first = j.mode == Mode::RenameInPlace ? firstOfSameFile(fs, j.pairs) : std::vector<std::size_t>{};
    r.where.resize(j.pairs.size());
    for (std::size_t i = 0; i < j.pairs.size(); ++i) {
        const Pair& pair = j.pairs[i];
        const PairState& s = j.states[i];
        r.where[i] = pair.from;
        if (s.done) {
            r.where[i] = pair.to;
            ++r.done;
            continue;
        }
        if (exists(fs, s.copy))
            discardTemporary(fs, s.copy);  // an unfinished copy
        if (exists(fs, s.parked) && (fs.attributes(pair.from) != platform::attr::invalid ||
                                     fs.moveFile(s.parked, pair.from) != platform::err::ok)) {
            r.where[i] = s.parked;
            r.parked.push_back(s.parked);
        }
    }
    // A file listed twice stands where its first pair left it.
    for (std::size_t i = 0; i < first.size(); ++i)
        r.where[i] = r.where[first[i]];
    return r;
}

std::string recoveryNotice(const Recovered& recovered)
{
    constexpr std::size_t listed = 10;
    std::string text = "上次执行未完成，已恢复：" + std::to_string(recovered.done) + " 个文件已改名，" +
                       std::to_string(recovered.where.size() - recovered.done) + " 个文件未处理。";
    for (std::size_t i = 0; i < recovered.parked.size() && i < listed; ++i)
        text += "\r" + recovered.parked[i];
    if (recovered.parked.size() > listed)
        text += "\r……";
    return text;
}

}  // namespace renaming
