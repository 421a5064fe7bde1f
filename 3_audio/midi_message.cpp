#include "3_audio/midi_message.h"

namespace kal {

uint32_t BuildShortMessage(uint8_t status, uint8_t data1, uint8_t data2) {
  return static_cast<uint32_t>(status) | static_cast<uint32_t>(data1) << 8 | static_cast<uint32_t>(data2) << 16;
}

namespace {
// Bytes in a message with this status byte (0x80 and above, not 0xF0).
int MessageLength(uint8_t status) {
  if (status < 0xF0) {
    uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 2 : 3;
  }
  if (status == 0xF1 || status == 0xF3) return 2;  // time code quarter frame, song select
  if (status == 0xF2) return 3;                    // song position
  return 1;                                        // tune request, end of exclusive, real time
}
}  // namespace

bool DecodeShortMessage(uint32_t packed, MidiBytes* out) {
  uint8_t status = packed & 0xFF;
  if (status < 0x80 || status == 0xF0) return false;
  MidiBytes m;
  m.length = MessageLength(status);
  m.data[0] = status;
  if (m.length > 1) m.data[1] = (packed >> 8) & 0x7F;
  if (m.length > 2) m.data[2] = (packed >> 16) & 0x7F;
  *out = m;
  return true;
}

}  // namespace kal
