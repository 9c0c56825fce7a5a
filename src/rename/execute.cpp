#include "rename/execute.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

#include "app/main_window.h"
#include "lists/path_parts.h"
#include "platform/file_system.h"
#include "platform/utf8.h"

namespace renaming {

namespace {

using platform::FileSystem;

// Windows compares paths without regard to letter case.
std::string fold(const std::string& path)
{
    std::string f = path;
    for (char& c : f)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return f;
}

Outcome outcomeOf(std::uint32_t code)
{
    switch (code) {
    case platform::err::ok: return Outcome::Done;
    case platform::err::fileExists:
    case platform::err::alreadyExists: return Outcome::TargetExists;
    case platform::err::fileNotFound: return Outcome::SourceMissing;
    case platform::err::pathNotFound: return Outcome::TargetFolderMissing;
    default: return Outcome::SystemError;
    }
}

class Run {
public:
    Run(FileSystem& fs, const std::vector<Pair>& pairs, Mode mode, std::uint32_t attributes)
        : fs_(fs), pairs_(pairs), mode_(mode), attributes_(attributes), results_(pairs.size()), from_(pairs.size())
    {
        for (std::size_t i = 0; i < pairs.size(); ++i)
            from_[i] = pairs[i].from;
    }

    std::vector<PairResult> go()
    {
        std::set<std::size_t> ready;
        for (std::size_t i = 0; i < pairs_.size(); ++i) {
            if (!isValidNamePart(pairs_[i].to)) {
                results_[i].outcome = Outcome::InvalidName;
                continue;
            }
            // Of several pairs with one new path the first wins.
            if (!targets_.emplace(fold(pairs_[i].to), i).second) {
                results_[i].outcome = Outcome::TargetExists;
                continue;
            }
            pending_.insert(i);
            if (mode_ == Mode::RenameInPlace)
                sources_.emplace(fold(pairs_[i].from), i);  // a file listed twice moves once
        }
        for (std::size_t i : pending_)
            if (!blocker(i))
                ready.insert(i);

        while (!pending_.empty()) {
            if (ready.empty()) {
                // Only cycles are left: free one place by parking its file under a temporary name.
                const std::size_t i = inCycle(*pending_.begin());
                park(i);
                ready.insert(i);
                if (auto w = waiterOn(pairs_[i].from))
                    ready.insert(*w);
                continue;
            }
            const std::size_t i = *ready.begin();
            ready.erase(ready.begin());
            if (!pending_.count(i))
                continue;
            if (auto b = blocker(i); b && *b != i && pending_.count(*b))
                continue;  // its target is still someone's file; it comes back when that moves
            carryOut(i);
            if (auto w = waiterOn(pairs_[i].from))
                ready.insert(*w);
        }
        for (std::size_t i = 0; i < results_.size(); ++i)
            results_[i].at = results_[i].outcome == Outcome::Done ? pairs_[i].to : from_[i];
        return results_;
    }

private:
    // Following the pairs that block each other from any of them ends in a cycle.
    std::size_t inCycle(std::size_t i) const
    {
        std::set<std::size_t> seen;
        while (seen.insert(i).second)
            i = *blocker(i);
        return i;
    }

    // The pending pair whose file stands at this pair's new path, if any.
    std::optional<std::size_t> blocker(std::size_t i) const
    {
        auto it = sources_.find(fold(pairs_[i].to));
        if (it == sources_.end() || it->second == i)
            return std::nullopt;
        return it->second;
    }

    // The pending pair that waits for the file at this path to move away.
    std::optional<std::size_t> waiterOn(const std::string& path) const
    {
        auto it = targets_.find(fold(path));
        if (it == targets_.end() || !pending_.count(it->second))
            return std::nullopt;
        return it->second;
    }

    void park(std::size_t i)
    {
        const std::string& original = pairs_[i].from;
        std::string temporary;
        for (int n = 1;; ++n) {
            temporary = original + ".nomerra-" + std::to_string(n);
            if (fs_.attributes(temporary) == platform::attr::invalid)
                break;
        }
        sources_.erase(fold(original));
        if (fs_.moveFile(original, temporary) == platform::err::ok) {
            from_[i] = temporary;
            sources_.emplace(fold(temporary), i);
        } else {
            // It cannot move at all: let the pair fail in the ordinary way.
            sources_.emplace(fold(original), i);
            pending_.erase(i);
            results_[i].outcome = Outcome::SystemError;
            results_[i].code = platform::err::accessDenied;
        }
    }

    void carryOut(std::size_t i)
    {
        pending_.erase(i);
        PairResult& result = results_[i];
        const std::string& from = from_[i];
        const std::string& to = pairs_[i].to;
        // The system refuses to replace a file and names the reason: its answer is the check.
        const std::uint32_t before = fs_.attributes(from);
        if (before == platform::attr::invalid || (before & platform::attr::directory)) {
            result.outcome = Outcome::SourceMissing;
        } else {
            fs_.setAttributes(from, platform::attr::archive);
            std::uint32_t code = platform::err::ok;
            if (from != to)
                code = mode_ == Mode::RenameInPlace ? fs_.moveFile(from, to) : fs_.copyFile(from, to, true);
            result.outcome = outcomeOf(code);
            result.code = code;
            if (code == platform::err::ok)
                fs_.setAttributes(to, attributes_);
            else
                fs_.setAttributes(from, before);
        }
        if (result.outcome != Outcome::Done && from != pairs_[i].from &&
            fs_.moveFile(from, pairs_[i].from) == platform::err::ok)
            from_[i] = pairs_[i].from;  // a parked file goes back to its own name
        if (mode_ == Mode::RenameInPlace && result.outcome == Outcome::Done)
            sources_.erase(fold(from));
    }

    FileSystem& fs_;
    const std::vector<Pair>& pairs_;
    Mode mode_;
    std::uint32_t attributes_;
    std::vector<PairResult> results_;
    std::vector<std::string> from_;  // where each file stands now
    std::set<std::size_t> pending_;
    std::unordered_map<std::string, std::size_t> sources_;  // folded path of a file still to move
    std::unordered_map<std::string, std::size_t> targets_;  // folded new path of each pair that may run
};

const char* reasonText(Outcome outcome)
{
    switch (outcome) {
    case Outcome::TargetExists: return "目标文件已存在";
    case Outcome::SourceMissing: return "原文件不存在";
    case Outcome::TargetFolderMissing: return "目标文件夹不存在";
    case Outcome::InvalidName: return "文件名无效";
    default: return "";
    }
}

}  // namespace

std::uint32_t newAttributes(bool readOnly, bool hidden)
{
    if (!readOnly && !hidden)
        return platform::attr::archive;
    return (readOnly ? platform::attr::readOnly : 0) | (hidden ? platform::attr::hidden : 0);
}

bool isValidNamePart(const std::string& path)
{
    const std::string name = path.substr(path.find_last_of('\\') == std::string::npos ? 0 : path.find_last_of('\\') + 1);
    if (name.empty() || name.back() == '.' || name.back() == ' ' || platform::utf8Length(name) > 255)
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 32 || std::string_view("<>:\"/|?*").find(c) != std::string_view::npos;
    });
}

std::vector<PairResult> execute(FileSystem& fs, const std::vector<Pair>& pairs, Mode mode, std::uint32_t attributes)
{
    return Run(fs, pairs, mode, attributes).go();
}

std::string completionQuestion(FileSystem& fs, const std::vector<Pair>& pairs, const std::vector<PairResult>& results,
                               const std::string& outputFolder)
{
    constexpr std::size_t listed = 10;
    std::size_t failed = 0;
    std::string lines;
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (results[i].outcome == Outcome::Done)
            continue;
        if (++failed > listed)
            continue;
        const std::string reason =
            results[i].outcome == Outcome::SystemError ? fs.errorText(results[i].code) : reasonText(results[i].outcome);
        lines += "\r" + pairs[i].from + " → " + pairs[i].to + "（" + reason + "）";
    }
    if (failed == 0)
        return "执行成功!\r是否打开目录查看 " + outputFolder;
    if (failed > listed)
        lines += "\r……";
    return "执行完成，" + std::to_string(failed) + " 个文件未处理：" + lines + "\r是否打开目录查看 " + outputFolder;
}

}  // namespace renaming

void TFrmMain::n_runClick()
{
    using lists::ListFile;
    if (!store_.exists(ListFile::OriginalPaths) || !store_.exists(ListFile::NewPaths)) {
        ui().notice("没有预览，无法执行。");
        mmRenamed.clear();
        return;
    }
    const std::vector<std::string> originals = store_.read(ListFile::OriginalPaths);
    const std::vector<std::string> targets = store_.read(ListFile::NewPaths);
    if (originals.empty()) {
        ui().notice("没有预览，无法执行。");
        mmRenamed.clear();
        return;
    }
    if (!os_.fs.fileExists(originals.front())) {
        ui().notice(notFoundNotice(originals.front()));
        return;
    }
    std::vector<renaming::Pair> pairs;
    for (std::size_t i = 0; i < std::min(originals.size(), targets.size()); ++i)
        pairs.push_back({originals[i], targets[i]});
    const auto mode = rbRename.checked() ? renaming::Mode::RenameInPlace : renaming::Mode::CopyToNewPath;
    const auto results =
        renaming::execute(os_.fs, pairs, mode, renaming::newAttributes(cbReadonly.checked(), cbHidden.checked()));

    // The original list now names where each file is.
    std::vector<std::string> where;
    where.reserve(pairs.size());
    for (std::size_t i = 0; i < pairs.size(); ++i)
        where.push_back(results[i].at);
    store_.rewrite(lists::ListPair::Original, where);
    loadView(mmOriginal, lists::ListPair::Original, cbShowpathO.checked());

    if (ui().ask(renaming::completionQuestion(os_.fs, pairs, results, outputFolder)))
        os_.shell.execute("", "explorer", outputFolder, "", platform::swShow);
}
