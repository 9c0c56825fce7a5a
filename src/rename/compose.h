#pragma once
// Composing the new full path of one entry of the original list.
#include <cstddef>
#include <string>
#include <string_view>

#include "rename/rename_options.h"

namespace renaming {

// The text with "0" put in front until it is width characters long; a longer text stays as it is.
std::string StrFiller(const std::string& text, int width);

struct NewEntry {
    std::string path;
    std::string name;  // the final component of path
};

// Depends only on its arguments: the entry's full path, its position k (from 0), the options
// and whether the folder named by lbpath exists. Throws ConvertError when a running number is
// asked for and edtvalue is not a whole number.
NewEntry composeEntry(const std::string& path, std::size_t k, const RenameOptions& options, bool outputFolderExists);

// The new list's text: each line of the original list's text composed as composeEntry does,
// numbered from firstK, and followed by CR LF.
std::string composeList(std::string_view originals, std::size_t firstK, const RenameOptions& options,
                        bool outputFolderExists);

// The start number of edtvalue, checked before anything is written.
long long startNumber(const RenameOptions& options);

}  // namespace renaming
