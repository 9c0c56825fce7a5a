#pragma once
// How a FontSpec becomes a GDI font. The end-to-end driver measures texts with it, so that it
// measures with the program's own fonts.
#include <windows.h>

#include "platform/ui.h"

namespace platform::win32 {

inline LOGFONTW logFontOf(const FontSpec& wanted)
{
    LOGFONTW lf{};
    lf.lfHeight = -wanted.pixels;
    lf.lfWeight = wanted.bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = wanted.underline;
    // Asking for the Chinese character set lets the font mapper put a face with Chinese glyphs
    // in place of one that has none, such as MS Sans Serif.
    lf.lfCharSet = GB2312_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    for (std::size_t i = 0; i < wanted.face.size() && i + 1 < LF_FACESIZE; ++i)
        lf.lfFaceName[i] = static_cast<wchar_t>(wanted.face[i]);  // face names are ASCII
    return lf;
}

}  // namespace platform::win32
