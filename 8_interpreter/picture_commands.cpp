// IMAGEM [file [x y]] [&]: the console's picture. Without operands the
// picture goes; with a file (a bitmap, or a JPEG through the temporary
// bitmap) it is shown with its top-left corner at pixel (x, y), 0 0 when
// they are not given. A picture that cannot be shown fails the command,
// unless a trailing '&' asks to go on without it.
#include <string>

#include "6_console/console_picture.h"
#include "8_interpreter/commands.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/run_context.h"
#include "8_interpreter/state.h"

namespace kal {

namespace {

bool ReadCoordinate(InterpreterState& in, std::string_view* args, int32_t* value) {
  std::string text;
  return ReadOperand(in, args, &text) && ParseNumber(TrimBlanks(text), value);
}

}  // namespace

bool CmdImagem(InterpreterState& in, std::string_view args) {
  args = TrimBlanks(args);
  if (args.empty()) {
    RemovePicture(in.context->console);
    return true;
  }
  bool go_on = TakeTrailingAmpersand(&args);
  std::string name;
  if (!ReadOperand(in, &args, &name)) return false;
  int32_t x = 0, y = 0;
  if (!TrimBlanks(args).empty()) {
    if (!ReadCoordinate(in, &args, &x) || !ReadCoordinate(in, &args, &y) || !TrimBlanks(args).empty()) return false;
  }
  RemovePicture(in.context->console);
  std::string file(TrimBlanks(name));
  if (!file.empty() && !ShowPictureFile(in.context->console, file, x, y)) return go_on;
  return true;
}

}  // namespace kal
