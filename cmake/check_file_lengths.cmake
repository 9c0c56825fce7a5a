# Fails the build when a source file has more than MAX_LINES lines (counted as wc -l counts them):
# a longer file holds more than one thing and wants splitting where its parts meet. Run by the
# build (see the top CMakeLists.txt) over FILES.
cmake_minimum_required(VERSION 3.20)
set(violations "")
foreach(file IN LISTS FILES)
  file(READ "${file}" content)
  string(REGEX MATCHALL "\n" breaks "${content}")
  list(LENGTH breaks lines)
  if(lines GREATER MAX_LINES)
    string(APPEND violations "\n  ${file}: ${lines} lines")
  endif()
endforeach()
if(violations)
  message(FATAL_ERROR "Longer than ${MAX_LINES} lines:${violations}")
endif()
file(TOUCH "${STAMP}")
