// The user's decimal separator: the regional settings of the user's account,
// unless the environment names a locale (LC_ALL, LC_NUMERIC, LANG), as
// tests and people used to them do; then its language decides.
#include "1_platform/user_locale.h"

#include <windows.h>

#include <cstdlib>
#include <string>

namespace kal {
namespace {

std::string NamedLocale() {
  for (const char* var : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) return v;
  }
  return "";
}

bool LanguageUsesComma(const std::string& name) {
  static const char* const kComma[] = {"pt", "de", "fr", "es", "it", "nl", "ru", "pl", "cs", "sk",
                                       "sv", "da", "nb", "nn", "no", "fi", "tr", "el", "ro", "hu",
                                       "uk", "bg", "hr", "sl", "sr", "id", "ca", "gl", "eu", "et",
                                       "lv", "lt", "be", "is", "vi", "az", "kk"};
  std::string lang = name.substr(0, name.find_first_of("_.@-"));
  for (const char* c : kComma)
    if (lang == c) return true;
  return false;
}

}  // namespace

char UserDecimalSeparator() {
  std::string named = NamedLocale();
  if (!named.empty()) return LanguageUsesComma(named) ? ',' : '.';
  wchar_t sep[8] = {0};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, sep, 8) == 2 && sep[0] < 0x80)
    return static_cast<char>(sep[0]);
  return '.';
}

}  // namespace kal
