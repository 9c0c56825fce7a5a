#include "platform/open_dialog.h"

namespace platform {

std::optional<std::vector<std::string>> OpenDialog::execute()
{
    auto answer = ui_.openFiles({filter, filterIndex_, fileName_, multiSelect_});
    if (!answer || answer->files.empty())
        return std::nullopt;
    fileName_ = answer->files.front();
    filterIndex_ = answer->filterIndex;
    return answer->files;
}

}  // namespace platform
