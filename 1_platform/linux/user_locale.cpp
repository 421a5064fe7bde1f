// The user's decimal separator, taken from the locale the environment names.
// When that locale is not installed on this machine its language decides:
// the languages below write decimals with a comma.
#include "1_platform/user_locale.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace kal {
namespace {

std::string NumericLocaleName() {
  for (const char* var : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) return v;
  }
  return "C";
}

bool LanguageUsesComma(const std::string& name) {
  static const char* const kComma[] = {"pt", "de", "fr", "es", "it", "nl", "ru", "pl", "cs", "sk",
                                       "sv", "da", "nb", "nn", "no", "fi", "tr", "el", "ro", "hu",
                                       "uk", "bg", "hr", "sl", "sr", "id", "ca", "gl", "eu", "et",
                                       "lv", "lt", "be", "is", "vi", "az", "kk"};
  std::string lang = name.substr(0, name.find_first_of("_.@"));
  for (const char* c : kComma)
    if (lang == c) return true;
  return false;
}

}  // namespace

char UserDecimalSeparator() {
  std::string name = NumericLocaleName();
  if (locale_t loc = newlocale(LC_NUMERIC_MASK, name.c_str(), nullptr)) {
    const char* radix = nl_langinfo_l(RADIXCHAR, loc);
    char sep = radix && std::strlen(radix) == 1 ? radix[0] : '.';
    freelocale(loc);
    return sep;
  }
  return LanguageUsesComma(name) ? ',' : '.';
}

}  // namespace kal
