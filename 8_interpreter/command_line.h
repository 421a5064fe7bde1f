// Taking apart the command lines that scripts hand to EXECUTA: the program
// and its parameters as the script wrote them, the parameters split into
// arguments by the rules Windows programs use to read their command line,
// and the test for an argument that is a Windows path.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kal {

struct ProgramAndParams {
  std::string program;
  std::string params;
};

// A leading double quote encloses the program (without a closing quote the
// rest is the program); the parameters after a quoted program are trimmed.
// Otherwise the program ends at the first blank and the parameters are the
// rest as written. The parameters are cut at kMaxParams characters.
constexpr size_t kMaxParams = 999;
ProgramAndParams SplitCommandLine(std::string_view command_line);

// Splits parameters into arguments: blanks and tabs separate arguments
// outside double quotes; a double quote opens or closes a quoted stretch
// (so --a="b c" gives --a=b c); inside a quoted stretch "" gives one quote;
// 2n backslashes before a quote give n backslashes, 2n+1 give n and a
// literal quote; other backslashes are literal.
std::vector<std::string> SplitArguments(std::string_view params);

// True for an argument that may name a Windows path: it begins with a drive
// letter and a colon, or holds a backslash, and it is not an address
// (no "://"). Whether a relative one really names a file is for the caller
// to find out.
bool IsWindowsPathArgument(std::string_view arg);

// True for an argument that begins with a drive letter and a colon.
bool IsDrivePathArgument(std::string_view arg);

}  // namespace kal
