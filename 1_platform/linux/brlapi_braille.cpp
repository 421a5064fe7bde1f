// The braille display through BrlAPI: every display that brltty drives.
//
// One connection per device object (the handle form of the library), to
// the server that BRLAPI_HOST names or the local default. The program takes
// the display in tty mode with brltty's own commands as keys, so that the
// keys mean the same on every display; on a virtual console the program's
// own tty is asked for, elsewhere (a terminal under X or SSH, a container)
// the root of the tty tree.
//
// The library reports errors of packets that arrive on their own through
// an exception handler whose default ends the process; ours only notes
// them. A dropped connection shows up as a failed write or read and closes
// the device; the display logic decides when to try again.
#include <csignal>
#include <cstdlib>
#include <cerrno>

#include "1_platform/braille.h"
#include "1_platform/module_entries.h"

#include <brlapi.h>

namespace kal {
namespace {


constexpr brlapi_keyCode_t kBraillePatterns = 0x2800;  // Unicode braille, dot 1 = bit 0

void IgnoreException(brlapi_handle_t*, int, brlapi_packetType_t, const void*, size_t) {}

// brltty's commands and key symbols in the neutral terms of the seam.
BrailleKey CommandKey(brlapi_keyCode_t code) {
  BrailleKey k;
  brlapi_keyCode_t block = code & BRLAPI_KEY_CMD_BLK_MASK;
  brlapi_keyCode_t arg = code & BRLAPI_KEY_CMD_ARG_MASK;
  if (block == BRLAPI_KEY_CMD_PASSDOTS) {
    k.kind = BrailleKey::kChord;
    k.dots = static_cast<uint8_t>(arg & 0xFF);
    k.space_bar = (arg & BRLAPI_DOTC) != 0;
    return k;
  }
  switch (code & BRLAPI_KEY_CODE_MASK) {
    case BRLAPI_KEY_CMD_LNUP: k.kind = BrailleKey::kLineUp; break;
    case BRLAPI_KEY_CMD_LNDN: k.kind = BrailleKey::kLineDown; break;
    case BRLAPI_KEY_CMD_LNBEG: k.kind = BrailleKey::kLineStart; break;
    case BRLAPI_KEY_CMD_LNEND: k.kind = BrailleKey::kLineEnd; break;
    default: k.kind = BrailleKey::kOther; break;
  }
  return k;
}

BrailleKey SymbolKey(brlapi_keyCode_t code) {
  BrailleKey k;
  brlapi_keyCode_t sym = code & BRLAPI_KEY_CODE_MASK;
  switch (sym) {
    case BRLAPI_KEY_SYM_BACKSPACE: k.kind = BrailleKey::kBackspace; return k;
    case BRLAPI_KEY_SYM_LINEFEED: k.kind = BrailleKey::kEnter; return k;
    case BRLAPI_KEY_SYM_ESCAPE: k.kind = BrailleKey::kEscape; return k;
    case BRLAPI_KEY_SYM_UP: k.kind = BrailleKey::kLineUp; return k;
    case BRLAPI_KEY_SYM_DOWN: k.kind = BrailleKey::kLineDown; return k;
    case BRLAPI_KEY_SYM_HOME: k.kind = BrailleKey::kLineStart; return k;
    case BRLAPI_KEY_SYM_END: k.kind = BrailleKey::kLineEnd; return k;
    case BRLAPI_KEY_SYM_TAB: k.kind = BrailleKey::kCharacter; k.code = 9; return k;
  }
  // Latin-1 characters come as themselves or as Unicode code points; a
  // chord that the server keeps as dots comes as a braille pattern.
  brlapi_keyCode_t ch = sym & BRLAPI_KEY_SYM_UNICODE ? sym & ~BRLAPI_KEY_SYM_UNICODE : sym;
  if (ch >= kBraillePatterns && ch <= kBraillePatterns + 0xFF) {
    k.kind = BrailleKey::kChord;
    k.dots = static_cast<uint8_t>(ch - kBraillePatterns);
    return k;
  }
  if (ch >= 0x20 && ch <= 0xFF && ch != 0x7F) {
    k.kind = BrailleKey::kCharacter;
    k.code = static_cast<uint8_t>(ch);
  }
  return k;
}

class BrlapiBraille : public BrailleDevice {
 public:
  ~BrlapiBraille() override { Close(); }

  bool Open() override {
    Close();
    // A server that goes away mid-write must not end the program.
    std::signal(SIGPIPE, SIG_IGN);
    h_ = static_cast<brlapi_handle_t*>(std::malloc(brlapi_getHandleSize()));
    if (!h_) return false;
    brlapi_connectionSettings_t want = BRLAPI_SETTINGS_INITIALIZER;  // BRLAPI_HOST, else local
    fd_ = brlapi__openConnection(h_, &want, nullptr);
    if (fd_ < 0) {
      std::free(h_);
      h_ = nullptr;
      fd_ = -1;
      return false;
    }
    brlapi__setExceptionHandler(h_, IgnoreException);
    if (!ReadSize() || !EnterTty()) {
      Close();
      return false;
    }
    return true;
  }

  bool IsOpen() const override { return h_ != nullptr; }
  int CellCount() const override { return h_ ? cells_ : 0; }
  int KeyFd() const override { return fd_; }

  bool WriteCells(const std::vector<uint8_t>& dots) override {
    if (!h_) return false;
    std::vector<unsigned char> out(cells_, 0);
    for (size_t i = 0; i < out.size() && i < dots.size(); ++i) out[i] = dots[i];
    if (brlapi__writeDots(h_, out.data()) >= 0) return true;
    // A display whose size changed refuses the old count: take the new
    // size; the next row uses it. A server that is gone answers nothing.
    if (ReadSize()) return true;
    Close();
    return false;
  }

  bool ReadKey(BrailleKey* key) override {
    if (!h_) return false;
    brlapi_keyCode_t code;
    int r = brlapi__readKey(h_, 0, &code);
    if (r > 0) {
      *key = (code & BRLAPI_KEY_TYPE_MASK) == BRLAPI_KEY_TYPE_CMD ? CommandKey(code) : SymbolKey(code);
      return true;
    }
    // Interrupted by a signal or a parameter change: not an error.
    const brlapi_error_t* e = brlapi_error_location();
    bool interrupted = e->brlerrno == BRLAPI_ERROR_LIBCERR && e->libcerrno == EINTR;
    if (r < 0 && !interrupted) Close();
    return false;
  }

  void Close() override {
    if (!h_) return;
    brlapi__closeConnection(h_);
    std::free(h_);
    h_ = nullptr;
    fd_ = -1;
    cells_ = 0;
  }

 private:
  bool ReadSize() {
    unsigned x = 0, y = 0;
    if (brlapi__getDisplaySize(h_, &x, &y) < 0 || x == 0 || y == 0 || x * y > 1024) return false;
    cells_ = static_cast<int>(x * y);
    return true;
  }

  // Chords are asked for as dots, so that they mean what the console's
  // table says rather than what the server's text table says; a server
  // that translates them anyway sends characters, which are taken as typed.
  bool EnterTty() {
    if (brlapi__enterTtyMode(h_, BRLAPI_TTY_DEFAULT, nullptr) < 0 &&
        brlapi__enterTtyModeWithPath(h_, nullptr, 0, nullptr) < 0)
      return false;
    brlapi_param_retainDots_t keep = 1;
    brlapi__setParameter(h_, BRLAPI_PARAM_RETAIN_DOTS, 0, BRLAPI_PARAMF_LOCAL, &keep, sizeof keep);
    return true;
  }

  brlapi_handle_t* h_ = nullptr;
  int fd_ = -1;
  int cells_ = 0;
};

}  // namespace
}  // namespace kal

// The module's entry (1_platform/module_entries.h).
extern "C" kal::BrailleDevice* kaldorin_make_brlapi_braille() { return new kal::BrlapiBraille(); }
