// kaldorin --lsp: a language server for editors, over standard input and
// output. Diagnostics come from the script check on every opened or
// changed script (full text); hover, completion and signature help come
// from the table of command help and the language reference carried in the
// program; definition, references, rename and the outline follow labels,
// $names and blocks; formatting indents blocks, and quick fixes close an
// open block, correct a misspelt command word or create a missing label.
// Positions are counted in UTF-16 units, as the protocol counts them.
#pragma once

#include <istream>
#include <ostream>

namespace kal {

// Serves until "exit" or the end of input: exit code 0 after a shutdown
// request, 1 otherwise (and when the program was built without JSON).
int RunLanguageServer(std::istream& in, std::ostream& out);

}  // namespace kal
