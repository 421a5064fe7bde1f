// Text that is both written on the console and spoken: the console's side
// of the speech facade. These sit above the facade (5_speech) because they
// write to the console; they are also how the layers below get their
// notices to the user (1_platform/user_notice.h: ConsoleNotice in
// console_state.h).
#pragma once

#include <string_view>

namespace kal {

struct Console;

// Written on the console and spoken with its facade.
void WriteAndSpeak(Console& console, std::string_view text);
void WriteLineAndSpeak(Console& console, std::string_view text);
void WriteNumberAndSpeak(Console& console, long long n);

}  // namespace kal
