// The refreshable braille display seam.
//
// A display is a row of cells, each written as a dot pattern (bit 0 = dot 1
// ... bit 7 = dot 8), and a set of keys: braille keys typed as chords, a
// space bar, and navigation keys. The console's display logic
// (6_console/braille_display) decides what to show and what the keys type;
// a back end only moves cells out and keys in.
//
// Back ends: BrlAPI, which reaches every display that brltty drives
// (1_platform/linux/brlapi_braille.cpp), and a recording fake for tests
// (1_platform/fake/recording_braille).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace kal {

// One key event of the display, in the back end's neutral terms.
struct BrailleKey {
  enum Kind {
    kLineUp,     // show the previous line
    kLineDown,   // show the next line
    kLineStart,  // first extra key: to the start of the line
    kLineEnd,    // second extra key: to the end of the line
    kChord,      // braille keys typed together: dots (bits 0-7), space bar
    kCharacter,  // a character key (Latin-1 code in code)
    kEnter,
    kEscape,
    kBackspace,
    kOther,      // any other command of the display
  };
  Kind kind = kOther;
  uint8_t dots = 0;        // kChord: dot 1 = bit 0 ... dot 8 = bit 7
  bool space_bar = false;  // kChord: the space bar was part of it
  uint8_t code = 0;        // kCharacter
};

class BrailleDevice {
 public:
  virtual ~BrailleDevice() = default;

  // Connects to the display. False when there is none (no server, no
  // display, refused): the caller runs on without braille.
  virtual bool Open() = 0;
  virtual bool IsOpen() const = 0;
  // Cells of the display (columns x rows); 0 while closed.
  virtual int CellCount() const = 0;
  // Writes the cells, exactly CellCount() of them. False when the
  // connection was lost: the device is closed then.
  virtual bool WriteCells(const std::vector<uint8_t>& dots) = 0;
  // Descriptor that becomes readable when keys arrive; -1 when there is
  // none to watch (closed, or a back end that is polled).
  virtual int KeyFd() const = 0;
  // Takes one waiting key without blocking. False when none is waiting, or
  // when the connection was lost (IsOpen() then tells).
  virtual bool ReadKey(BrailleKey* key) = 0;
  virtual void Close() = 0;
};

// The BrlAPI back end (BRLAPI_HOST chooses the server); a device that never
// opens when the program was built without BrlAPI.
std::unique_ptr<BrailleDevice> MakeBrlapiBraille();

}  // namespace kal
