#pragma once
// Everything the program asks of the system, as one bundle a window is built over.
#include "platform/file_system.h"
#include "platform/shell.h"
#include "platform/ui.h"

namespace platform {

struct Platform {
    Ui& ui;
    FileSystem& fs;
    Shell& shell;
};

}  // namespace platform
