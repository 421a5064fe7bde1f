// Text that is both written on the console and spoken: the console's side
// of the speech facade. These sit above the facade (5_speech) because they
// write to the console; they are also how the layers below get their
// notices to the user (1_platform/user_notice.h).
#pragma once

#include <string_view>

#include "1_platform/user_notice.h"

namespace kal {

void WriteAndSpeak(std::string_view text);
void WriteLineAndSpeak(std::string_view text);
void WriteNumberAndSpeak(long long n);

// The console's notice writer, which the console installs for the layers
// below it.
UserNotice* ConsoleUserNotice();

}  // namespace kal
