// Saying the interpreter's messages.
#include "interpreter/messages.h"

#include <string>

#include "console/latin1.h"
#include "console/speech.h"

namespace kal {

void SayLine(std::string_view utf8_message, std::string_view latin1_tail) {
  std::string text = L1(utf8_message);
  text.append(latin1_tail);
  WriteLineAndSpeak(text);
}

}  // namespace kal
