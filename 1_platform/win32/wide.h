// Text at the Windows API: the program's host strings are UTF-8, the API's
// wide calls take UTF-16. These helpers convert, and turn an error code
// into the system's own words.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace kal {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// The system's message for the error code (GetLastError()), one line.
std::string SystemErrorText(DWORD code);

// Quotes one argument of a command line the way the C run-time's parser
// splits it again (backslashes before a quote doubled).
std::wstring QuoteArgument(const std::wstring& arg);

}  // namespace kal
