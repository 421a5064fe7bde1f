// The console menu: drawing, speaking and the keys.
#include "6_console/console_menu.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "0_base/console_grid.h"
#include "0_base/keys.h"
#include "1_platform/stop_request.h"
#include "2_config/console_settings.h"
#include "5_speech/speech.h"
#include "6_console/console.h"
#include "6_console/console_state.h"
#include "6_console/key_decoder.h"
#include "6_console/screen_review.h"

namespace kal {

namespace {

constexpr int kCurrentColour = 14;  // yellow
constexpr int kMarkedColour = 2;    // green
constexpr int kPageStep = 10;

// How a run of the menu ended: a plain byte, or an extended code.
struct MenuKey {
  uint8_t byte = 0;
  uint8_t code = 0;
};

// One run of the menu from its current position until a key ends it.
class MenuRun {
 public:
  MenuRun(Console& console, ConsoleMenu& m)
      : console_(console),
        speech_(console.speech),
        grid_(GridOf(console)),
        m_(m),
        text_colour_(grid_.attribute() & 0x0F) {
    magnifier_ = ReadMagnifierSettings(console.config);
  }
  MenuKey Run();

 private:
  int count() const { return static_cast<int>(m_.items.size()); }
  int height() const { return m_.y2 - m_.y1 + 1; }
  int width() const { return m_.x2 - m_.x1 + 1; }
  bool Valid(int i) const { return i >= 0 && i < count(); }
  void SetMark(int i, uint8_t on) {
    if (Valid(i)) m_.marks[static_cast<size_t>(i)] = on;
  }
  // Marks items lo..hi (any order, clipped to the items).
  void SetMarks(int a, int b, uint8_t on) {
    for (int i = std::max(std::min(a, b), 0); i <= std::min(std::max(a, b), count() - 1); ++i) SetMark(i, on);
  }
  void Draw();
  void PlaceCursor();
  void SpeakCurrent();
  // True when the key ends the run (*end set).
  bool Plain(uint8_t k, MenuKey* end);
  bool Extended(uint8_t code, uint8_t mods, MenuKey* end);
  void ClampPosition();

  Console& console_;
  SpeechState& speech_;  // the console's
  ConsoleGrid& grid_;
  ConsoleMenu& m_;
  int text_colour_;
  MagnifierSettings magnifier_;
};

void MenuRun::Draw() {
  if (m_.current < m_.top) m_.top = m_.current;
  if (m_.current >= m_.top + height()) m_.top = m_.current - height() + 1;
  m_.current = std::max(m_.current, -1);
  m_.top = std::max(m_.top, 0);
  for (int r = 0; r < height(); ++r) {
    int i = m_.top + r;
    std::string text = Valid(i) ? m_.items[static_cast<size_t>(i)] : "";
    text.resize(static_cast<size_t>(width()), ' ');
    for (char& c : text)
      if (static_cast<uint8_t>(c) < 32) c = ' ';
    TextColor(console_, i == m_.current ? kCurrentColour : Valid(i) && m_.marks[static_cast<size_t>(i)] ? kMarkedColour
                                                                                             : text_colour_);
    GotoXY(console_, m_.x1, m_.y1 + r);
    DrawOnConsole(console_, text);
  }
  TextColor(console_, text_colour_);
}

// A menu item is a file name only when it cannot reach outside the sounds
// folder.
bool SafeSoundName(const std::string& name) {
  return !name.empty() && name.find_first_of("/\\:") == std::string::npos && name[0] != '.';
}

void MenuRun::SpeakCurrent() {
  if (!Valid(m_.current)) return;
  const std::string& text = m_.items[static_cast<size_t>(m_.current)];
  if (m_.marks[static_cast<size_t>(m_.current)]) ErrorBeep(speech_);
  if (magnifier_.factor >= 1 && magnifier_.factor <= 10) {
    std::string strip = text.substr(0, static_cast<size_t>(grid_.width() / magnifier_.factor));
    strip.resize(static_cast<size_t>(grid_.width()), ' ');
    uint8_t attr = static_cast<uint8_t>(magnifier_.background * 16 + magnifier_.letters);
    grid_.SetTopOverlay(strip, std::vector<uint8_t>(strip.size(), attr), magnifier_.factor);
    RefreshConsole(console_);
  }
  if (OptionEchoOn(speech_) && SafeSoundName(text) && SoundExists(speech_, text)) {
    PlayNamedSound(speech_, text);
  } else {
    SpeakText(speech_, text);
  }
}

bool MenuRun::Plain(uint8_t k, MenuKey* end) {
  switch (k) {
    case ' ':
      if (Valid(m_.current)) m_.marks[static_cast<size_t>(m_.current)] ^= 1;
      return false;
    case '+': SetMark(m_.current, 1); return false;
    case '-': SetMark(m_.current, 0); return false;
    case '*': SetMarks(0, count() - 1, 1); return false;
    case '/': SetMarks(0, count() - 1, 0); return false;
    default:
      end->byte = k;
      return true;
  }
}

// Codes that end the menu with the extended key itself.
bool EndsMenu(uint8_t code) {
  return (code >= kKeyF1 && code <= kKeyF12) || code == kKeyLeft || code == kKeyRight || code == kKeyDel ||
         (code >= kKeyCtrlF1 && code <= kKeyCtrlF8) || (code >= kKeyCtrlF9 + 1 && code <= kKeyCtrlF12) ||
         code == kKeyCtrlLeft || code == kKeyCtrlRight;
}

bool MenuRun::Extended(uint8_t code, uint8_t mods, MenuKey* end) {
  bool shift = mods & kModShift;
  int last = count() - 1;
  switch (code) {
    case kKeyDown: case 9:  // an extended 9 moves down as well
      if (shift) {
        if (Valid(m_.current) && !m_.marks[static_cast<size_t>(m_.current)]) ErrorBeep(speech_);
        SetMark(m_.current, 1);
        SetMark(m_.current + 1, 1);
      }
      ++m_.current;
      break;
    case kKeyUp:
      if (shift) SetMark(m_.current, 0);
      --m_.current;
      break;
    case kKeyPgDn: m_.current += kPageStep; break;
    case kKeyPgUp: m_.current -= kPageStep; break;
    case kKeyHome: case kKeyCtrlPgUp:
      if (shift) SetMarks(m_.current, 0, 0);
      m_.current = 0;
      ErrorBeep(speech_);
      break;
    case kKeyEnd: case kKeyCtrlPgDn:
      if (shift) SetMarks(m_.current, last, 1);
      m_.current = last;
      ErrorBeep(speech_);
      break;
    case kKeyCtrlEnd:
      if (!shift) break;
      SetMarks(m_.current, last, 0);
      m_.current = last;
      ErrorBeep(speech_);
      break;
    case kKeyCtrlHome:
      if (!shift) break;
      SetMarks(m_.current, 0, 1);
      m_.current = 0;
      ErrorBeep(speech_);
      break;
    case kKeyCtrlF9:
      if (!(mods & kModAlt)) {
        end->code = code;
        return true;
      }
      ScreenReview(console_);
      break;
    default:
      if (EndsMenu(code)) {
        end->code = code;
        return true;
      }
  }
  ClampPosition();
  return false;
}

void MenuRun::ClampPosition() {
  if (m_.current < 0) {
    m_.current = -1;
    ErrorBeep(speech_);
  } else if (m_.current > count() - 1) {
    m_.current = count();
    ErrorBeep(speech_);
  }
}

MenuKey MenuRun::Run() {
  MenuKey end;
  for (;;) {
    Draw();
    SpeakCurrent();
    PlaceCursor();
    uint8_t k = ReadKey(console_.platform);
    if (StopRequested(console_.platform)) break;  // the program is ending: no key ends the menu
    uint8_t mods = LastKeyModifiers(console_);
    StopSpeech(speech_);
    bool ended;
    if (k == 0) {
      uint8_t code = ReadKey(console_.platform);
      ended = Extended(code, LastKeyModifiers(console_) | mods, &end);
    } else {
      ended = Plain(k, &end);
    }
    if (ended) break;
  }
  grid_.ClearTopOverlay();
  Draw();
  PlaceCursor();  // what the script writes next starts there, not past the box
  return end;
}

// The cursor at the left edge of the current item's row (the top or bottom
// row while the position is before the first item or after the last).
void MenuRun::PlaceCursor() { GotoXY(console_, m_.x1, m_.y1 + std::clamp(m_.current - m_.top, 0, height() - 1)); }

std::string KeyText(MenuKey key) {
  if (key.byte >= 32) return std::string(1, static_cast<char>(key.byte));
  if (key.byte != 0) return "#" + std::to_string(key.byte);
  return "#0#" + std::to_string(key.code);
}

}  // namespace

bool CreateConsoleMenu(Console& console, int x1, int y1, int x2, int y2) {
  InitConsole(console);
  const ConsoleGrid& g = GridOf(console);
  MenuState& state = console.menu;
  x1 = std::max(x1, 1);
  y1 = std::max(y1, 1);
  x2 = std::min(x2, g.width());
  y2 = std::min(y2, g.height());
  state.menu.reset();
  if (x2 < x1 || y2 < y1) return false;
  ConsoleMenu m;
  m.x1 = x1;
  m.y1 = y1;
  m.x2 = x2;
  m.y2 = y2;
  state.menu = std::move(m);
  state.x1 = x1;
  state.y1 = y1;
  state.x2 = x2;
  state.y2 = y2;
  return true;
}

MenuAdd AddConsoleMenuItem(Console& console, std::string text) {
  auto& menu = console.menu.menu;
  if (!menu) return MenuAdd::kNoMenu;
  if (menu->items.size() >= kMaxMenuItems) return MenuAdd::kFull;
  menu->items.push_back(std::move(text));
  menu->marks.push_back(0);
  return MenuAdd::kAdded;
}

bool RunConsoleMenu(Console& console, std::optional<int> start, MenuChoice* choice) {
  auto& menu = console.menu.menu;
  if (!menu) return false;
  InitConsole(console);
  ConsoleGrid& grid = GridOf(console);
  uint8_t attribute = grid.attribute();
  MenuKey key;
  for (;;) {
    if (start) menu->start = std::max(*start, 1);
    menu->current = menu->start - 1;
    key = MenuRun(console, *menu).Run();
    if (StopRequested(console.platform)) {
      grid.set_attribute(attribute);
      return false;
    }
    // Moving keys outside the function keys start the menu again.
    if (key.byte != 0 || (key.code >= kKeyF1 && key.code <= kKeyF12)) break;
  }
  grid.set_attribute(attribute);
  choice->position = menu->current + 1;
  choice->key = KeyText(key);
  int i = menu->current;
  choice->text = i >= 0 && i < static_cast<int>(menu->items.size()) ? menu->items[static_cast<size_t>(i)] : "";
  return true;
}

void EndConsoleMenu(Console& console) {
  auto& m = console.menu;
  if (m.x2 >= m.x1 && m.y2 >= m.y1) {
    InitConsole(console);
    std::string blanks(static_cast<size_t>(m.x2 - m.x1 + 1), ' ');
    for (int row = m.y1; row <= m.y2; ++row) {
      GotoXY(console, m.x1, row);
      DrawOnConsole(console, blanks);
    }
    GotoXY(console, m.x1, m.y1);
  }
  m.menu.reset();
}

}  // namespace kal
