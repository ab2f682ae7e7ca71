# The front ends reach the engine only through commands/ and the catalogue:
# besides their own files, the system's services and the ground layers
# (core/, numbers/), no file of theirs includes a header of the engine's
# inner layers.
file(GLOB_RECURSE sources ${SOURCE_DIR}/window/*.cpp ${SOURCE_DIR}/window/*.h
                          ${SOURCE_DIR}/cli/*.cpp ${SOURCE_DIR}/cli/*.h
                          ${SOURCE_DIR}/win32window/*.cpp ${SOURCE_DIR}/win32window/*.h)
set(allowed "^(core|numbers|commands|platform|window|cli|win32window)/|^settings/(catalogue|entry_values)\\.h$")
set(found "")
foreach(source IN LISTS sources)
  file(STRINGS ${source} includes REGEX "^#include \"[a-z0-9_]+/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" header "${line}")
    if(NOT header MATCHES "${allowed}")
      file(RELATIVE_PATH name ${SOURCE_DIR} ${source})
      string(APPEND found "  ${name}: ${header}\n")
    endif()
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "front ends that go around commands/:\n${found}")
endif()
