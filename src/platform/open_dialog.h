#pragma once
// A file-open dialog component: remembers, for the running program, the first file of the last
// confirmed selection (its next starting name) and the filter entry chosen then.
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace platform {

class OpenDialog {
public:
    OpenDialog(Ui& ui, bool multiSelect) : ui_(ui), multiSelect_(multiSelect) {}
    std::string filter;
    // The chosen full paths; nothing when cancelled or empty.
    std::optional<std::vector<std::string>> execute();

private:
    Ui& ui_;
    bool multiSelect_;
    std::string fileName_;
    int filterIndex_ = 1;
};

}  // namespace platform
