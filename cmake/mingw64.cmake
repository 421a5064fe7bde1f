# The same cross build for 64-bit Windows. The program ships as a 32-bit
# .exe and the tests run that one (scripts/test-windows.sh); this build is
# tested in its place only on a kernel that runs no 32-bit programs
# (scripts/test-windows64.sh). The sources are the same: only the pointer
# size differs.
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw64.cmake
set(KALDORIN_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw32.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
