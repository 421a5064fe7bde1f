// What a script test file expects, read from its own comment lines.
//
// A script test is a KALDORIN script whose comment lines (lines starting
// with '*') that begin with a known word say what to type and what must
// come out. The words:
//
//   * expect: TEXT          a console line (in order; all lines are compared,
//                           so a file with none expects no console output)
//   * expect unended: TEXT  console text at the very end with no line end
//   * expect speech: TEXT   a speech-log line (in order); with at least one of
//                           these, or "* expect no speech", the whole log is
//                           compared, otherwise it is not looked at
//   * expect no speech      the run speaks nothing at all
//   * expect exit: N        the run ends with exit code N (without this and
//                           without an error line, it must end normally)
//   * expect error line N   the run fails at script line N (the file's own
//                           numbering, comment lines counted)
//   * keys: KEYS            keys typed at the keyboard (lines add up); without
//                           any keys line, one Enter is typed
//   * params: A B "C D"     the script's parameters (blanks separate them,
//                           double quotes keep blanks inside one)
//
// TEXT runs to the end of the line after the one blank that follows the
// colon; blanks at its end count. Other comment lines are plain comments,
// but a line starting "* expect", "* key" or "* param" that does not parse
// is an error in the test file, so that a misspelt expectation never checks
// nothing.
//
// KEYS are typed as written (UTF-8 or Latin-1, as the file), except for
// names in braces: {Enter} {Esc} {Tab} {Backspace} {Space} {Up} {Down}
// {Left} {Right} {Home} {End} {PgUp} {PgDn} {Ins} {Del} {F1}..{F12},
// {xHH} for one raw byte given in hex, and {{} for a left brace. Extended
// keys are typed as the zero byte and PC scan code that standard input
// carries for them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kal::test {

struct ScriptExpectations {
  std::string console;                // expected console text (UTF-8)
  std::vector<std::string> speech;    // expected speech-log lines (UTF-8)
  bool check_speech = false;
  std::optional<int> exit_code;
  std::optional<int> error_line;
  std::string keys;                   // raw key bytes (UTF-8 text as typed)
  std::vector<std::string> params;    // Latin-1, as the script reads them
};

// Reads the expectations from the script's lines (Latin-1, as the script
// loader gives them). Fails with a message naming the line on a malformed
// expectation.
bool ParseExpectations(const std::vector<std::string>& lines, ScriptExpectations* out,
                       std::string* err);

// Turns the key notation into the bytes typed. Fails on an unknown name.
bool DecodeKeys(std::string_view notation, std::string* keys, std::string* err);

}  // namespace kal::test
