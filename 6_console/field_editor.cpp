// The speaking field editor. One FieldEditor lives for one edit; it keeps
// the text padded with spaces to the field's length, so that positions past
// the typed text exist and deleting closes up with a space at the end.
#include "6_console/field_editor.h"

#include <algorithm>

#include "6_console/clipboard.h"
#include "6_console/console.h"
#include "6_console/console_state.h"
#include "6_console/console_messages.h"
#include "0_base/latin1.h"
#include "0_base/console_grid.h"
#include "0_base/keys.h"
#include "0_base/word_letters.h"
#include "2_config/console_settings.h"
#include "6_console/key_decoder.h"
#include "6_console/screen_review.h"
#include "5_speech/speech.h"
#include "5_speech/speech_state.h"
#include "5_speech/time_speech.h"
#include "3_audio/wave_player.h"
#include "1_platform/stop_request.h"

namespace kal {

namespace {

constexpr int kMaxField = 2048;
constexpr uint8_t kSelectionBackground = 8;
// What an edit ended by a stop request answers: Esc, nothing taken.
constexpr int kStoppedResult = kKeyEsc;

// The field's F1 spells a run of consonants; W and Y, which stand for vowels
// as often as not, let the run be said.
bool IsConsonant(uint8_t c) {
  uint8_t upper = c >= 'a' && c <= 'z' ? static_cast<uint8_t>(c - 32) : c;
  return IsConsonantLetter(c) && upper != 'W' && upper != 'Y';
}

// Word classes for word movement: letters, digits, spaces, anything else.
enum class Kind { kSpace, kLetter, kDigit, kOther };
Kind KindOf(char ch) {
  uint8_t c = static_cast<uint8_t>(ch);
  if (c == ' ') return Kind::kSpace;
  if (IsWordLetter(c)) return Kind::kLetter;
  if (IsWordDigit(c)) return Kind::kDigit;
  return Kind::kOther;
}

// The editor queues the echo without waiting for it; at its end the wave
// player waits again as before. Only that flag is put back: a speed chosen
// with Ctrl+F4 set the player's other flags, which stay.
void RestoreWaitMode(WavePlayer& player, const WaveFlags& before) { SetWaveNoWait(player, before.no_wait); }

class FieldEditor {
 public:
  FieldEditor(Console& console, std::string* text, int column, int row, int max_length, int width, bool editable);
  int Run();

 private:
  // Returns true when the key ended the edit (*result set).
  bool HandleOrdinary(uint8_t k, int* result);
  bool HandleExtended(uint8_t code, uint8_t mods, int* result);
  void Draw();
  void DrawMagnifier();
  void Finish();

  uint8_t At(int pos) const { return static_cast<uint8_t>(text_[pos - 1]); }
  int TextEnd() const;  // position just after the last non-space character
  bool TextAtOrAfterCursor() const;
  bool HasSelection() const { return anchor_ > 0 && sel_end_ > 0 && anchor_ != sel_end_; }
  void CancelSelection() { anchor_ = sel_end_ = 0; }
  void Blank() { std::fill(text_.begin(), text_.end(), ' '); }
  // The two clicks and the blanking of a proposed text on the first key.
  void ReplaceProposedText(bool blank);

  void Type(uint8_t c);
  void DeleteAt(int pos, bool first);
  void DeleteRun(int pos, int count, bool first);
  void DeleteSelection();
  void DeleteWord();
  void ReadItem();
  int SpeakItemAt(int pos);
  void MoveWordLeft();
  void MoveWordRight();
  void OpenWordAtCursor();
  void ChangeSpeed();
  void Paste();
  void Copy();

  Console& console_;
  SpeechState& speech_;  // the console's
  ConsoleGrid& grid_;
  std::string* out_;
  std::string text_;
  std::string initial_;
  int column_, row_, max_, width_;
  bool editable_;
  int cursor_ = 1;
  int first_ = 1;         // first visible position
  int strip_first_ = 1;   // first position in the magnified strip
  int anchor_ = 0, sel_end_ = 0;
  bool first_key_ = true;
  MagnifierSettings magnifier_;
};

FieldEditor::FieldEditor(Console& console, std::string* text, int column, int row, int max_length, int width,
                         bool editable)
    : console_(console),
      speech_(console.speech),
      grid_(GridOf(console)),
      out_(text),
      column_(column),
      row_(row),
      editable_(editable) {
  max_ = std::clamp(max_length, 0, kMaxField);
  width_ = std::min(width, max_);
  const ConsoleGrid& g = grid_;
  if (row_ == g.height() && column_ + width_ > g.width()) --width_;
  text_ = text->substr(0, max_);
  text_.resize(max_, ' ');
  initial_ = text_;
  magnifier_ = ReadMagnifierSettings(console.config);
}

int FieldEditor::TextEnd() const {
  int end = max_;
  while (end > 0 && text_[end - 1] == ' ') --end;
  return end + 1;
}

bool FieldEditor::TextAtOrAfterCursor() const { return cursor_ < TextEnd(); }

int FieldEditor::Run() {
  InitConsole(console_);
  WavePlayer& player = console_.speech.player;
  WaveFlags saved = GetWaveFlags(player);
  WaveFlags quick = saved;
  quick.no_wait = true;  // fast typing is not held up by the echo
  SetWaveFlags(player, quick);
  int result = 0;
  for (;;) {
    if (cursor_ < first_) first_ = cursor_;
    if (cursor_ > first_ + std::max(width_, 0)) first_ = cursor_ - std::max(width_, 0);
    DrawMagnifier();
    Draw();
    uint8_t k = ReadKey(console_.platform);
    // A stopped run leaves the field as it stands, unchanged and unread.
    if (StopRequested(console_.platform)) {
      RestoreWaitMode(player, saved);
      return kStoppedResult;
    }
    StopSpeech(speech_);
    uint8_t mods = LastKeyModifiers(console_);
    bool ended;
    if (k == 0) {
      uint8_t code = ReadKey(console_.platform);
      mods = LastKeyModifiers(console_);
      if (code == kKeyAltQ || code == kKeyAltW || code == kKeyAltE) {
        first_key_ = false;
        ended = HandleOrdinary(ReadKey(console_.platform), &result);
      } else {
        ended = HandleExtended(code, mods, &result);
      }
    } else {
      ended = HandleOrdinary(k, &result);
    }
    first_key_ = false;
    if (ended) break;
  }
  RestoreWaitMode(player, saved);
  Finish();
  return result;
}

// The visible part of the field, the selection on a dark grey background.
void FieldEditor::Draw() {
  GotoXY(console_, column_, row_);
  uint8_t attr = grid_.attribute();
  int lo = HasSelection() ? std::min(anchor_, sel_end_) : 0;
  int hi = HasSelection() ? std::max(anchor_, sel_end_) : 0;
  int shown = 0;
  for (int i = 0; i < width_ && first_ + i <= max_; ++i, ++shown) {
    int pos = first_ + i;
    bool selected = pos >= lo && pos < hi;
    grid_.set_attribute(selected ? static_cast<uint8_t>((attr & 0x0F) | (kSelectionBackground << 4)) : attr);
    uint8_t c = At(pos);
    grid_.Write(std::string(1, c < 32 ? ' ' : static_cast<char>(c)));
  }
  grid_.set_attribute(attr);
  if (shown < grid_.width()) grid_.ClearEol();
  GotoXY(console_, column_ + cursor_ - first_, row_);
}

// The low-vision strip over the top row: the part of the field around the
// cursor in the strip's colours, the character before the cursor marked.
// When no letter stands before the cursor (an empty field, the start of the
// line, after a blank) the cursor's own cell is shown on the cursor colour,
// so that the strip shows where typing goes from its first frame on.
// The strip holds as many characters as the enlarged row can show; a window
// draws them enlarged, a terminal (which cannot show one row in a larger
// font) at normal size.
void FieldEditor::DrawMagnifier() {
  int f = magnifier_.factor;
  if (f < 1 || f > 10) return;
  int n = grid_.width() / f;
  if (cursor_ < strip_first_) strip_first_ = cursor_;
  if (cursor_ > strip_first_ + n - 1) strip_first_ = cursor_ - n + 1;
  std::string cells;
  std::vector<uint8_t> attrs;
  uint8_t normal = static_cast<uint8_t>(magnifier_.background * 16 + magnifier_.letters);
  uint8_t marked = static_cast<uint8_t>(magnifier_.background * 16 + magnifier_.cursor);
  uint8_t block = static_cast<uint8_t>((magnifier_.cursor & 0x0F) * 16 + magnifier_.letters);
  bool letter_before = cursor_ > 1 && At(cursor_ - 1) > ' ';
  for (int i = 0; i < grid_.width(); ++i) {
    int pos = strip_first_ + i;
    bool in_field = i < n && pos <= max_;
    uint8_t c = in_field ? At(pos) : ' ';
    cells.push_back(c < 32 ? ' ' : static_cast<char>(c));
    uint8_t attr = normal;
    if (in_field && pos == cursor_ - 1) attr = marked;
    if (in_field && pos == cursor_ && !letter_before) attr = block;
    attrs.push_back(attr);
  }
  grid_.SetTopOverlay(std::move(cells), std::move(attrs), f);
}

void FieldEditor::Finish() {
  grid_.ClearTopOverlay();
  GotoXY(console_, column_, row_);
  std::string head = text_.substr(0, std::max(0, std::min(width_, max_)));
  for (char& c : head)
    if (static_cast<uint8_t>(c) < 32) c = ' ';
  DrawOnConsole(console_, head);
  GotoXY(console_, column_, row_);
  StopSpeech(speech_);
  std::string result = text_;
  while (!result.empty() && result.back() == ' ') result.pop_back();
  *out_ = result;
}

void FieldEditor::ReplaceProposedText(bool blank) {
  if (!first_key_ || !TextAtOrAfterCursor()) return;
  Click(speech_);
  Click(speech_);
  if (blank) Blank();
}

bool FieldEditor::HandleOrdinary(uint8_t k, int* result) {
  if (k == kKeyCtrlC) return HandleExtended(kKeyCtrlIns, 0, result);  // copy
  if (k == kKeyCtrlV) return HandleExtended(kKeyShiftIns, 0, result);  // paste
  CancelSelection();
  switch (k) {
    case kKeyCtrlB: case kKeyTab: case kKeyCtrlEnter: case kKeyEnter: case kKeyEsc:
      *result = k;
      return true;
    case kKeyCtrlD:
      if (!editable_) break;
      std::fill(text_.begin() + (cursor_ - 1 < max_ ? cursor_ - 1 : max_), text_.end(), ' ');
      PlayNamedSound(speech_, "_APFCPO");
      break;
    case kKeyBackspace:
      if (!editable_) break;
      if (cursor_ == 1) {
        ErrorBeep(speech_);
        break;
      }
      --cursor_;
      DeleteAt(cursor_, true);
      break;
    case kKeyCtrlK:
      SpeakText(speech_, std::to_string(cursor_));
      break;
    case kKeyCtrlS:
      if (!editable_) break;
      text_.erase(0, std::min(cursor_ - 1, max_));
      text_.resize(max_, ' ');
      cursor_ = 1;
      PlayNamedSound(speech_, "_APICPO");
      break;
    case kKeyCtrlU:
      if (!editable_) break;
      text_ = initial_;
      cursor_ = 1;
      ErrorBeep(speech_);
      ErrorBeep(speech_);
      ErrorBeep(speech_);
      break;
    case kKeyCtrlY:
      if (!editable_) break;
      Blank();
      PlayNamedSound(speech_, "_CPOAPA");
      cursor_ = 1;
      break;
    case kKeyCtrlBackslash:
      DialDigits(speech_, text_);
      break;
    case kKeyCtrlBackspace:
      if (editable_) DeleteWord();
      break;
    default:
      if (k >= 32) Type(k);
  }
  return false;
}

bool FieldEditor::HandleExtended(uint8_t code, uint8_t mods, int* result) {
  bool shift = mods & kModShift, alt = mods & kModAlt;
  if (shift && anchor_ == 0) anchor_ = cursor_;
  switch (code) {
    case kKeyF1:
      if (alt) {
        *result = kKeyCtrlF11;  // Alt+F1 ends the edit with this code
        return true;
      }
      ReadItem();
      break;
    case kKeyF4:
      SetSpeechEcho(speech_, !SpeechEchoOn(speech_));
      PlayNamedSound(speech_, SpeechEchoOn(speech_) ? "_FALACI" : "_FALDLG");
      break;
    case kKeyF8: SpeakTime(speech_); break;
    case kKeyF12: OpenWordAtCursor(); break;
    case kKeyHome: cursor_ = 1; break;
    case kKeyLeft:
      if (cursor_ == 1) {
        ErrorBeep(speech_);
        break;
      }
      --cursor_;
      SpeakChar(speech_, At(cursor_));
      break;
    case kKeyRight:
      if (cursor_ >= TextEnd() || cursor_ > max_) {
        ErrorBeep(speech_);
        break;
      }
      if (alt && IsWordLetter(At(cursor_))) {
        PlayNamedSound(speech_, "_FON" + std::to_string(At(cursor_)));
      } else {
        SpeakChar(speech_, At(cursor_));
      }
      ++cursor_;
      break;
    case kKeyEnd: cursor_ = TextEnd(); break;
    case kKeyDel:
      if (!editable_) break;
      if (HasSelection()) {
        DeleteSelection();
      } else if (cursor_ <= max_) {
        DeleteAt(cursor_, true);
      }
      break;
    case kKeyCtrlF1: SpeakText(speech_, text_.substr(0, TextEnd() - 1)); break;
    case kKeyCtrlF4: ChangeSpeed(); break;
    case kKeyCtrlF8: SpeakDate(speech_); break;
    case kKeyCtrlF9:
      if (!alt) {
        *result = kKeyCtrlF9;
        return true;
      }
      ScreenReview(console_);
      break;
    case kKeyCtrlF11: SpeakBatteryStatus(speech_); break;
    case kKeyCtrlLeft: MoveWordLeft(); break;
    case kKeyCtrlRight: MoveWordRight(); break;
    case kKeyShiftIns: Paste(); break;
    case kKeyCtrlIns: Copy(); break;
    default:
      if (code >= kKeyAlt1 && code <= kKeyAlt0) break;  // Alt+digit
      *result = code;
      return true;
  }
  if (shift) {
    sel_end_ = cursor_;
  } else if (code != kKeyShiftIns && code != kKeyCtrlIns) {
    CancelSelection();
  }
  return false;
}

void FieldEditor::Type(uint8_t c) {
  ReplaceProposedText(editable_);
  if (!editable_) return;
  if (cursor_ > max_) {
    ErrorBeep(speech_);
    return;
  }
  text_.insert(text_.begin() + (cursor_ - 1), static_cast<char>(c));
  text_.pop_back();
  Draw();
  if (SpeechEchoOn(speech_)) SpeakChar(speech_, c);
  ++cursor_;
}

// One character out, the rest closing up; the first deletion of a key is
// announced when full announcements are on, every deleted character spoken.
void FieldEditor::DeleteAt(int pos, bool first) { DeleteRun(pos, 1, first); }

// `count` characters from pos out at once, the rest closing up and spaces
// appended; only the first of them is announced and spoken.
void FieldEditor::DeleteRun(int pos, int count, bool first) {
  if (pos < 1 || pos > max_ || count < 1) return;
  count = std::min(count, max_ - pos + 1);
  uint8_t gone = At(pos);
  text_.erase(static_cast<size_t>(pos - 1), static_cast<size_t>(count));
  text_.resize(static_cast<size_t>(max_), ' ');
  Draw();
  if (first && FullAnnouncements(speech_)) PlayNamedSound(speech_, "_DEL");
  SpeakChar(speech_, gone);
}

void FieldEditor::DeleteSelection() {
  int lo = std::min(anchor_, sel_end_), hi = std::max(anchor_, sel_end_);
  cursor_ = lo;
  if (FullAnnouncements(speech_)) PlayNamedSound(speech_, "_DEL");
  for (int i = lo; i < hi && lo <= max_; ++i) DeleteAt(lo, false);
  CancelSelection();
}

// The word that holds or precedes the cursor, up to the start of the next
// word, spaces after it included.
void FieldEditor::DeleteWord() {
  int pos = std::min(cursor_, max_ + 1);
  if (pos > max_ || KindOf(static_cast<char>(At(pos))) == Kind::kSpace) {
    while (pos > 1 && At(pos - 1) == ' ') --pos;
    if (pos == 1) {
      ErrorBeep(speech_);
      return;
    }
    --pos;  // on the last character of the word before
  }
  Kind kind = KindOf(static_cast<char>(At(pos)));
  int start = pos;
  if (kind != Kind::kOther)
    while (start > 1 && KindOf(static_cast<char>(At(start - 1))) == kind) --start;
  int end = pos + 1;
  if (kind != Kind::kOther)
    while (end <= max_ && KindOf(static_cast<char>(At(end))) == kind) ++end;
  // The spaces after the word, but not the field's padding past the text:
  // deleting that would change nothing.
  while (end < TextEnd() && At(end) == ' ') ++end;
  cursor_ = start;
  DeleteRun(start, end - start, true);
}

// F1: the item at the cursor is read and the cursor moves past it.
void FieldEditor::ReadItem() {
  int pos = cursor_;
  while (pos <= max_ && At(pos) == ' ') ++pos;
  if (pos > max_ || pos >= TextEnd()) {
    ErrorBeep(speech_);
    return;
  }
  cursor_ = SpeakItemAt(pos);
}

// The item that starts at pos is said (a word, spelled when it has no
// vowel; a number; or one other character, spelled); the position past it.
int FieldEditor::SpeakItemAt(int pos) {
  uint8_t c = At(pos);
  int end = pos + 1;
  if (IsWordLetter(c)) {
    bool consonants_only = true;
    end = pos;
    while (end <= max_ && IsWordLetter(At(end))) consonants_only &= IsConsonant(At(end++));
    std::string word = text_.substr(pos - 1, end - pos);
    if (consonants_only) {
      SpellText(speech_, word);
    } else {
      SpeakText(speech_, word);
    }
  } else if (IsWordDigit(c) || (c == '-' && pos < max_ && IsWordDigit(At(pos + 1)))) {
    end = pos + 1;
    while (end <= max_ && IsWordDigit(At(end))) ++end;
    SpeakText(speech_, text_.substr(pos - 1, end - pos));
  } else {
    SpellText(speech_, std::string(1, static_cast<char>(c)));
  }
  return end;
}

// Ctrl+Left: the start of the previous word, said after the click.
void FieldEditor::MoveWordLeft() {
  if (cursor_ <= 1) {
    ErrorBeep(speech_);
    return;
  }
  int pos = cursor_ - 1;
  while (pos > 1 && At(pos) == ' ') --pos;
  Kind kind = KindOf(static_cast<char>(At(pos)));
  if (kind == Kind::kLetter || kind == Kind::kDigit)
    while (pos > 1 && KindOf(static_cast<char>(At(pos - 1))) == kind) --pos;
  cursor_ = pos;
  Click(speech_);
  SpeakItemAt(cursor_);
}

// Ctrl+Right: the start of the next word, which is said as the screen
// readers say it; past the last word only the click.
void FieldEditor::MoveWordRight() {
  if (cursor_ >= TextEnd()) {
    ErrorBeep(speech_);
    return;
  }
  int pos = cursor_;
  Kind kind = KindOf(static_cast<char>(At(pos)));
  if (kind == Kind::kLetter || kind == Kind::kDigit) {
    while (pos <= max_ && KindOf(static_cast<char>(At(pos))) == kind) ++pos;
  } else if (kind == Kind::kOther) {
    ++pos;
  }
  while (pos <= max_ && At(pos) == ' ') ++pos;
  cursor_ = pos;
  Click(speech_);
  if (cursor_ < TextEnd()) SpeakItemAt(cursor_);
}

// F12: the space-delimited word around the cursor, without the marks that
// often surround an address, is opened.
void FieldEditor::OpenWordAtCursor() {
  int pos = std::min(cursor_, max_);
  if (pos < 1 || At(pos) == ' ') {
    if (pos > 1 && At(pos - 1) != ' ') --pos;
  }
  std::string word;
  if (pos >= 1 && At(pos) != ' ') {
    int b = pos, e = pos;
    while (b > 1 && At(b - 1) != ' ') --b;
    while (e < max_ && At(e + 1) != ' ') ++e;
    word = text_.substr(b - 1, e - b + 1);
  }
  static const std::string kStrip = "\"(*-.<=>[_{";
  size_t b = word.find_first_not_of(kStrip);
  if (b == std::string::npos) {
    ErrorBeep(speech_);
    return;
  }
  size_t e = word.find_last_not_of(kStrip);
  OpenLink(speech_, word.substr(b, e - b + 1));
}

// Ctrl+F4: keys are read, each spoken, until none is waiting; the last one
// is the new speed.
void FieldEditor::ChangeSpeed() {
  PlayNamedSound(speech_, "_VELOC");
  uint8_t k;
  do {
    k = ReadKeySpoken(speech_);
  } while (KeyPressed(console_.platform) && !StopRequested(console_.platform));
  if (k == kKeyEsc || k == kKeyEnter || StopRequested(console_.platform)) return;
  std::string folder = AppSoundsFolder(speech_);
  DoneSpeech(speech_);
  InitSpeech(speech_, k - '0', folder);
  if (StopRequested(console_.platform)) return;  // the voice could not start again
  SpeakText(speech_, L1(console_msg::kSpeed) + std::to_string(SpeechSpeed(speech_)));
}

void FieldEditor::Paste() {
  if (!editable_) return;
  std::string clip = PasteFromClipboard(console_, static_cast<size_t>(max_) + 1);
  size_t cut = clip.find_first_of("\r\n");
  if (cut != std::string::npos) clip.resize(cut);
  ReplaceProposedText(true);
  std::string body = text_;
  int at = cursor_;
  if (HasSelection()) {
    int lo = std::min(anchor_, sel_end_), hi = std::max(anchor_, sel_end_);
    body.erase(lo - 1, hi - lo);
    at = lo;
  }
  at = std::min(at, static_cast<int>(body.size()) + 1);
  body.insert(at - 1, clip);
  body.resize(max_, ' ');
  text_ = body;
  cursor_ = std::min(at + static_cast<int>(clip.size()), max_ + 1);
  CancelSelection();
}

void FieldEditor::Copy() {
  if (HasSelection()) {
    int lo = std::min(anchor_, sel_end_), hi = std::max(anchor_, sel_end_);
    CopyAndSay(console_, text_.substr(lo - 1, hi - lo));
  } else {
    CopyAndSay(console_, text_.substr(0, TextEnd() - 1) + "\r\n");
  }
}

}  // namespace

int EditField(Console& console, std::string* text, int column, int row, int max_length, int width, bool editable) {
  FieldEditor editor(console, text, column, row, max_length, width, editable);
  return editor.Run();
}

int EditFieldAt(Console& console, std::string* text, int column, int row, int max_length, bool editable) {
  InitConsole(console);
  return EditField(console, text, column, row, max_length, GridOf(console).width() - 1 - column, editable);
}

std::string ReadEditedLine(Console& console) {
  InitConsole(console);
  int column = WhereX(console), row = WhereY(console);
  std::string text;
  int width = std::min(255, GridOf(console).width() - 1 - column);
  int key = EditFieldAt(console, &text, column, row, 255, true);
  if (StopRequested(console.platform)) return text;
  if (key == kKeyEsc) {
    GotoXY(console, column, row);
    if (width > 0) DrawOnConsole(console, std::string(width, ' '));
    GotoXY(console, column, row);
    text.clear();
  }
  AddToTranscript(console, text);
  ConsoleWrite(console, "\r\n");
  return text;
}

}  // namespace kal
