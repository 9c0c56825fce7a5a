#include "rename/journal.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <set>
#include <string_view>

#include "lists/messages.h"
#include "lists/path_parts.h"
#include "platform/errors.h"
#include "rename/journal_read.h"
#include "rename/record_fields.h"

namespace renaming {

namespace {

// The plan's format before the attributes were recorded is read still: a journal of the version
// before may be left on disk.
constexpr const char* header = "nomerra-run 3";
constexpr const char* headerWithoutAttributes = "nomerra-run 2";

using fields::appendEscaped;
using fields::appendIdentity;
using fields::identityOf;
using fields::number;
using fields::unescape;
using fields::wholeLines;

std::uint32_t attributesFrom(const std::string& text)
{
    const auto value = number(text);
    return value && *value < platform::attr::invalid ? static_cast<std::uint32_t>(*value) : platform::attr::invalid;
}

}  // namespace

std::optional<JournalRead> readJournal(const std::string& text)
{
    const auto lines = wholeLines(text);
    if (lines.empty())
        return std::nullopt;
    const auto head = fields::split(lines[0]);
    const bool withAttributes = head.size() == 4 && head[0] == header && (head[3] == "run" || head[3] == "undo");
    if (!withAttributes && (head.size() != 3 || head[0] != headerWithoutAttributes))
        return std::nullopt;
    if (head[1] != "rename" && head[1] != "copy")
        return std::nullopt;
    const auto count = number(head[2]);
    if (!count || lines.size() - 1 < *count)  // never 1 + count: a spoiled count may be the largest
        return std::nullopt;
    JournalRead j;
    j.mode = head[1] == "rename" ? Mode::RenameInPlace : Mode::CopyToNewPath;
    j.kind = withAttributes && head[3] == "undo" ? RunKind::Undo : RunKind::Run;
    for (std::size_t i = 1; i <= *count; ++i) {
        const auto f = fields::split(lines[i]);
        if (f.size() != (withAttributes ? 4u : 3u))
            return std::nullopt;
        j.pairs.push_back({unescape(f[0]), unescape(f[1])});
        j.identities.push_back(identityOf(f[2]));
        // Not known from an older journal: an undo then leaves the attributes as they are.
        j.attributes.push_back(withAttributes ? attributesFrom(f[3]) : platform::attr::invalid);
    }
    j.records.resize(*count);
    for (std::size_t i = 1 + *count; i < lines.size(); ++i) {
        const auto f = fields::split(lines[i]);
        const auto pair = f.size() >= 2 ? number(f[1]) : std::nullopt;
        if (!pair || *pair >= *count)
            continue;
        PairRecord& r = j.records[*pair];
        if (f[0] == "copied" && f.size() == 3)
            r.copied = identityOf(f[2]);
        else if (f[0] == "fail" && f.size() == 2)
            r.failed = true;
    }
    return j;
}

RunJournal::RunJournal(platform::FileSystem& fs, const std::string& path, Mode mode, const std::vector<Pair>& pairs,
                       RunKind kind)
    : RunJournal(fs, path, mode, pairs, originalsOf(fs, pairs), kind)
{}

RunJournal::RunJournal(platform::FileSystem& fs, const std::string& path, Mode mode, const std::vector<Pair>& pairs,
                       Originals originals, RunKind kind)
    : originals_(std::move(originals)), file_(fs.openAppendOnly(path, false))
{
    std::string plan = std::string(header) + (mode == Mode::RenameInPlace ? "\trename\t" : "\tcopy\t") +
                       std::to_string(pairs.size()) + (kind == RunKind::Undo ? "\tundo\n" : "\trun\n");
    // A million pairs make a plan of some hundred megabytes: handed over a megabyte at a time from
    // one buffer, never built whole in fresh memory. A plan cut short is no plan: its lines are
    // fewer than its count.
    constexpr std::size_t handedAtOnce = 1 << 20;
    plan.reserve(handedAtOnce + 4096);
    std::uint32_t code = 0;
    for (std::size_t i = 0; i < pairs.size() && !code; ++i) {
        appendEscaped(plan, pairs[i].from);
        plan += '\t';
        appendEscaped(plan, pairs[i].to);
        plan += '\t';
        appendIdentity(plan, originals_.identities[i]);
        plan += '\t';
        fields::appendAttributes(plan, originals_.attributes[i]);
        plan += '\n';
        if (plan.size() >= handedAtOnce) {
            code = file_->write(plan);
            plan.clear();
        }
    }
    // Once, before any file moves: what follows need not reach the disk for the recovery to
    // find every file.
    if (code || (code = file_->write(plan)) || (code = file_->flush()))
        throw platform::IoError(static_cast<int>(code));
}

std::uint32_t RunJournal::hand(const std::string& line)
{
    if (!failure_)
        failure_ = file_->write(line);
    return failure_;
}

std::uint32_t RunJournal::copied(std::size_t pair, const platform::FileIdentity& copy)
{
    std::string line = "copied\t" + std::to_string(pair) + "\t";
    appendIdentity(line, copy);
    return hand(line + "\n");
}

std::uint32_t RunJournal::failed(std::size_t pair)
{
    return hand("fail\t" + std::to_string(pair) + "\n");
}

}  // namespace renaming
