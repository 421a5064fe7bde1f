// Conditions of SE and ENQUANTO: [NAO|NÃO] left operator right [rest].
// Ordered comparisons work on the comparison form (upper-cased, digit runs
// padded to 21 places), so 10 > 9 while -1 < -10 compares as text.
#include <cstring>

#include "8_interpreter/conditions.h"
#include "8_interpreter/fail_reason.h"
#include "8_interpreter/line_code.h"
#include "8_interpreter/lists.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/operands.h"

namespace kal {

namespace {

bool AllDigits(std::string_view t) {
  for (char c : t)
    if (c < '0' || c > '9') return false;
  return true;
}

unsigned char Upper(unsigned char c) {
  return ((c >= 'a' && c <= 'z') || c >= 0xE0) ? static_cast<unsigned char>(c - 0x20) : c;
}

// The comparison form of a value, built without allocating for short
// numbers and for texts that need no upper-casing.
class ComparisonForm {
 public:
  explicit ComparisonForm(std::string_view raw) {
    bool digits = true, needs_upper = false;
    for (char ch : raw) {
      unsigned char c = static_cast<unsigned char>(ch);
      digits = digits && c >= '0' && c <= '9';
      if ((c >= 'a' && c <= 'z') || c >= 0xE0) {
        needs_upper = true;
        break;
      }
    }
    if (needs_upper) {
      upper_.assign(raw);
      for (auto& c : upper_) c = static_cast<char>(Upper(static_cast<unsigned char>(c)));
      view_ = upper_;
    } else if (digits) {
      // 20 zeros before the digits, the last 21 characters kept: the empty
      // text is 20 zeros, so it equals no number.
      size_t total = raw.size() + 20 < sizeof pad_ ? raw.size() + 20 : sizeof pad_;
      size_t keep = raw.size() < total ? raw.size() : total;
      std::memset(pad_, '0', total - keep);
      std::memcpy(pad_ + total - keep, raw.data() + raw.size() - keep, keep);
      view_ = std::string_view(pad_, total);
    } else {
      view_ = raw;
    }
  }
  std::string_view view() const { return view_; }

 private:
  char pad_[21];
  std::string upper_;
  std::string_view view_;
};

using Op = CompareOp;

bool InList(std::string_view left, const ListSlot& list) {
  ComparisonForm l(left);
  for (const auto& item : list.items)
    if (ComparisonForm(item).view() == l.view()) return true;
  return false;
}

}  // namespace

// Operators in the order they are tried: two- and three-character ones
// first, so that =* is never read as = followed by an asterisk.
bool ReadCompareOperator(std::string_view* text, CompareOp* op) {
  if (text->empty()) return false;
  std::string_view t = *text;
  char c0 = t[0], c1 = t.size() > 1 ? t[1] : '\0', c2 = t.size() > 2 ? t[2] : '\0';
  size_t len = 2;
  if (c0 == '>' && c1 == '=') *op = Op::kGe;
  else if (c0 == '<' && c1 == '=') *op = Op::kLe;
  else if (c0 == '=' && c1 == '=') *op = Op::kEqExact;
  else if (c0 == '<' && c1 == '>') *op = Op::kNe;
  else if (c0 == '*' && c1 == '=' && c2 == '*') *op = Op::kContains, len = 3;
  else if (c0 == '=' && c1 == '*') *op = Op::kBegins;
  else if (c0 == '*' && c1 == '=') *op = Op::kEnds;
  else if ((c0 | 0x20) == 'e' && (c1 | 0x20) == 'm') *op = Op::kIn;
  else if (c0 == '=') *op = Op::kEq, len = 1;
  else if (c0 == '<') *op = Op::kLt, len = 1;
  else if (c0 == '>') *op = Op::kGt, len = 1;
  else return false;
  text->remove_prefix(len);
  return true;
}

bool CompareTexts(CompareOp op, std::string_view l, std::string_view r) {
  switch (op) {
    case Op::kEqExact: return l == r;
    case Op::kContains: return !r.empty() && l.find(r) != std::string_view::npos;
    case Op::kBegins: return !r.empty() && l.substr(0, r.size()) == r;
    case Op::kEnds: {
      size_t at = r.empty() ? std::string_view::npos : l.find(r);
      return at != std::string_view::npos && at + r.size() == l.size();
    }
    default: break;
  }
  ComparisonForm lf(l), rf(r);
  int c = lf.view().compare(rf.view());
  switch (op) {
    case Op::kEq: return c == 0;
    case Op::kNe: return c != 0;
    case Op::kLt: return c < 0;
    case Op::kGt: return c > 0;
    case Op::kLe: return c <= 0;
    case Op::kGe: return c >= 0;
    default: return false;
  }
}

bool CompareValueTexts(CompareOp op, const Value& l, const Value& r) {
  NumberText lb, rb;
  return CompareTexts(op, TextOf(l, &lb), TextOf(r, &rb));
}

std::string PadNumber(std::string_view text) {
  if (!AllDigits(text)) return std::string(text);
  std::string padded(20, '0');
  padded.append(text);
  return padded.substr(padded.size() - 21);
}

bool InNamedList(InterpreterState& in, std::string_view name, bool negate, const Value& left, bool* truth) {
  const ListSlot* list = FindList(in, name);
  if (!list) return Fail(in, RunFault::kListMissing, Filled(kMsgListNotFound, {ShownText(name)}));
  NumberText buf;
  *truth = InList(TextOf(left, &buf), *list) != negate;
  return true;
}

bool EvaluateCondition(InterpreterState& in, std::string_view* text, bool* truth) {
  Condition c;
  std::string_view rest;
  if (!DecodeConditionShape(in, *text, &c, &rest)) {
    // What the text read before it failed is read all the same: the left
    // operand's names are looked up, and so are a failed right operand's.
    bool ignored;
    c.op = CompareOp::kEq;
    ConditionTruth(in, c, &ignored);
    return false;
  }
  if (!ConditionTruth(in, c, truth)) return false;
  *text = rest;
  return true;
}

}  // namespace kal
