// CONCATENA, COPIA, DELETA and SUBSTITUI: joining and cutting texts (the
// rules of CONCATENA and COPIA are in line_rules.h).
// Positions are 1-based bytes; out-of-range positions clip instead of
// failing, as scripts that cut fields out of pages rely on.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "8_interpreter/commands.h"
#include "8_interpreter/line_code.h"
#include "8_interpreter/line_rules.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"

namespace kal {

namespace {

// An operand whose value, trimmed, satisfies the numeric rule.
bool ReadTrimmedNumber(InterpreterState& in, std::string_view* args, int32_t* n) { return ReadNumberOperand(in, args, true, n); }

// A text built from its right end: bytes are put in front of what is
// there, and the front may be dropped, each at the cost of its own length.
// The bytes sit at the end of the buffer; the room before them doubles
// when it runs out.
class FrontBuilder {
 public:
  explicit FrontBuilder(size_t room) : buf_(room, '\0'), front_(room) {}

  void Put(const char* bytes, size_t n) {
    if (n > front_) Grow(n);
    front_ -= n;
    std::memcpy(&buf_[front_], bytes, n);
  }
  void Drop(size_t n) { front_ += n; }
  bool StartsWith(const char* bytes, size_t n) const {
    return buf_.size() - front_ >= n && std::memcmp(buf_.data() + front_, bytes, n) == 0;
  }
  std::string Take() {
    buf_.erase(0, front_);
    return std::move(buf_);
  }

 private:
  void Grow(size_t n) {
    size_t used = buf_.size() - front_;
    size_t size = std::max(buf_.size() * 2, used + n);
    std::string bigger(size, '\0');
    std::memcpy(&bigger[size - used], buf_.data() + front_, used);
    buf_.swap(bigger);
    front_ = size - used;
  }

  std::string buf_;
  size_t front_;  // the text is buf_[front_, end)
};

// With an empty old text every position matches once: the replacement
// before every byte and after the last.
std::string ReplaceEmpty(const std::string& text, const std::string& repl) {
  std::string out;
  out.reserve(text.size() + repl.size() * (text.size() + 1));
  for (char c : text) {
    out += repl;
    out += c;
  }
  return out += repl;
}

// Replaces every occurrence of old in text, scanning positions from the
// right once; each comparison sees the text as already changed to its
// right, so a replacement may take part in a match further left. A
// position can match only where its own byte is old's first one, so the
// runs of other bytes go over whole.
std::string ReplaceFromRight(const std::string& text, const std::string& old, const std::string& repl) {
  size_t len = old.size();
  if (len > text.size()) return text;
  if (len == 0) return ReplaceEmpty(text, repl);
  std::string_view source(text);
  size_t p = text.size() - len + 1;  // positions below p are still to compare
  FrontBuilder right(text.size() + 16);
  right.Put(text.data() + p, len - 1);  // the window's tail at the first position
  while (p > 0) {
    size_t q = source.substr(0, p).rfind(old[0]);
    if (q == std::string_view::npos) q = 0;
    right.Put(text.data() + q + 1, p - q - 1);
    if (text[q] == old[0] && right.StartsWith(old.data() + 1, len - 1)) {
      right.Drop(len - 1);
      right.Put(repl.data(), repl.size());
    } else {
      right.Put(text.data() + q, 1);
    }
    p = q;
  }
  return right.Take();
}

}  // namespace

// Decoded and run as stored lines are (line_code.h).
bool CmdConcatena(InterpreterState& in, std::string_view args) { return RunLineFromText(in, "CONCATENA", args); }
bool CmdCopia(InterpreterState& in, std::string_view args) { return RunLineFromText(in, "COPIA", args); }

bool CmdDeleta(InterpreterState& in, std::string_view args) {
  int slot;
  int32_t pos, count;
  if (!ReadVariableRef(in, &args, &slot) || !ReadTrimmedNumber(in, &args, &pos) || !ReadTrimmedNumber(in, &args, &count))
    return false;
  std::string& var = Var(in, slot);
  if (pos >= 1 && static_cast<size_t>(pos) <= var.size() && count >= 1)
    var.erase(static_cast<size_t>(pos - 1), static_cast<size_t>(count));
  return true;
}

bool CmdSubstitui(InterpreterState& in, std::string_view args) {
  int slot;
  std::string old, repl;
  if (!ReadVariableRef(in, &args, &slot) || !ReadOperand(in, &args, &old) || !ReadOperand(in, &args, &repl)) return false;
  std::string& var = Var(in, slot);
  // Worst case every position takes the replacement.
  if (repl.size() > old.size()) {
    size_t positions = var.size() - std::min(var.size(), old.size()) + 1;
    size_t growth = (repl.size() - old.size()) * positions;
    if (positions > 0 && growth / positions != repl.size() - old.size()) return ValueSizeOk(in, SIZE_MAX);
    if (!ValueSizeOk(in, var.size() + growth)) return false;
  }
  var = ReplaceFromRight(var, old, repl);
  return true;
}

}  // namespace kal
