// MIDI short messages as the language packs them into one number: the
// status byte in the lowest byte, the first data byte times 256, the second
// times 65536 (a note-on of middle C on channel 1 at velocity 100 is
// 0x90 + 60 * 256 + 100 * 65536). One function packs, one unpacks, and every
// output is given the unpacked bytes, so all of them get the same ones.
#pragma once

#include <cstdint>

#include "1_platform/midi_out.h"

namespace kal {

// status + data1 * 256 + data2 * 65536.
uint32_t BuildShortMessage(uint8_t status, uint8_t data1 = 0, uint8_t data2 = 0);

// The bytes of a packed message: as many as its status byte calls for (one
// for real-time and most system messages, two for program change, channel
// pressure, time code and song select, three for the rest), with the data
// bytes cut to 7 bits. False when the lowest byte is no status byte (below
// 0x80) or starts a system-exclusive message, which a short message cannot
// carry.
bool DecodeShortMessage(uint32_t packed, MidiBytes* out);

}  // namespace kal
