#pragma once
// The bytes of the list files. A pair whose entries the system's ANSI code page can hold is in
// that code page, with no mark, as the lists have always been. A pair with an entry beyond it
// is in GB18030 where the code page is 936 (GBK): every GBK character keeps its very bytes and
// every other one becomes a four-byte sequence that GBK never has, so no mark is needed.
// Elsewhere, or where the system lacks GB18030, it is UTF-8 after a byte-order mark.
#include <string>

#include "platform/file_system.h"

namespace lists {

struct EncodedPair {
    std::string paths, names;
};

// Both files of a pair in one encoding: the first of the three (code page, GB18030, UTF-8) in
// which each file reads back exactly as its text (decodeList).
EncodedPair encodePair(platform::FileSystem& fs, const std::string& pathsText, const std::string& namesText);

// A list file's text: UTF-8 after a byte-order mark; otherwise the code page where every byte
// sequence is one of its characters, and GB18030 where not.
std::string decodeList(platform::FileSystem& fs, const std::string& bytes);

}  // namespace lists
