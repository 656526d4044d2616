# ctest form of the core-is-GUI-free rule: cmake -DDIRS=... -DROOT=... -P this file
set(CMAKE_SOURCE_DIR ${ROOT})
include(${ROOT}/cmake/CoreIsGuiFree.cmake)
string(REPLACE "," ";" dirs "${DIRS}")
quill_check_core_is_gui_free("${dirs}")
