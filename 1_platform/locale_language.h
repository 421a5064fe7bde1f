// What both hosts read the same way when they look for the user's decimal
// separator (user_locale.h): the locale the environment names, and which
// languages write decimals with a comma.
#pragma once

#include <string>
#include <string_view>

namespace kal {

// The locale the environment names for numbers: the first of LC_ALL,
// LC_NUMERIC and LANG that is set and not empty; "" when none is.
std::string EnvironmentNumericLocale();

// The locale the environment names for messages: the first of LC_ALL,
// LC_MESSAGES and LANG that is set and not empty; "" when none is.
std::string EnvironmentMessagesLocale();

// True when the locale name is of the Portuguese language ("pt_BR.UTF-8",
// "pt-BR", "pt").
bool LocaleIsPortuguese(const std::string& name);

// True when the language of a locale name (the name up to the first of the
// bytes in cut) writes decimals with a comma.
bool LanguageUsesComma(const std::string& name, std::string_view cut);

}  // namespace kal
