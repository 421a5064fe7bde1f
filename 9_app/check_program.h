// kaldorin --check: scripts looked at without being run.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace kal {

struct SpeechState;

struct CheckCounts {
  size_t errors = 0;
  size_t warnings = 0;
};

// Writes the findings of each file to `out`, one "FILE:LINE:COLUMN: erro
// [K101]: message" line each ("aviso" for a warning; a file that cannot be
// read is an error at its line 1); the sentence that counts them (UTF-8)
// goes to *said.
CheckCounts CheckFiles(const std::vector<std::string>& files, std::FILE* out, std::string* said);

// The program's --check mode: CheckFiles on standard output, the count also
// on standard error, and spoken when standard output is a terminal; exit
// code 1 when an error was found (or, when strict, a warning too), else 0.
int RunCheckProgram(SpeechState& speech, const std::vector<std::string>& files, const std::string& speech_log,
                    bool strict);

}  // namespace kal
