// Placeholder line execution until the scanner and dispatcher land: blank,
// comment and label lines pass; ESCREVE writes a quoted text; anything else
// is an invalid command.
#include "console/console.h"
#include "console/latin1.h"
#include "console/speech.h"
#include "interpreter/interpreter.h"
#include "interpreter/state.h"

namespace kal {

bool ExecuteLine(std::string_view text, bool nested) {
  size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32) --e;
  std::string_view line = text.substr(b, e - b);
  bool ok = true;
  if (line.empty() || line[0] == '*' || line[0] == '@') {
    ok = true;
  } else {
    size_t sp = line.find(' ');
    std::string word = UpperCaseText(line.substr(0, sp));
    std::string_view rest = sp == std::string_view::npos ? std::string_view() : line.substr(sp + 1);
    if (word == "ESCREVE" && rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') {
      WriteLineAndSpeak(rest.substr(1, rest.size() - 2));
    } else {
      WriteLineAndSpeak(L1("Comando inválido: ") + word);
      ok = false;
    }
  }
  Interp().error = !ok;
  return ok;
}

}  // namespace kal
