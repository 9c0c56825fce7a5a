#pragma once
// The program's own state (the run journal, the record of the lists it wrote) lies under
// %ProgramData%, in a folder only administrators and the system may change. The program runs
// with administrator rights: whatever it acted on from a folder the user's other programs can
// write (the program's own folder is often Downloads or the Desktop), they could have planted.
#include <string>

#include "platform/file_system.h"

namespace platform {

// Neither the owner nor any allowing entry lets anyone but administrators or the system change
// the folder or what is in it.
bool onlyAdministratorsWrite(const FolderGuard& guard);

// %ProgramData%\nomerra\<hash of the program file's full path>\: each copy of the program in its
// own folder keeps its own state, as it keeps its own lists.
std::string privateFolderPath(FileSystem& fs);

// The private folder with its closing "\", created when missing; throws IoError (access denied)
// when it, or nomerra's folder above it, is not guarded so.
std::string openPrivateFolder(FileSystem& fs);

}  // namespace platform
