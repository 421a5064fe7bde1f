// The file commands' state.
#include "8_interpreter/file_state.h"

namespace kal {

FileState& Files() {
  static FileState s;
  return s;
}

void ResetFileState() {
  auto& s = Files();
  if (s.binary) std::fclose(s.binary);
  s = FileState();
}

}  // namespace kal
