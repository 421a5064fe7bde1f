// The user's decimal separator: the regional settings of the user's account,
// unless the environment names a locale (LC_ALL, LC_NUMERIC, LANG), as
// tests and people used to them do; then its language decides
// (locale_language.h).
#include "1_platform/user_locale.h"

#include <windows.h>

#include <string>

#include "1_platform/locale_language.h"

namespace kal {

char UserDecimalSeparator() {
  std::string named = EnvironmentNumericLocale();
  if (!named.empty()) return LanguageUsesComma(named, "_.@-") ? ',' : '.';
  wchar_t sep[8] = {0};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, sep, 8) == 2 && sep[0] < 0x80)
    return static_cast<char>(sep[0]);
  return '.';
}

bool UserReadsPortuguese() {
  std::string named = EnvironmentMessagesLocale();
  if (!named.empty()) return LocaleIsPortuguese(named);
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_PORTUGUESE;
}

}  // namespace kal
