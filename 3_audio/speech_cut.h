// Speech cutting: makes recorded speech faster without raising its pitch by
// dropping every second pitch period. Works on one mono piece in place.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kal {

// 16-bit little-endian mono samples become 8-bit unsigned (the high byte
// plus 128), in place; returns the new length in bytes (half).
size_t ReduceTo8Bit(uint8_t* data, size_t length);

// Cuts one 8-bit mono piece recorded at `rate` in place and returns its new
// length. Pieces of fewer than 1000 samples are left as they are.
//
// From the first peak near the start, the piece is walked peak to peak: of
// each two periods that follow, the first is skipped and the second kept.
// The tail is then extended up to a sample close to silence so that the cut
// does not end in a click.
size_t CutSpeechPiece(uint8_t* data, size_t length, int rate);

}  // namespace kal
