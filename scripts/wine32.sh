#!/bin/sh
# 32-bit Wine, run inside the i386 tree (scripts/win32-tree.sh) that
# scripts/test-windows.sh mounts: the Wine of the Windows tests, and the
# emulator through which ctest runs the 32-bit test programs
# (cmake/mingw32.cmake).
exec "$(dirname "$0")/win32-tree.sh" run wine "$@"
