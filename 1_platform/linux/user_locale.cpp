// The user's decimal separator, taken from the locale the environment names.
// When that locale is not installed on this machine its language decides
// (locale_language.h).
#include "1_platform/user_locale.h"

#include <langinfo.h>
#include <locale.h>

#include <cstring>
#include <string>

#include "1_platform/locale_language.h"

namespace kal {

char UserDecimalSeparator() {
  const std::string named = EnvironmentNumericLocale();
  const std::string name = named.empty() ? std::string("C") : named;
  if (locale_t loc = newlocale(LC_NUMERIC_MASK, name.c_str(), nullptr)) {
    const char* radix = nl_langinfo_l(RADIXCHAR, loc);
    char sep = radix && std::strlen(radix) == 1 ? radix[0] : '.';
    freelocale(loc);
    return sep;
  }
  return LanguageUsesComma(name, "_.@") ? ',' : '.';
}

bool UserReadsPortuguese() { return LocaleIsPortuguese(EnvironmentMessagesLocale()); }

}  // namespace kal
