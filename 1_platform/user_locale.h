// The user's regional number settings.
#pragma once

namespace kal {

// The decimal separator of the user's numeric locale (LC_ALL, LC_NUMERIC,
// LANG, in that order): ',' for pt_BR, '.' for C and en_US. The program's own
// C locale is never changed, so number formatting elsewhere stays plain.
char UserDecimalSeparator();

// Whether the user reads Portuguese: the messages locale of the environment
// (LC_ALL, LC_MESSAGES, LANG) is Portuguese, or, on a host whose accounts
// carry a language of their own and with none of those set, that language
// is. The program's spoken messages are Portuguese whatever this says; it
// chooses the language of texts meant for other readers, such as --help.
bool UserReadsPortuguese();

}  // namespace kal
