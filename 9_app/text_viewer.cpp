#include "9_app/text_viewer.h"

#include <algorithm>

#include "0_base/console_grid.h"
#include "0_base/keys.h"
#include "0_base/latin1.h"
#include "1_platform/file_read_reason.h"
#include "1_platform/paths.h"
#include "1_platform/pump.h"
#include "1_platform/stop_request.h"
#include "5_speech/speech.h"
#include "5_speech/speech_state.h"
#include "6_console/clipboard.h"
#include "6_console/console.h"
#include "6_console/console_state.h"
#include "6_console/key_decoder.h"
#include "6_console/screen_review.h"
#include "6_console/write_and_speak.h"
#include "9_app/app_messages.h"
#include "9_app/embedded_script.h"
#include "9_app/line_address.h"
#include "9_app/station_player.h"
#include "9_app/station_stream.h"

namespace kal {

namespace {

constexpr int kPage = ConsoleGrid::kHeight - 1;
// Ctrl+F3 and Ctrl+F5 are not named in the key catalogue.
constexpr uint8_t kKeyCtrlF3 = kKeyF3 + kCtrlFOffset;
constexpr uint8_t kKeyCtrlF5 = kKeyF5 + kCtrlFOffset;
// How often the player's news are looked at while no key comes.
constexpr int kPlayerPollMs = 50;
constexpr int kVolumeStep = 10;

// What is said for a line: "linha vazia" for an empty one, so that it is
// heard as such; web addresses in their short form.
std::string Spoken(const std::string& line) {
  if (IsBlankLine(line)) return L1(app_msg::kEmptyLine);
  return SpokenLine(line);
}

// Shows a screen of lines from the current one on, the current line on the
// top row and the cursor at the view's column. Rows are written as lines,
// so that a run without a terminal shows them as lines too; the last row
// gets no line end, which would scroll the screen.
void Draw(Console& console, const TextView& view) {
  ClearScreen(console);
  int last = std::min(view.count(), view.current() + ConsoleGrid::kHeight - 1);
  for (int i = view.current(); i < last; ++i) {
    ConsoleWrite(console, view.Line(i).substr(0, ConsoleGrid::kWidth - 1));
    ConsoleWrite(console, "\r\n");
  }
  GotoXY(console, std::min(view.column(), ConsoleGrid::kWidth), 1);
}

void SayCurrent(SpeechState& speech, const TextView& view) {
  StopSpeech(speech);
  SpeakText(speech, Spoken(view.CurrentLine()));
}

// The address the address keys work on: the current line's, else the one
// of the block (station) that holds the current line; "" when neither has.
std::string ViewAddress(const TextView& view) {
  std::string address = FindAddress(view.CurrentLine());
  int first, last;
  if (address.empty() && view.CurrentBlock(&first, &last))
    for (int i = first; i <= last && address.empty(); ++i) address = FindAddress(view.Line(i));
  return address;
}

void SayAddress(SpeechState& speech, const TextView& view, bool whole) {
  std::string address = ViewAddress(view);
  if (address.empty()) {
    SpeakText(speech, L1(app_msg::kNoAddress));
    return;
  }
  SpeakText(speech, whole ? address : CompactAddress(address));
}

void SayPosition(SpeechState& speech, const TextView& view) {
  SpeakText(speech, std::to_string(view.current() + 1) + " " + std::to_string(view.column()));
}

// F5 asks for a text, Ctrl+F5 looks for the same text again; as in screen
// review, a click when found (then the line is read) and two error beeps
// when not.
void Search(Console& console, TextView& view, bool ask) {
  SpeechState& speech = console.speech;
  std::string text;
  if (!TakeSearchText(console, ask, &text)) return;
  bool found = view.FindNext(text);
  AnswerSearch(speech, found);
  if (!found) return;
  Draw(console, view);
  SpeakText(speech, Spoken(view.CurrentLine()));
}

// The station's name as it is announced: the first line of its block
// without the report's number ("3. Rádio X" gives "Rádio X"); a line that is
// itself the address gives its short form.
std::string StationName(const TextView& view, const std::string& address) {
  int first, last;
  std::string name = view.CurrentBlock(&first, &last) ? view.Line(first) : view.CurrentLine();
  if (!FindAddress(name).empty()) return CompactAddress(address);
  size_t i = 0;
  while (i < name.size() && name[i] >= '0' && name[i] <= '9') ++i;
  if (i > 0 && i < name.size() && name[i] == '.') name.erase(0, name.find_first_not_of(' ', i + 1));
  return IsBlankLine(name) ? CompactAddress(address) : name;
}

// The address the player gets for one of the report: a station page of the
// directory site is followed to its stream. "" (after saying why) when
// there is nothing to play.
std::string StreamToPlay(SpeechState& speech, Network& network, const std::string& address) {
  if (!IsStationPage(address, ConfiguredStationPrefix(speech.config))) return address;
  SpeakText(speech, L1(app_msg::kLookingForStream));
  std::string stream;
  switch (FollowStationPage(network, address, &stream)) {
    case StreamLookup::kFound: return stream;
    case StreamLookup::kNotOnPage: SpeakText(speech, L1(app_msg::kNoStreamOnPage)); break;
    case StreamLookup::kNotFetched: SpeakText(speech, L1(app_msg::kPageNotFetched)); break;
    case StreamLookup::kStopped: break;
  }
  return "";
}

// Enter: the station of the current line (or block) is played.
void Listen(SpeechState& speech, Network& network, const TextView& view, StationPlayer& player) {
  std::string address = ViewAddress(view);
  if (address.empty()) {
    SpeakText(speech, L1(app_msg::kNoAddressToPlay));
    return;
  }
  std::string stream = StreamToPlay(speech, network, address);
  if (stream.empty()) return;
  StopSpeech(speech);
  if (!IsPlayableAddress(stream)) {
    SpeakText(speech, L1(app_msg::kAddressRefused));
    return;
  }
  player.Play(stream, StationName(view, stream));
}

void ChangeVolume(SpeechState& speech, StationPlayer& player, int step) {
  if (!player.ChangeVolume(step)) ErrorBeep(speech);
}

// A key that moves to another line: the screen follows and the line is
// read; at the edge an error beep, and the line is read again.
void MoveAndRead(Console& console, TextView& view, bool moved) {
  SpeechState& speech = console.speech;
  if (!moved) ErrorBeep(speech);
  Draw(console, view);
  SayCurrent(speech, view);
}

// Left and Right: the character is said, as in screen review.
void MoveInLine(Console& console, TextView& view, bool right) {
  SpeechState& speech = console.speech;
  char c = view.CharAtColumn();
  bool moved = right ? view.Right() : view.Left();
  if (!moved) {
    ErrorBeep(speech);
    return;
  }
  GotoXY(console, std::min(view.column(), ConsoleGrid::kWidth), 1);
  SpeakChar(speech, static_cast<uint8_t>(right ? c : view.CharAtColumn()));
}

void HandleExtended(Console& console, TextView& view, uint8_t scan) {
  SpeechState& speech = console.speech;
  switch (scan) {
    case kKeyUp: return MoveAndRead(console, view, view.Move(-1));
    case kKeyDown: return MoveAndRead(console, view, view.Move(1));
    case kKeyPgUp: return MoveAndRead(console, view, view.Move(-kPage));
    case kKeyPgDn: return MoveAndRead(console, view, view.Move(kPage));
    case kKeyHome:
    case kKeyCtrlHome: return MoveAndRead(console, view, view.First());
    case kKeyEnd:
    case kKeyCtrlEnd: return MoveAndRead(console, view, view.Last());
    case kKeyCtrlUp: return MoveAndRead(console, view, view.PreviousBlock());
    case kKeyCtrlDown: return MoveAndRead(console, view, view.NextBlock());
    case kKeyLeft: return MoveInLine(console, view, false);
    case kKeyRight: return MoveInLine(console, view, true);
    case kKeyF1: return SayCurrent(speech, view);
    case kKeyF2: return SpellText(speech, view.CurrentLine());
    case kKeyF3: return SayAddress(speech, view, false);
    case kKeyCtrlF3: return SayAddress(speech, view, true);
    case kKeyF5: return Search(console, view, true);
    case kKeyCtrlF5: return Search(console, view, false);
    case kKeyCtrlIns:
      CopyToClipboard(console, view.CurrentLine());
      return SpeakText(speech, L1(app_msg::kLineCopied));
    default: ErrorBeep(speech);
  }
}

// One-byte keys; false when the key ends the viewer. While a station plays
// Esc stops it (the next Esc leaves) and Space pauses it.
bool HandleKey(Console& console, Network& network, TextView& view, StationPlayer& player, uint8_t k,
               uint8_t mods) {
  SpeechState& speech = console.speech;
  switch (k) {
    case kKeyEsc:
      if (!player.Active()) return false;
      player.Stop(true);
      break;
    case 'q':
    case 'Q': return false;
    case kKeyEnter: Listen(speech, network, view, player); break;
    case ' ':
      if (!player.TogglePause()) SayCurrent(speech, view);
      break;
    case '+':
    case '=': ChangeVolume(speech, player, kVolumeStep); break;
    case '-': ChangeVolume(speech, player, -kVolumeStep); break;
    case kKeyTab: MoveAndRead(console, view, mods & kModShift ? view.PreviousBlock() : view.NextBlock()); break;
    case kKeyCtrlC: HandleExtended(console, view, kKeyCtrlIns); break;
    case kKeyCtrlK: SayPosition(speech, view); break;
    default: ErrorBeep(speech);
  }
  return true;
}

// The next key; while a station plays, the player's news are said as they
// come in between keys.
uint8_t NextKey(Platform& platform, StationPlayer& player) {
  while (player.Active() && !KeyPressed(platform) && !StopRequested(platform)) {
    player.Service();
    if (player.Active()) Delay(platform, kPlayerPollMs);
  }
  return ReadKey(platform);
}

}  // namespace

int RunTextViewer(Console& console, Network& network, const std::string& path, StationPlayer& player) {
  SpeechState& speech = console.speech;
  std::string text;
  ReadBounds bounds;
  bounds.max_bytes = kMaxViewedBytes;
  bounds.max_lines = kMaxViewedLines;
  FileRead result = ReadHostFileWithin(path, bounds, &text);
  if (result != FileRead::kRead) {
    WriteLineAndSpeak(console, L1(std::string(app_msg::kCannotOpenFile) + path + ": " + FileReadReason(result, bounds)));
    WaitSpeech(speech);
    return 1;
  }
  TextView view(SplitViewerText(text));
  Draw(console, view);
  // An empty file holds no line, though the view keeps one empty row to show.
  int lines = text.empty() ? 0 : view.count();
  SpeakText(speech, std::to_string(lines) + std::string(lines == 1 ? app_msg::kOneLine : app_msg::kLines));
  WaitSpeech(speech);
  SayCurrent(speech, view);
  for (;;) {
    uint8_t k = NextKey(console.platform, player);
    if (StopRequested(console.platform)) break;
    uint8_t mods = LastKeyModifiers(console);
    if (k == 0) {
      uint8_t scan = ReadKey(console.platform);
      if (StopRequested(console.platform)) break;
      StopSpeech(speech);
      HandleExtended(console, view, scan);
    } else {
      StopSpeech(speech);
      if (!HandleKey(console, network, view, player, k, mods)) break;
    }
  }
  StopSpeech(speech);
  player.Stop(false);  // leaving the viewer never leaves a station playing
  return 0;
}

}  // namespace kal
