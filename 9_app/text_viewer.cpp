#include "9_app/text_viewer.h"
#include "9_app/app_messages.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "6_console/console.h"
#include "0_base/console_grid.h"
#include "0_base/keys.h"
#include "0_base/latin1.h"
#include "5_speech/speech.h"
#include "1_platform/stop_request.h"
#include "6_console/write_and_speak.h"

namespace kal {

namespace {

constexpr int kPage = ConsoleGrid::kHeight - 1;

// What is said for a line: its text, or "linha vazia" so that an empty line
// is heard as such.
std::string Spoken(const std::string& line) {
  for (char c : line)
    if (static_cast<unsigned char>(c) > 32) return line;
  return L1(app_msg::kEmptyLine);
}

// Shows a screen of lines from the current one on, the current line on the
// top row. Rows are written as lines, so that a run without a terminal
// shows them as lines too; the last row gets no line end, which would
// scroll the screen.
void Draw(const TextView& view) {
  ClearScreen();
  int last = std::min(view.count(), view.current() + ConsoleGrid::kHeight - 1);
  for (int i = view.current(); i < last; ++i) {
    ConsoleWrite(view.Line(i).substr(0, ConsoleGrid::kWidth - 1));
    ConsoleWrite("\r\n");
  }
  GotoXY(1, 1);
}

void SayCurrent(const TextView& view) {
  StopSpeech();
  SpeakText(Spoken(view.Line(view.current())));
}

// Applies one moving key; false when the key is not one of the viewer's.
bool HandleExtended(TextView& view, uint8_t scan) {
  bool moved = true;
  switch (scan) {
    case kKeyUp: moved = view.Move(-1); break;
    case kKeyDown: moved = view.Move(1); break;
    case kKeyPgUp: moved = view.Move(-kPage); break;
    case kKeyPgDn: moved = view.Move(kPage); break;
    case kKeyHome: moved = view.First(); break;
    case kKeyEnd: moved = view.Last(); break;
    case kKeyF1: break;
    default: return false;
  }
  if (!moved) ErrorBeep();
  Draw(view);
  SayCurrent(view);
  return true;
}

}  // namespace

bool TextView::Move(int delta) {
  int target = std::clamp(current_ + delta, 0, count() - 1);
  if (target == current_) return false;
  current_ = target;
  return true;
}

bool TextView::First() { return Move(-current_); }
bool TextView::Last() { return Move(count() - 1 - current_); }

std::vector<std::string> SplitViewerText(const std::string& bytes) {
  std::string text = LooksLikeUtf8(bytes) ? Utf8ToLatin1(bytes) : bytes;
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  if (lines.empty()) lines.push_back("");
  return lines;
}

int RunTextViewer(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    WriteLineAndSpeak(L1(app_msg::kCannotOpenFile) + Utf8ToLatin1(path));
    WaitSpeech();
    return 1;
  }
  std::ostringstream buf;
  buf << in.rdbuf();
  TextView view(SplitViewerText(buf.str()));
  Draw(view);
  // An empty file holds no line, though the view keeps one empty row to show.
  int lines = buf.str().empty() ? 0 : view.count();
  SpeakText(std::to_string(lines) + std::string(lines == 1 ? app_msg::kOneLine : app_msg::kLines));
  WaitSpeech();
  SayCurrent(view);
  for (;;) {
    uint8_t k = ReadKey();
    if (k == kKeyEsc || k == 'q' || k == 'Q' || StopRequested()) break;
    // Every key answers: one the viewer has no use for gives the error beep.
    if (k == 0) {
      if (!HandleExtended(view, ReadKey())) ErrorBeep();
    } else if (k == kKeyEnter) {
      SayCurrent(view);
    } else {
      ErrorBeep();
    }
  }
  StopSpeech();
  return 0;
}

}  // namespace kal
