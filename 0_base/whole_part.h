// The whole part of a length computed from decimal settings (a table's
// milliseconds times a rate of 0.6, a piece's samples times 0.9).
#pragma once

#include <cmath>

// The 32-bit Windows program does its floating point in SSE2 registers, as
// the 64-bit builds do (cmake/mingw32.cmake); a build folder configured
// before that rule would ship x87 arithmetic.
#if defined(__MINGW32__) && defined(__i386__) && !defined(__SSE2_MATH__)
#error "configure the 32-bit Windows build afresh with cmake/mingw32.cmake (-msse2 -mfpmath=sse)"
#endif

namespace kal {

// Binary floating point holds 0.6 a hair below 0.6, so 0.6 x 100 can come
// out as 59.99999999999999 (always so with the 80-bit arithmetic of a 32-bit
// x87 build), and truncating it gives 59. A value within a millionth below
// a whole number counts as that number: every build gives the same length.
inline double WholePart(double x) { return std::trunc(x + (x < 0 ? -1e-6 : 1e-6)); }

}  // namespace kal
