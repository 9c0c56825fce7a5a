#include "rename/execute.h"

#include "rename/journal.h"
#include "rename/run.h"

namespace renaming {

using platform::FileSystem;

std::vector<PairResult> execute(FileSystem& fs, const std::vector<Pair>& pairs, Mode mode, std::uint32_t attributes,
                                RunJournal* journal, RunProgress* progress)
{
    return execute(fs, pairs, mode, std::vector<std::uint32_t>(pairs.size(), attributes), journal, progress);
}

std::vector<PairResult> execute(FileSystem& fs, const std::vector<Pair>& pairs, Mode mode,
                                const std::vector<std::uint32_t>& attributes, RunJournal* journal,
                                RunProgress* progress)
{
    const std::function<RunJournal*()> given = [journal] { return journal; };
    if (journal)
        return Run(fs, pairs, mode, attributes, journal->originals(), given, progress).go();
    return Run(fs, pairs, mode, attributes, originalsOf(fs, pairs), given, progress).go();
}

std::vector<PairResult> execute(FileSystem& fs, const std::vector<Pair>& pairs, Mode mode, std::uint32_t attributes,
                                const Originals& originals, const std::function<RunJournal*()>& makeJournal,
                                RunProgress* progress)
{
    const std::vector<std::uint32_t> each(pairs.size(), attributes);
    return Run(fs, pairs, mode, each, originals, makeJournal, progress).go();
}

}  // namespace renaming
