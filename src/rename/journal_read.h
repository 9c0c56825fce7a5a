#pragma once
// A run journal read back: its plan and what the run recorded after it (journal.h says the
// format). For the recovery, which decides from it and the disk alone.
#include <optional>
#include <string>
#include <vector>

#include "rename/journal.h"

namespace renaming {

struct PairRecord {
    std::optional<platform::FileIdentity> copied;
    bool failed = false;
};

struct JournalRead : RunPlan {
    std::vector<PairRecord> records;
};

// Nothing when the text holds no whole plan: then the run touched no file.
std::optional<JournalRead> readJournal(const std::string& text);

}  // namespace renaming
