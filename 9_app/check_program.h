// kaldorin --check: scripts looked at without being run.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace kal {

// Writes the findings of each file to `out`, one "FILE:LINE:COLUMN:
// message" line each (a file that cannot be read is a finding at its line
// 1); the sentence that counts them (UTF-8) goes to *said. True when
// nothing was found.
bool CheckFiles(const std::vector<std::string>& files, std::FILE* out, std::string* said);

// The program's --check mode: CheckFiles on standard output, the count also
// on standard error and spoken; exit code 0 clean, 1 not.
int RunCheckProgram(const std::vector<std::string>& files, const std::string& speech_log);

}  // namespace kal
