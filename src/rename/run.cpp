// The Execute command and the settling of a run that did not end.
#include <optional>

#include "app/main_window.h"
#include "platform/errors.h"
#include "rename/execute.h"
#include "rename/journal.h"

void TFrmMain::recoverUnfinishedRun()
{
    const std::string journal = store_.journalPath();
    if (!os_.fs.fileExists(journal))
        return;
    const auto recovered = renaming::recover(os_.fs, journal);
    if (recovered) {
        // As after a run: the original list names where each file is, the new list stays.
        store_.rewrite(lists::ListPair::Original, recovered->where);
        loadView(mmOriginal, lists::ListPair::Original, cbShowpathO.checked());
    }
    os_.fs.deleteFile(journal);
    if (recovered)
        ui().notice(renaming::recoveryNotice(*recovered));
}

void TFrmMain::n_runClick()
{
    using lists::ListFile;
    // A run whose lists could not be written must be settled before its lists are used again.
    recoverUnfinishedRun();
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
    const std::string journalPath = store_.journalPath();
    std::vector<renaming::PairResult> results;
    bool journalBroken = false;
    {
        renaming::RunJournal journal(os_.fs, journalPath, mode, pairs);
        results = renaming::execute(os_.fs, pairs, mode, renaming::newAttributes(cbReadonly.checked(), cbHidden.checked()),
                                    &journal);
        journalBroken = journal.broken();
    }

    // The original list now names where each file is. The files have moved whatever happens to
    // the lists: if they cannot be written, the user still hears what was done, then why the
    // lists are behind, and the journal stays for the next start to settle them. A journal that
    // broke down part-way stays too: the recovery puts back what the run could not.
    std::vector<std::string> where;
    where.reserve(pairs.size());
    for (const auto& r : results)
        where.push_back(r.at);
    std::optional<platform::IoError> listsBehind;
    try {
        store_.rewrite(lists::ListPair::Original, where);
        if (!journalBroken)
            os_.fs.deleteFile(journalPath);
        loadView(mmOriginal, lists::ListPair::Original, cbShowpathO.checked());
    } catch (const platform::IoError& e) {
        listsBehind = e;
    }

    const std::string folder = renaming::folderToOpen(pairs, results, outputFolder);
    if (ui().ask(renaming::completionQuestion(os_.fs, pairs, results, folder)))
        os_.shell.execute("", "explorer", folder, "", platform::swShow);
    if (listsBehind)
        throw *listsBehind;
}
