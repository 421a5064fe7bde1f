// Saying the interpreter's messages.
#include "8_interpreter/messages.h"

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
  WriteLineAndSpeak(in.context->speech, text);
}

}  // namespace kal
