// Command-line options of the kaldorin program.
#pragma once

#include <string>
#include <vector>

namespace kal {

struct Options {
  bool headless = false;
  bool window = false;  // --window: the console as a window of its own
  std::string speech_log;
  std::string braille_log;          // --braille-log: every row sent to braille
  std::string script;               // empty: the embedded application
  std::vector<std::string> params;  // what SEJA ... PARAMS reports
  bool help = false;
  bool version = false;  // --version: the program's name and version
  std::string view_file;  // --view: the speaking text viewer on this file
  bool phonemes = false;   // --phonemes: the Orvan word-to-phoneme tool
  std::string orvan_dir;   // --orvan-dir: data folder for --phonemes
  bool lsp = false;        // --lsp: the language server on standard input and output
  bool check = false;      // --check: the script and the words after it are files to check
  bool strict = false;     // --strict: with --check, a warning fails the check as an error does
};

// Options come before the script name; everything after it is a parameter.
bool ParseOptions(int argc, char** argv, Options* opts, std::string* err);
// The usage text, in Portuguese or in English (for a user whose locale is
// not Portuguese).
const char* UsageText(bool portuguese);
// "kaldorin 0.9.0" and a line end.
const char* VersionText();

}  // namespace kal
