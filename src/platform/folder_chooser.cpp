#include "platform/folder_chooser.h"

#include "platform/errors.h"

namespace platform {

bool acceptFolder(Ui& ui, FileSystem& fs, const std::string& folder)
{
    if (folder.empty())
        return false;
    if (fs.folderExists(folder))
        return true;
    if (!ui.ask(createFolderQuestion))
        return false;
    if (auto code = fs.createFolders(folder))
        throw IoError(static_cast<int>(code));
    return true;
}

}  // namespace platform
