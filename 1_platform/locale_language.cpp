#include "1_platform/locale_language.h"

#include <cstdlib>

namespace kal {

std::string EnvironmentNumericLocale() {
  for (const char* var : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) return v;
  }
  return "";
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
