#include "1_platform/user_notice.h"

#include <cstdio>

#include "1_platform/platform.h"

namespace kal {
namespace {

UserNotice* Notice() {
  Platform* p = InstalledPlatform();
  return p ? p->notice : nullptr;
}

void ToStandardError(std::string_view line) {
  std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
}

}  // namespace

void SetUserNotice(UserNotice* notice) {
  if (Platform* p = InstalledPlatform()) p->notice = notice;
}

void WriteNoticeLine(std::string_view line) {
  if (UserNotice* n = Notice()) n->WriteLine(line);
  else ToStandardError(line);
}

void AnnounceNotice(std::string_view line) {
  if (UserNotice* n = Notice()) n->Announce(line);
  else ToStandardError(line);
}

}  // namespace kal
