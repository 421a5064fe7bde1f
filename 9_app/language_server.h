// kaldorin --lsp: a language server for editors, over standard input and
// output. Diagnostics come from the script check on every opened or
// changed script (full text), hover shows the language reference's section
// of the command word under the cursor (the reference is carried in the
// program, generated from docs/language.md at build time, so that hover
// matches the program it runs with), completion offers command words and
// the script's labels and $names, and definition goes to a label's line.
#pragma once

#include <istream>
#include <ostream>

namespace kal {

// Serves until "exit" or the end of input: exit code 0 after a shutdown
// request, 1 otherwise (and when the program was built without JSON).
int RunLanguageServer(std::istream& in, std::ostream& out);

}  // namespace kal
