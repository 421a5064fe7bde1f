// The user's regional number settings.
#pragma once

namespace kal {

// The decimal separator of the user's numeric locale (LC_ALL, LC_NUMERIC,
// LANG, in that order): ',' for pt_BR, '.' for C and en_US. The program's own
// C locale is never changed, so number formatting elsewhere stays plain.
char UserDecimalSeparator();

}  // namespace kal
