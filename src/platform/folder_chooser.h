#pragma once
// What the folder chooser does when the user confirms a folder name, in both backends.
#include <string>

#include "platform/file_system.h"
#include "platform/ui.h"

namespace platform {

constexpr const char* createFolderQuestion = "The specified directory does not exist. Create it?";

// True when the chooser may close with this folder: it exists, or the user agreed to create it
// and it was created with every missing parent. False returns the user to the chooser. A
// folder that cannot be created throws IoError.
bool acceptFolder(Ui& ui, FileSystem& fs, const std::string& folder);

}  // namespace platform
