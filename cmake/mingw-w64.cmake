# Cross-compiling for Windows with mingw-w64; TARVO_TARGET_CPU is i686 (32-bit)
# or x86_64 (64-bit). The posix-thread variant is needed by the test framework
# (std::mutex); linked statically it adds no DLL.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TARVO_TARGET_CPU})

set(TOOLCHAIN_PREFIX ${TARVO_TARGET_CPU}-w64-mingw32)
set(CMAKE_C_COMPILER   ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${TOOLCHAIN_PREFIX}-windres)
# The product is compiled for link-time optimisation: its libraries need the
# compiler's own archiver, which can read those objects to index them.
set(CMAKE_AR     ${TOOLCHAIN_PREFIX}-gcc-ar-posix)
set(CMAKE_RANLIB ${TOOLCHAIN_PREFIX}-gcc-ranlib-posix)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test programs run through Wine; the test command sets up the prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
