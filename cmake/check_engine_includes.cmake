# Fails the build when an engine file includes what the engine must never see: the app's headers,
# a backend's, or a Windows header. Run by the build (see the top CMakeLists.txt) over ENGINE_FILES.
set(forbidden
  "\"app/" "\"platform/win32/" "\"platform/headless/"
  "<windows.h>" "<winbase.h>" "<winuser.h>" "<windef.h>" "<shlobj.h>" "<shellapi.h>" "<shlwapi.h>"
  "<commctrl.h>" "<commdlg.h>" "<objbase.h>" "<oleacc.h>" "<winioctl.h>" "<bcrypt.h>")
set(violations "")
foreach(file IN LISTS ENGINE_FILES)
  file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    string(TOLOWER "${line}" lower)
    foreach(pattern IN LISTS forbidden)
      string(FIND "${lower}" "${pattern}" at)
      if(NOT at EQUAL -1)
        string(APPEND violations "\n  ${file}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()
if(violations)
  message(FATAL_ERROR "The engine includes what lies above it:${violations}")
endif()
file(TOUCH "${STAMP}")
