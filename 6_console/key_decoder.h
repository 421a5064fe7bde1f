// Turns raw input bytes (a terminal's or standard input's) into keys of the
// console's key byte stream: a plain key is its Latin-1 code, an extended key
// a zero byte followed by the PC scan code, each with the modifiers that the
// input told about.
//
// Understood: UTF-8 text (characters outside Latin-1 become '?'), control
// bytes, the escape sequences of xterm-compatible terminals (CSI and SS3
// forms with the xterm modifier parameter, the linux console's F1-F5, rxvt's
// modifier forms, the "CSI 27;m;k~" and "CSI k;m u" forms of modified keys),
// Alt as an Esc prefix (also before a whole sequence, as rxvt sends
// Ctrl+Alt+F9), and SGR mouse reports. Ctrl+R is read as Ctrl+Alt+F9, the
// key of screen review, since desktops often keep the real one for
// themselves. A lone Esc is told from the
// start of a sequence by a pause: it is held until kEscPauseMs pass with no
// further byte (Flush).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kal {

enum KeyModifier : uint8_t { kModShift = 1, kModCtrl = 2, kModAlt = 4 };

struct KeyEvent {
  enum Kind : uint8_t {
    kChar,           // one byte
    kExtended,       // zero byte + code, queued whole or not at all
    kMouseChar,      // a mouse button as one byte (Enter, Esc)
    kMouseExtended,  // a mouse event as zero + code, queued byte by byte
    kKeyUp,          // a key was released (code: its character); not queued
    kBreak,          // Ctrl+Break (Ctrl+Pause), where the terminal reports it; not queued
  };
  Kind kind = kChar;
  uint8_t code = 0;  // the byte, or the scan code after the zero byte
  uint8_t mods = 0;  // KeyModifier bits
  bool operator==(const KeyEvent&) const = default;
};

// The key bytes of events as they enter the queue (tests, simple callers).
std::string KeyBytes(const std::vector<KeyEvent>& events);

class KeyDecoder {
 public:
  static constexpr int kEscPauseMs = 50;

  enum class Source {
    kTerminal,  // raw-mode terminal: LF is Ctrl+Enter, the erase byte is Backspace
    kStream,    // standard input: LF and CR both are Enter, 8 and 127 both
                // Backspace, a zero byte and the next one an extended key
  };
  explicit KeyDecoder(Source source = Source::kStream, uint8_t erase = 0x7F)
      : source_(source), erase_(erase) {}

  // Decodes what it can; bytes of an unfinished sequence are kept.
  void Feed(std::string_view raw, int64_t now_ms, std::vector<KeyEvent>* out);
  // Input has been quiet: what is held since at least the pause (or
  // everything, with force) becomes keys: a lone Esc, a partial sequence as
  // its bytes.
  void Flush(int64_t now_ms, std::vector<KeyEvent>* out, bool force = false);
  bool Pending() const { return !pending_.empty(); }
  // Bytes held back (raw), so that readers can leave room for them.
  size_t pending_size() const { return pending_.size(); }

 private:
  // Decodes one key from the front of s. Returns the bytes used, or 0 when
  // more input is needed to decide.
  size_t DecodeOne(std::string_view s, std::vector<KeyEvent>* out);
  size_t DecodeEsc(std::string_view s, std::vector<KeyEvent>* out);
  size_t DecodeCsi(std::string_view s, std::vector<KeyEvent>* out);
  size_t DecodeSs3(std::string_view s, std::vector<KeyEvent>* out);
  size_t DecodeText(std::string_view s, uint8_t extra_mods, std::vector<KeyEvent>* out);
  void EmitControl(uint8_t c, uint8_t extra_mods, std::vector<KeyEvent>* out);

  Source source_;
  uint8_t erase_;
  std::string pending_;
  int64_t pending_since_ = 0;
  bool last_was_cr_ = false;  // stream input: CR LF is one Enter
};

// The extended code of a key of the extended-key table with its modifiers
// (Ctrl column, Shift+Insert), or 0 when the key has none. Keys are named by
// their plain code (kKeyF1 ... kKeyF12, kKeyHome, kKeyUp, ... in 0_base/keys.h).
uint8_t ExtendedCodeFor(uint8_t plain, uint8_t mods);

// The PC scan code of a letter for Alt+letter (0 for other bytes), and the
// code for Alt+digit (120 for 1 ... 128 for 9, 129 for 0).
uint8_t AltCodeFor(uint8_t c);

}  // namespace kal
