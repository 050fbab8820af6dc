# Windows, i686: the reference platform, a 32-bit console process
set(O2Z_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
