// Text that is both written on the console and spoken: the console's side
// of the speech facade. These sit above the facade (5_speech) because they
// write to the console; they are also how the layers below get their
// notices to the user (1_platform/user_notice.h: ConsoleNotice in
// console_state.h).
#pragma once

#include <string_view>

namespace kal {

struct SpeechState;

// Written on the installed console and spoken with the given facade.
void WriteAndSpeak(SpeechState& speech, std::string_view text);
void WriteLineAndSpeak(SpeechState& speech, std::string_view text);
void WriteNumberAndSpeak(SpeechState& speech, long long n);

}  // namespace kal
