#include "1_platform/locale_language.h"

#include <cstdlib>
#include <initializer_list>

namespace kal {

namespace {

std::string FirstSet(std::initializer_list<const char*> vars) {
  for (const char* var : vars) {
    const char* v = std::getenv(var);
    if (v && *v) return v;
  }
  return "";
}

}  // namespace

std::string EnvironmentNumericLocale() { return FirstSet({"LC_ALL", "LC_NUMERIC", "LANG"}); }

std::string EnvironmentMessagesLocale() { return FirstSet({"LC_ALL", "LC_MESSAGES", "LANG"}); }

bool LocaleIsPortuguese(const std::string& name) {
  return name.size() >= 2 && name.compare(0, 2, "pt") == 0 &&
         (name.size() == 2 || name.find_first_of("_.@-") == 2);
}

bool LanguageUsesComma(const std::string& name, std::string_view cut) {
  static const char* const kComma[] = {"pt", "de", "fr", "es", "it", "nl", "ru", "pl", "cs", "sk",
                                       "sv", "da", "nb", "nn", "no", "fi", "tr", "el", "ro", "hu",
                                       "uk", "bg", "hr", "sl", "sr", "id", "ca", "gl", "eu", "et",
                                       "lv", "lt", "be", "is", "vi", "az", "kk"};
  std::string lang = name.substr(0, name.find_first_of(cut));
  for (const char* c : kComma)
    if (lang == c) return true;
  return false;
}

}  // namespace kal
