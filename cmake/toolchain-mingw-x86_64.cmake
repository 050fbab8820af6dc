# Windows, x86_64: 64-bit
set(O2Z_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
