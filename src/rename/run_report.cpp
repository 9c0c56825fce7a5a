// What the end of a run says: why each pair was not carried out, the folder it offers to open,
// and the question that names every file left under a temporary name.
#include "lists/messages.h"
#include "lists/path_parts.h"
#include "lists/views.h"
#include "rename/execute.h"

namespace renaming {

using platform::FileSystem;

const char* reasonText(Outcome outcome)
{
    switch (outcome) {
    case Outcome::TargetExists: return messages::reason::targetExists;
    case Outcome::SourceMissing: return messages::reason::sourceMissing;
    case Outcome::TargetFolderMissing: return messages::reason::targetFolderMissing;
    case Outcome::InvalidName: return messages::reason::invalidName;
    case Outcome::DuplicateSource: return messages::reason::duplicateSource;
    case Outcome::CaseNotKept: return messages::reason::caseNotKept;
    case Outcome::Stopped: return messages::reason::stopped;
    case Outcome::Unidentified: return messages::reason::unidentified;
    default: return "";
    }
}

std::string folderToOpen(const std::vector<Pair>& pairs, const std::vector<PairResult>& results,
                         const std::string& outputFolder)
{
    auto trimmed = [](std::string folder) {
        if (folder.size() > 3 && folder.back() == '\\')
            folder.pop_back();
        return folder;
    };
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (results[i].outcome != Outcome::Done)
            continue;
        const std::string folder = lists::folderPart(pairs[i].to);
        return trimmed(folder) == trimmed(outputFolder) ? outputFolder : folder;
    }
    return outputFolder;
}

namespace {

// Where a pair that was not carried out left its file under a temporary name; empty when it did not.
std::string parkedAt(const Pair& pair, const PairResult& result)
{
    const bool ownPlace = result.outcome == Outcome::Done || result.outcome == Outcome::DuplicateSource ||
                          result.at == pair.from;
    return ownPlace ? std::string() : result.at;
}

}  // namespace

bool temporaryLeft(const std::vector<Pair>& pairs, const std::vector<PairResult>& results)
{
    for (std::size_t i = 0; i < results.size(); ++i)
        if (!parkedAt(pairs[i], results[i]).empty() || !results[i].stray.empty())
            return true;
    return false;
}

std::string completionQuestion(FileSystem& fs, const std::vector<Pair>& pairs, const std::vector<PairResult>& results,
                               const std::string& outputFolder)
{
    // A hand-edited list may hold a NUL, which would end the box's text before its question.
    auto pairText = [&](std::size_t i) { return lists::viewText(pairs[i].from) + " → " + lists::viewText(pairs[i].to); };
    std::vector<std::size_t> failed;
    for (std::size_t i = 0; i < results.size(); ++i)
        if (results[i].outcome != Outcome::Done)
            failed.push_back(i);
    using namespace messages::report;
    if (failed.empty())
        return std::string(succeeded) + "\r" + openFolderQuestion + outputFolder;
    std::string text = finishedPrefix + std::to_string(failed.size()) + failedSuffix;
    text += messages::firstTenLines(failed.size(), [&](std::size_t k) {
        const std::size_t i = failed[k];
        const std::string reason =
            results[i].outcome == Outcome::SystemError ? fs.errorText(results[i].code) : reasonText(results[i].outcome);
        return pairText(i) + "（" + reason + "）";
    });
    // Every file left under a temporary name is named, however many pairs failed.
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (const std::string parked = parkedAt(pairs[i], results[i]); !parked.empty())
            text += "\r" + (parkedPrefix + lists::viewText(parked)) + "（" + pairText(i) + "）";
        if (!results[i].stray.empty())
            text += "\r" + (strayPrefix + lists::viewText(results[i].stray)) + "（" + pairText(i) + "）";
    }
    return text + "\r" + openFolderQuestion + outputFolder;
}

}  // namespace renaming
