// Saying the interpreter's messages.
#include "8_interpreter/messages.h"

#include <initializer_list>
#include <string>

#include "0_base/latin1.h"
#include "5_speech/speech.h"
#include "6_console/write_and_speak.h"
#include "8_interpreter/run_context.h"
#include "8_interpreter/state.h"

namespace kal {

void SayLine(InterpreterState& in, std::string_view utf8_message, std::string_view latin1_tail) {
  std::string text = L1(utf8_message);
  text.append(latin1_tail);
  WriteLineAndSpeak(in.context->console, text);
}

// The message with {0}, {1}, ... replaced by the values in that order.
std::string Filled(std::string_view message, std::initializer_list<std::string_view> values) {
  std::string out;
  for (size_t i = 0; i < message.size(); ++i) {
    if (message[i] == '{' && i + 2 < message.size() && message[i + 2] == '}') {
      size_t n = static_cast<size_t>(message[i + 1] - '0');
      if (n < values.size()) {
        out.append(values.begin()[n]);
        i += 2;
        continue;
      }
    }
    out += message[i];
  }
  return out;
}

}  // namespace kal
