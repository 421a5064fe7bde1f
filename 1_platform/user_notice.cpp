#include "1_platform/user_notice.h"

#include <cstdio>

namespace kal {

namespace {

UserNotice*& Notice() {
  static UserNotice* notice = nullptr;
  return notice;
}

void ToStandardError(std::string_view line) {
  std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
}

}  // namespace

void SetUserNotice(UserNotice* notice) { Notice() = notice; }

void WriteNoticeLine(std::string_view line) {
  if (Notice()) Notice()->WriteLine(line);
  else ToStandardError(line);
}

void AnnounceNotice(std::string_view line) {
  if (Notice()) Notice()->Announce(line);
  else ToStandardError(line);
}

}  // namespace kal
