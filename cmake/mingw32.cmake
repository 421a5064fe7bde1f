# Cross build for 32-bit Windows with Debian's mingw-w64 (i686, POSIX thread
# model, so that std::thread and std::mutex work), the C and C++ run-times
# linked in statically: the program is one .exe without DLLs of the compiler.
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw32.cmake
if(NOT KALDORIN_MINGW_PREFIX)
  set(KALDORIN_MINGW_PREFIX i686-w64-mingw32)
  set(CMAKE_SYSTEM_PROCESSOR i686)
  # Floating point in SSE2 registers, as on x86-64, rather than in the x87's
  # 80 bits: the same sums give the same results (a sound's length) as the
  # builds that the Linux tests run. Needs a Pentium 4, Athlon 64 or later.
  set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
  set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
  # 32-bit Wine inside the i386 tree that scripts/test-windows.sh mounts.
  get_filename_component(KALDORIN_WINE32 ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine32.sh ABSOLUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KALDORIN_WINE32})
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KALDORIN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KALDORIN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KALDORIN_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KALDORIN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# -O2 rather than -O3: at -O3 this compiler warns falsely (-Wrestrict) inside
# the standard library's string code, which -Werror turns into errors.
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of Release builds")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of Release builds")
