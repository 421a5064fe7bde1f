#include "1_platform/user_notice.h"

#include <cstdio>

#include "1_platform/platform.h"

namespace kal {
namespace {

void ToStandardError(std::string_view line) {
  std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
}

}  // namespace

void SetUserNotice(Platform& p, UserNotice* notice) { p.notice = notice; }

void WriteNoticeLine(Platform& p, std::string_view line) {
  if (p.notice) p.notice->WriteLine(line);
  else ToStandardError(line);
}

void AnnounceNotice(Platform& p, std::string_view line) {
  if (p.notice) p.notice->Announce(line);
  else ToStandardError(line);
}

}  // namespace kal
