# The same cross build for 64-bit Windows. The program ships as a 32-bit
# .exe; this build exists for the tests, because Wine's 32-bit side needs a
# kernel that runs 32-bit Linux programs, which not every build machine has.
# The sources are the same: only the pointer size differs.
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw64.cmake
set(KALDORIN_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw32.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
