// Lines for the user from the layers below the console.
//
// The wave player reports a device's complaint and that there is no sound;
// the speech facade reports a word voice that cannot start. What the user
// sees is the console's, above them, so the console implements UserNotice
// and installs it here. Without one, lines go to standard error.
#pragma once

#include <string_view>

namespace kal {

struct Platform;

class UserNotice {
 public:
  virtual ~UserNotice() = default;
  // The line at the cursor, then CR LF.
  virtual void WriteLine(std::string_view line) = 0;
  // The line on a line of its own (a fresh line is begun when the cursor is
  // not in the first column), written and then spoken. The speech is posted
  // to the event loop, since this may run in the middle of speaking.
  virtual void Announce(std::string_view line) = 0;
};

// Installs the notice writer in the platform state (nullptr: standard error).
void SetUserNotice(Platform& platform, UserNotice* notice);

void WriteNoticeLine(Platform& platform, std::string_view line);
void AnnounceNotice(Platform& platform, std::string_view line);

}  // namespace kal
