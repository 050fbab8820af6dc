# Cross build for Linux on ARM with Debian's cross compilers; tests run under
# qemu-user, called as the emulator with no binfmt_misc registration. The tool
# is linked statically; the unit tests are not, and qemu takes their loader
# and libraries from the target's folder (-L). Included by the toolchain file
# of each target, which sets O2Z_CROSS_TRIPLE, O2Z_CROSS_PROCESSOR and O2Z_QEMU.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${O2Z_CROSS_PROCESSOR})
set(CMAKE_C_COMPILER ${O2Z_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${O2Z_CROSS_TRIPLE}-g++)
# The target's own libraries and headers only: never the host's GoogleTest.
set(CMAKE_FIND_ROOT_PATH /usr/${O2Z_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${O2Z_QEMU} -L /usr/${O2Z_CROSS_TRIPLE})
