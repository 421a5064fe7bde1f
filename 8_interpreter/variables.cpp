// The variable table and the name list of named variables.
#include "8_interpreter/variables.h"

#include "8_interpreter/messages.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/state.h"

namespace kal {

size_t NameLength(std::string_view text) {
  size_t n = 0;
  while (n < text.size() && IsNameChar(static_cast<unsigned char>(text[n]))) ++n;
  return n;
}

bool LookupName(InterpreterState& in, std::string_view name, int* slot) {
  auto& s = in;
  std::string upper(name);
  for (auto& ch : upper)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 0x20);
  auto it = s.name_slots.find(upper);
  if (it != s.name_slots.end()) {
    *slot = it->second;
    return true;
  }
  if (static_cast<int>(s.names.size()) >= kMaxNamedVariables)
    return Fail(in, CheckCode::kTooManyNames, std::string(kMsgTooManyVariables));
  *slot = kLetterVariables + 1 + static_cast<int>(s.names.size());
  s.names.push_back(upper);
  s.name_slots.emplace(std::move(upper), *slot);
  return true;
}

void WriteOutNumber(InterpreterState& in, int slot) {
  auto& s = in;
  size_t i = static_cast<size_t>(slot);
  s.var_is_number[i] = false;
  s.var_text[i].clear();
  AppendNumber(&s.var_text[i], s.var_number[i]);
}

bool ValueSizeOk(InterpreterState& in, size_t size) {
  if (size <= in.limits.max_value_size) return true;
  return Fail(in, RunFault::kLimitReached, std::string(kMsgTextTooLong));
}


}  // namespace kal
