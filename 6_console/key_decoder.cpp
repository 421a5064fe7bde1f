// The key decoder: raw input bytes to console keys.
#include "6_console/key_decoder.h"

#include <array>

#include "0_base/keys.h"

namespace kal {

namespace {

// Ctrl+R, typed as a plain control byte, is the key of screen review that
// reaches the program on every terminal (desktops often keep Ctrl+Alt+F9 for
// themselves): it is decoded as Ctrl+Alt+F9 (Ctrl+F9's code with Ctrl and Alt).
constexpr uint8_t kReviewControlByte = kKeyCtrlR;

// PC scan codes of the letters A-Z.
constexpr std::array<uint8_t, 26> kLetterScan = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                                 49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};

// xterm's modifier parameter: 1 + (Shift 1) + (Alt 2) + (Ctrl 4) + (Meta 8).
uint8_t ModsFromParam(int m) {
  if (m < 2) return 0;
  int bits = m - 1;
  uint8_t mods = 0;
  if (bits & 1) mods |= kModShift;
  if (bits & 2) mods |= kModAlt;
  if (bits & 4) mods |= kModCtrl;
  if (bits & 8) mods |= kModAlt;
  return mods;
}

// The key of a "CSI n ~" sequence, or 0.
uint8_t TildeKey(int n) {
  switch (n) {
    case 1: case 7: return kKeyHome;
    case 2: return kKeyIns;
    case 3: return kKeyDel;
    case 4: case 8: return kKeyEnd;
    case 5: return kKeyPgUp;
    case 6: return kKeyPgDn;
    case 11: return kKeyF1;
    case 12: return kKeyF2;
    case 13: return kKeyF3;
    case 14: return kKeyF4;
    case 15: return kKeyF5;
    case 17: return kKeyF6;
    case 18: return kKeyF7;
    case 19: return kKeyF8;
    case 20: return kKeyF9;
    case 21: return kKeyF10;
    case 23: return kKeyF11;
    case 24: return kKeyF12;
    default: return 0;
  }
}

// The key of a final letter shared by CSI and SS3 forms, or 0.
uint8_t LetterKey(char f) {
  switch (f) {
    case 'A': return kKeyUp;
    case 'B': return kKeyDown;
    case 'C': return kKeyRight;
    case 'D': return kKeyLeft;
    case 'H': return kKeyHome;
    case 'F': return kKeyEnd;
    case 'P': return kKeyF1;
    case 'Q': return kKeyF2;
    case 'R': return kKeyF3;
    case 'S': return kKeyF4;
    default: return 0;
  }
}

// rxvt's lower-case arrow finals (Shift after CSI, Ctrl after SS3).
uint8_t RxvtArrow(char f) {
  switch (f) {
    case 'a': return kKeyUp;
    case 'b': return kKeyDown;
    case 'c': return kKeyRight;
    case 'd': return kKeyLeft;
    default: return 0;
  }
}

void Push(std::vector<KeyEvent>* out, KeyEvent::Kind kind, uint8_t code, uint8_t mods) {
  out->push_back(KeyEvent{kind, code, mods});
}

// A key of the extended table, with Alt+letter and the modifiers applied.
void EmitExtended(uint8_t plain, uint8_t mods, std::vector<KeyEvent>* out) {
  uint8_t code = ExtendedCodeFor(plain, mods);
  if (code) Push(out, KeyEvent::kExtended, code, mods);
}

// A Unicode key with modifiers, as the "CSI 27;m;k~" and "CSI k;m u" forms
// report it.
// The Pause key of the progressive keyboard protocol; with Ctrl it is Break.
constexpr unsigned kPauseKey = 57362;

void EmitModifiedCodepoint(unsigned cp, uint8_t mods, std::vector<KeyEvent>* out) {
  bool ctrl = mods & kModCtrl, alt = mods & kModAlt;
  if (cp == kPauseKey && ctrl) return Push(out, KeyEvent::kBreak, 0, mods);
  if (cp >= 0xE000 && cp <= 0xF8FF) return;  // keys the table does not have (keypad, media)
  if (cp == 13) return Push(out, KeyEvent::kChar, ctrl ? kKeyCtrlEnter : kKeyEnter, mods);
  if (cp == 127 || cp == 8) return Push(out, KeyEvent::kChar, ctrl ? kKeyCtrlBackspace : kKeyBackspace, mods);
  if (cp == 9 || cp == 27) return Push(out, KeyEvent::kChar, static_cast<uint8_t>(cp), mods);
  if (cp < 32) return Push(out, KeyEvent::kChar, static_cast<uint8_t>(cp), mods | kModCtrl);
  if (cp < 128 && alt) {
    uint8_t code = AltCodeFor(static_cast<uint8_t>(cp));
    if (code) Push(out, KeyEvent::kExtended, code, mods);
    return;
  }
  if (alt) return;  // other Alt combinations give no key
  if (ctrl && cp >= '@' && cp < 128) {
    uint8_t c = static_cast<uint8_t>(cp);
    if (c >= 'a' && c <= 'z') c -= 32;
    if ((c & 31) == kReviewControlByte) return Push(out, KeyEvent::kExtended, kKeyCtrlF9, mods | kModAlt);
    if (c <= '_') return Push(out, KeyEvent::kChar, c & 31, mods);
    return;
  }
  if ((mods & kModShift) && cp >= 'a' && cp <= 'z') cp -= 32;
  Push(out, KeyEvent::kChar, cp < 256 ? static_cast<uint8_t>(cp) : '?', mods);
}

// Parameters of a CSI sequence: numbers separated by ';', each possibly with
// ':' sub-parameters (only the first one and, for the modifier, the second
// one, the event type, are kept).
struct CsiParams {
  int value[4] = {-1, -1, -1, -1};
  int event = 1;  // 1 press, 2 repeat, 3 release
  int count = 0;
};

CsiParams ParseParams(std::string_view p) {
  CsiParams r;
  int idx = 0, sub = 0;
  long cur = -1;
  auto store = [&] {
    if (idx < 4 && sub == 0) r.value[idx] = static_cast<int>(cur);
    if (idx == 1 && sub == 1 && cur >= 0) r.event = static_cast<int>(cur);
  };
  for (char c : p) {
    if (c >= '0' && c <= '9') {
      cur = (cur < 0 ? 0 : cur) * 10 + (c - '0');
      if (cur > 1000000) cur = 1000000;
    } else if (c == ':') {
      store();
      ++sub;
      cur = -1;
    } else if (c == ';') {
      store();
      ++idx;
      sub = 0;
      cur = -1;
    }
  }
  store();
  r.count = idx + 1;
  return r;
}

}  // namespace

std::string KeyBytes(const std::vector<KeyEvent>& events) {
  std::string s;
  for (auto& e : events) {
    if (e.kind == KeyEvent::kKeyUp || e.kind == KeyEvent::kBreak) continue;
    if (e.kind == KeyEvent::kExtended || e.kind == KeyEvent::kMouseExtended) s.push_back('\0');
    s.push_back(static_cast<char>(e.code));
  }
  return s;
}

uint8_t ExtendedCodeFor(uint8_t plain, uint8_t mods) {
  bool ctrl = mods & kModCtrl;
  if (plain >= kKeyF1 && plain <= kKeyF10) return ctrl ? plain + kCtrlFOffset : plain;
  switch (plain) {
    case kKeyF11: return ctrl ? kKeyCtrlF11 : kKeyF11;
    case kKeyF12: return ctrl ? kKeyCtrlF12 : kKeyF12;
    case kKeyIns: return ctrl ? kKeyCtrlIns : (mods & kModShift) ? kKeyShiftIns : kKeyIns;
    case kKeyDel: return kKeyDel;
    case kKeyHome: return ctrl ? kKeyCtrlHome : kKeyHome;
    case kKeyEnd: return ctrl ? kKeyCtrlEnd : kKeyEnd;
    case kKeyPgUp: return ctrl ? kKeyCtrlPgUp : kKeyPgUp;
    case kKeyPgDn: return ctrl ? kKeyCtrlPgDn : kKeyPgDn;
    case kKeyUp: return ctrl ? kKeyCtrlUp : kKeyUp;
    case kKeyDown: return ctrl ? kKeyCtrlDown : kKeyDown;
    case kKeyLeft: return ctrl ? kKeyCtrlLeft : kKeyLeft;
    case kKeyRight: return ctrl ? kKeyCtrlRight : kKeyRight;
    default: return 0;
  }
}

uint8_t AltCodeFor(uint8_t c) {
  if (c >= 'a' && c <= 'z') return kLetterScan[c - 'a'];
  if (c >= 'A' && c <= 'Z') return kLetterScan[c - 'A'];
  if (c >= '1' && c <= '9') return static_cast<uint8_t>(kKeyAlt1 + (c - '1'));
  if (c == '0') return kKeyAlt0;
  return 0;
}

void KeyDecoder::Feed(std::string_view raw, int64_t now_ms, std::vector<KeyEvent>* out) {
  if (raw.empty()) return;
  pending_.append(raw);
  pending_since_ = now_ms;
  size_t pos = 0;
  while (pos < pending_.size()) {
    size_t used = DecodeOne(std::string_view(pending_).substr(pos), out);
    if (used == 0) break;
    pos += used;
  }
  pending_.erase(0, pos);
}

void KeyDecoder::Flush(int64_t now_ms, std::vector<KeyEvent>* out, bool force) {
  if (pending_.empty() || (!force && now_ms - pending_since_ < kEscPauseMs)) return;
  // Nothing more came: the held bytes are taken one by one as far as they
  // cannot be read as a whole key. A leading Esc is the Esc key.
  while (!pending_.empty()) {
    size_t used = DecodeOne(pending_, out);
    if (used == 0 && pending_[0] == '\0') {
      used = 1;  // a zero byte with no code after it
    } else if (used == 0) {
      uint8_t c = static_cast<uint8_t>(pending_[0]);
      Push(out, KeyEvent::kChar, c, 0);
      used = 1;
    }
    pending_.erase(0, used);
  }
}

size_t KeyDecoder::DecodeOne(std::string_view s, std::vector<KeyEvent>* out) {
  uint8_t c = static_cast<uint8_t>(s[0]);
  bool was_cr = last_was_cr_;
  last_was_cr_ = false;
  if (c == kKeyEsc) return DecodeEsc(s, out);
  if (c >= 0x80) return DecodeText(s, 0, out);
  if (c >= 0x20 && c != 0x7F) {
    Push(out, KeyEvent::kChar, c, (c >= 'A' && c <= 'Z') ? kModShift : 0);
    return 1;
  }
  if (source_ == Source::kStream && c == '\n' && was_cr) return 1;  // CR LF: one Enter
  if (source_ == Source::kStream && c == 0) {
    // Standard input may carry the key byte stream itself: zero + code.
    if (s.size() < 2) return 0;
    Push(out, KeyEvent::kExtended, static_cast<uint8_t>(s[1]), 0);
    return 2;
  }
  last_was_cr_ = c == '\r';
  if (c == kReviewControlByte) {
    Push(out, KeyEvent::kExtended, kKeyCtrlF9, kModCtrl | kModAlt);
    return 1;
  }
  EmitControl(c, 0, out);
  return 1;
}

void KeyDecoder::EmitControl(uint8_t c, uint8_t mods, std::vector<KeyEvent>* out) {
  bool stream = source_ == Source::kStream;
  switch (c) {
    case 0x00: return Push(out, KeyEvent::kChar, ' ', mods | kModCtrl);  // Ctrl+Space
    case 0x08:
      // A terminal whose Backspace sends DEL sends ^H for Ctrl+Backspace.
      if (!stream && erase_ != 0x08) return Push(out, KeyEvent::kChar, kKeyCtrlBackspace, mods | kModCtrl);
      return Push(out, KeyEvent::kChar, kKeyBackspace, mods);
    case 0x7F: return Push(out, KeyEvent::kChar, kKeyBackspace, mods);
    case '\t': return Push(out, KeyEvent::kChar, kKeyTab, mods);
    case '\r': return Push(out, KeyEvent::kChar, kKeyEnter, mods);
    case '\n':
      if (stream) return Push(out, KeyEvent::kChar, kKeyEnter, mods);
      return Push(out, KeyEvent::kChar, kKeyCtrlEnter, mods | kModCtrl);  // Ctrl+Enter / Ctrl+J
    default: return Push(out, KeyEvent::kChar, c, mods | kModCtrl);
  }
}

// UTF-8 text (Latin-1 or '?'); a malformed byte is taken as Latin-1.
size_t KeyDecoder::DecodeText(std::string_view s, uint8_t extra_mods, std::vector<KeyEvent>* out) {
  uint8_t c = static_cast<uint8_t>(s[0]);
  int len = (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (len == 0) {
    if (!(extra_mods & kModAlt)) Push(out, KeyEvent::kChar, c, extra_mods);
    return 1;
  }
  unsigned cp = c & (0x7F >> len);
  for (int k = 1; k < len; ++k) {
    if (static_cast<size_t>(k) >= s.size()) return 0;  // wait for the rest
    uint8_t d = static_cast<uint8_t>(s[k]);
    if ((d & 0xC0) != 0x80) {
      if (!(extra_mods & kModAlt)) Push(out, KeyEvent::kChar, c, extra_mods);
      return 1;
    }
    cp = (cp << 6) | (d & 0x3F);
  }
  if (extra_mods & kModAlt) return len;  // Alt with a non-ASCII character: no key
  Push(out, KeyEvent::kChar, cp < 0x100 && cp >= 0xA0 ? static_cast<uint8_t>(cp) : '?', extra_mods);
  return len;
}

size_t KeyDecoder::DecodeEsc(std::string_view s, std::vector<KeyEvent>* out) {
  if (s.size() < 2) return 0;
  uint8_t n = static_cast<uint8_t>(s[1]);
  if (n == '[') return DecodeCsi(s, out);
  if (n == 'O') return DecodeSs3(s, out);
  if (n == kKeyEsc) {
    // Esc before a whole sequence is Alt held with that key (rxvt sends
    // Ctrl+Alt+F9 as Esc, then Ctrl+F9); otherwise it is the Esc key.
    if (s.size() < 3) return 0;
    if (s[2] == '[' || s[2] == 'O') {
      std::vector<KeyEvent> inner;
      size_t used = DecodeEsc(s.substr(1), &inner);
      if (used == 0) return 0;
      for (KeyEvent& e : inner) {
        if (e.kind == KeyEvent::kExtended || e.kind == KeyEvent::kChar) e.mods |= kModAlt;
        out->push_back(e);
      }
      return used + 1;
    }
    Push(out, KeyEvent::kChar, kKeyEsc, 0);
    return 1;
  }
  // Alt held with the next key.
  if (n >= 0x80) {
    size_t used = DecodeText(s.substr(1), kModAlt, out);
    return used ? used + 1 : 0;
  }
  if (n >= 1 && n <= 26 && n != 8 && n != 9 && n != 10 && n != 13) {
    Push(out, KeyEvent::kExtended, AltCodeFor(static_cast<uint8_t>('a' + n - 1)), kModAlt | kModCtrl);
    return 2;
  }
  uint8_t code = AltCodeFor(n);
  if (code) Push(out, KeyEvent::kExtended, code, kModAlt | ((n >= 'A' && n <= 'Z') ? kModShift : 0));
  return 2;
}

size_t KeyDecoder::DecodeSs3(std::string_view s, std::vector<KeyEvent>* out) {
  size_t i = 2;
  int m = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9' && i < 6) m = m * 10 + (s[i++] - '0');
  if (i >= s.size()) return 0;
  char f = s[i];
  uint8_t mods = ModsFromParam(m);
  if (uint8_t key = LetterKey(f)) {
    EmitExtended(key, mods, out);
  } else if (uint8_t arrow = RxvtArrow(f)) {
    EmitExtended(arrow, kModCtrl, out);
  } else if (f == 'M') {
    Push(out, KeyEvent::kChar, kKeyEnter, mods);
  } else if (f >= 'p' && f <= 'y') {
    Push(out, KeyEvent::kChar, static_cast<uint8_t>('0' + (f - 'p')), mods);
  } else if (f >= 'j' && f <= 'o') {
    Push(out, KeyEvent::kChar, static_cast<uint8_t>("*+,-./"[f - 'j']), mods);
  }
  return i + 1;
}

size_t KeyDecoder::DecodeCsi(std::string_view s, std::vector<KeyEvent>* out) {
  if (s.size() < 3) return 0;
  if (s[2] == '[') {  // linux console F1-F5: CSI [ A ... CSI [ E
    if (s.size() < 4) return 0;
    if (s[3] >= 'A' && s[3] <= 'E') EmitExtended(static_cast<uint8_t>(kKeyF1 + (s[3] - 'A')), 0, out);
    return 4;
  }
  // Parameter bytes, then intermediates, then the final byte. rxvt's '$'
  // (Shift) ends a "CSI n$" key, so it is taken as a final here.
  size_t i = 2;
  bool sgr_mouse = s[2] == '<';
  if (sgr_mouse) ++i;
  size_t params_begin = i;
  while (i < s.size() && s[i] >= 0x30 && s[i] <= 0x3F) ++i;
  size_t params_end = i;
  while (i < s.size() && s[i] >= 0x20 && s[i] <= 0x2F && s[i] != '$') ++i;
  if (i >= s.size()) return s.size() > 40 ? s.size() : 0;  // overlong: dropped
  uint8_t f = static_cast<uint8_t>(s[i]);
  if (f < 0x40 && f != '$') return i;  // malformed: drop what came before
  if (f > 0x7E) return i;
  CsiParams p = ParseParams(s.substr(params_begin, params_end - params_begin));
  size_t used = i + 1;
  if (sgr_mouse) {
    if (f != 'M') return used;  // button releases are not keys
    int b = p.value[0] < 0 ? 0 : p.value[0];
    if (b & 32) return used;  // motion
    if (b & 64) {
      if ((b & 3) == 0) Push(out, KeyEvent::kMouseExtended, kKeyUp, 0);
      if ((b & 3) == 1) Push(out, KeyEvent::kMouseExtended, kKeyDown, 0);
      return used;
    }
    switch (b & 3) {
      case 0: Push(out, KeyEvent::kMouseChar, kKeyEnter, 0); break;
      case 1: Push(out, KeyEvent::kMouseExtended, kKeyF9, 0); break;
      case 2: Push(out, KeyEvent::kMouseChar, kKeyEsc, 0); break;
    }
    return used;
  }
  if (params_begin != params_end && s[params_begin] >= 0x3C) return used;  // private replies
  uint8_t mods = ModsFromParam(p.value[1]);
  if (p.event == 3) {  // a key release: only the chord keyboard wants them
    unsigned cp = f == 'u' ? static_cast<unsigned>(p.value[0]) : 0;
    if (cp >= 'A' && cp <= 'Z') cp += 32;
    if (cp > 0 && cp < 256) Push(out, KeyEvent::kKeyUp, static_cast<uint8_t>(cp), mods);
    return used;
  }
  if (uint8_t key = LetterKey(static_cast<char>(f))) {
    EmitExtended(key, mods, out);
  } else if (uint8_t arrow = RxvtArrow(static_cast<char>(f))) {
    EmitExtended(arrow, kModShift, out);
  } else if (f == 'Z') {
    Push(out, KeyEvent::kChar, kKeyTab, kModShift);
  } else if (f == '~' && p.value[0] == 27) {
    if (p.value[2] >= 0) EmitModifiedCodepoint(static_cast<unsigned>(p.value[2]), mods, out);
  } else if (f == '~' || f == '$' || f == '^' || f == '@') {
    if (f == '$') mods = kModShift;
    if (f == '^') mods = kModCtrl;
    if (f == '@') mods = kModCtrl | kModShift;
    if (uint8_t key = TildeKey(p.value[0])) EmitExtended(key, mods, out);
  } else if (f == 'u') {
    if (p.value[0] >= 0) EmitModifiedCodepoint(static_cast<unsigned>(p.value[0]), mods, out);
  }
  return used;
}

}  // namespace kal
