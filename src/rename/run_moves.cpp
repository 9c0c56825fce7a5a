#include "rename/run.h"

#include "lists/path_parts.h"
#include "rename/journal.h"

namespace renaming {

using platform::FileSystem;
namespace err = platform::err;

Outcome outcomeOf(std::uint32_t code)
{
    switch (code) {
    case err::ok: return Outcome::Done;
    case err::fileExists:
    case err::alreadyExists: return Outcome::TargetExists;
    case err::fileNotFound: return Outcome::SourceMissing;
    case err::pathNotFound: return Outcome::TargetFolderMissing;
    default: return Outcome::SystemError;
    }
}

bool Run::announced(std::uint32_t code)
{
    if (code)
        stopCode_ = code;
    return code == 0;
}

void Run::discardCopy(std::size_t i, const std::string& path)
{
    if (!discardTemporary(fs_, path))
        results_[i].stray = path;
}

std::optional<std::uint32_t> Run::placeCopy(std::size_t i, const std::string& from, const std::string& to)
{
    const std::string temporary = temporaryBeside(to);
    if (const std::uint32_t code = fs_.copyFile(from, temporary, true)) {
        if (outcomeOf(code) != Outcome::TargetExists)
            discardCopy(i, temporary);  // a copy cut short
        return code;
    }
    // Once its identity is on record the recovery can tell this whole copy from any other
    // file; without it the recovery leaves the copy where it is and names it.
    if (journal_) {
        const auto copy = fs_.identity(temporary);
        if (copy && !announced(journal_->copied(i, *copy))) {
            discardCopy(i, temporary);
            return std::nullopt;
        }
    }
    const std::uint32_t code = fs_.moveFile(temporary, to);
    if (code)
        discardCopy(i, temporary);
    return code;
}

void Run::setAttributes(const std::string& path, std::uint32_t now, std::uint32_t wanted)
{
    if (now != wanted)
        fs_.setAttributes(path, wanted);
}

std::uint32_t Run::wanted(std::size_t i) const
{
    return attributes_[i] == platform::attr::invalid ? before_[i] : attributes_[i];
}

void Run::renameReady()
{
    std::vector<Move> moves;
    while (moves.size() < maxMovesAtOnce && anyReady())
        if (auto move = prepared(nextReady()))
            moves.push_back(std::move(*move));
    std::vector<std::uint32_t> codes(moves.size());
    fs_.atOnce(moves.size(), [&](std::size_t k) { codes[k] = carriedOut(moves[k]); });
    for (std::size_t k = 0; k < moves.size(); ++k) {
        if (codes[k] == err::notSameDevice)
            acrossVolumes_.push_back(std::move(moves[k]));
        else
            settleMove(moves[k], codes[k]);
    }
}

void Run::copyAcrossVolumes()
{
    const Move move = std::move(acrossVolumes_.front());
    acrossVolumes_.pop_front();
    if (progress_)
        progress_->reached(pairs_.size() - pending_.size(), pairs_[move.pair].from);
    settleMove(move, err::notSameDevice);
}

std::optional<Run::Move> Run::prepared(std::size_t i)
{
    const std::string& to = pairs_[i].to;
    if (at(i) == to) {
        setAttributes(to, before_[i], wanted(i));
        settle(i, Outcome::Done);
        return std::nullopt;
    }
    // Where only the spelling changes, some file systems take both names for one file and
    // keep the old spelling: a temporary name in between makes the new one a new entry.
    const bool spellingOnly = key(at(i)) == targetKey_[i];
    if (spellingOnly) {
        park(i);
        if (at(i) == pairs_[i].from)
            return std::nullopt;  // stopped, or settled as failed
    }
    setAttributes(at(i), before_[i], platform::attr::archive);
    // Where nothing is checked between the move and the new attributes, one call does both:
    // the file is found once, not twice.
    return Move{i, at(i), spellingOnly, !spellingOnly && wanted(i) != platform::attr::archive};
}

std::uint32_t Run::carriedOut(const Move& move)
{
    const std::string& to = pairs_[move.pair].to;
    return move.withAttributes ? fs_.moveFileWithAttributes(move.from, to, wanted(move.pair))
                               : fs_.moveFile(move.from, to);
}

void Run::settleMove(const Move& move, std::uint32_t moveCode)
{
    const std::size_t i = move.pair;
    const std::string& from = move.from;
    const std::string& to = pairs_[i].to;
    const std::uint32_t before = before_[i];
    const std::uint32_t archive = platform::attr::archive;
    std::optional<std::uint32_t> code = moveCode;
    const bool copied = code == err::notSameDevice;
    if (copied)
        code = moveAcrossVolumes(i, from, to);
    if (!code) {
        setAttributes(from, archive, before);
        return;
    }
    if (*code == err::ok && move.spellingOnly && fs_.storedName(to) != lists::namePart(to)) {
        setAttributes(to, archive, before);
        place(i, pairs_[i].from);
        return settle(i, Outcome::CaseNotKept);
    }
    if (*code == err::ok) {
        if (copied)
            fs_.setAttributes(to, wanted(i));
        else if (!move.withAttributes)
            setAttributes(to, archive, wanted(i));
        return settle(i, Outcome::Done);
    }
    setAttributes(from, archive, before);
    settle(i, outcomeOf(*code), *code);
    if (from != pairs_[i].from && fs_.moveFile(from, pairs_[i].from) == err::ok)
        place(i, pairs_[i].from);  // a parked file goes back to its own name
}

std::optional<std::uint32_t> Run::moveAcrossVolumes(std::size_t i, const std::string& from, const std::string& to)
{
    const auto copied = fs_.identity(from);
    auto code = placeCopy(i, from, to);
    if (code != err::ok)
        return code;
    // The original goes only once its copy is on the disk itself (after a power cut the
    // removal could otherwise stand and the copy be empty), and only while it is as it was
    // copied: what another program wrote to it meanwhile is in no copy.
    auto removed = fs_.flushFile(to);
    if (removed == err::ok)
        removed = copied && fs_.identity(from) == copied ? fs_.deleteFile(from) : err::sharingViolation;
    if (removed) {
        // The copy goes once the journal says so; else the recovery finishes the move.
        if (!journal_ || announced(journal_->failed(i)))
            discardCopy(i, to);
        return removed;
    }
    return code;
}

void Run::copy(std::size_t i)
{
    const std::string& from = pairs_[i].from;
    const std::string& to = pairs_[i].to;
    const std::uint32_t before = before_[i];
    if (from == to) {
        setAttributes(to, before, wanted(i));
        return settle(i, Outcome::Done);
    }
    setAttributes(from, before, platform::attr::archive);
    const auto code = placeCopy(i, from, to);
    if (code == err::ok) {
        fs_.setAttributes(to, wanted(i));
        return settle(i, Outcome::Done);
    }
    setAttributes(from, platform::attr::archive, before);
    if (code)
        settle(i, outcomeOf(*code), *code);
}

}  // namespace renaming
