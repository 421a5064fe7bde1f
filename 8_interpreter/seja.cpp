// SEJA var [=] value, or var [=] one of the built-in values: PARAMS, DATA,
// CRLF, HORA, DIA, TEMPO, and TAMANHO / MAIUSC / TRIM / POS / RAND /
// PALAVRA / CHR / ASC applied to operands.
#include <cstdio>

#include "0_base/latin1.h"
#include "5_speech/speech.h"
#include "8_interpreter/commands.h"
#include "8_interpreter/run_context.h"
#include "8_interpreter/line_code.h"
#include "8_interpreter/line_rules.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/random.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"
#include "1_platform/event_loop.h"

namespace kal {

namespace {

std::string TwoDigits(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", v);
  return buf;
}

std::string ParamsText(InterpreterState& in) {
  const auto& params = in.params;
  std::string out = NumberToText(static_cast<int64_t>(params.size()));
  for (const auto& p : params) {
    out.push_back(' ');
    for (char c : p) {
      if (c == ' ')
        out += "%20";
      else
        out.push_back(c);
    }
  }
  return out;
}

std::string WeekdayName(int weekday) {
  static constexpr std::string_view kNames[] = {"Domingo", "Segunda", "Terça", "Quarta",
                                                "Quinta",  "Sexta",   "Sábado"};
  return L1(kNames[(weekday % 7 + 7) % 7]);
}

// Hundredths of a second since the interpreter's start time; the weekday
// difference carries over midnights within a week.
std::string TempoText(InterpreterState& in) {
  const auto& s = in;
  LocalTime t = NowLocal(in.context->platform);
  int days = t.weekday - s.start_weekday;
  if (days < 0) days += 7;
  int64_t h = t.hour + 24 * days;
  int64_t v = ((h * 60 + t.minute) * 60 + t.second) * 100 + t.hundredths - s.start_time;
  return NumberToText(v);
}

std::string DateText(InterpreterState& in) {
  LocalTime t = NowLocal(in.context->platform);
  return TwoDigits(t.day) + "/" + TwoDigits(t.month) + "/" + NumberToText(t.year);
}

std::string HourText(InterpreterState& in) {
  LocalTime t = NowLocal(in.context->platform);
  return TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second);
}

std::string DayText(InterpreterState& in) { return WeekdayName(NowLocal(in.context->platform).weekday); }
std::string LineEndText(InterpreterState&) { return "\r\n"; }

// The plain built-in words, the whole (upper-cased) value text.
constexpr struct {
  std::string_view word;
  std::string (*value)(InterpreterState&);
} kPlainWords[] = {{"PARAMS", ParamsText}, {"DATA", DateText}, {"CRLF", LineEndText},
                   {"HORA", HourText},     {"DIA", DayText},   {"TEMPO", TempoText}};
constexpr size_t kLongestPlainWord = 6;

// The plain built-in words; false when u is none of them.
bool PlainBuiltIn(InterpreterState& in, std::string_view u, std::string* value) {
  for (const auto& w : kPlainWords) {
    if (u != w.word) continue;
    *value = w.value(in);
    return true;
  }
  return false;
}

std::string Word(int32_t index, std::string_view v) {
  for (int32_t i = 1; i < index && !v.empty(); ++i) {
    size_t sp = v.find(' ');
    v = sp == std::string_view::npos ? std::string_view() : TrimBlanks(v.substr(sp + 1));
  }
  size_t sp = v.find(' ');
  if (sp == std::string_view::npos) return std::string(v);
  std::string out(v);
  out.erase(sp, 999);
  return out;
}

// The text of a key code (#65, 010#65) back as its character.
std::string CharOfKeyCode(std::string_view v) {
  if (v.size() > 4 && v[3] == '#') {
    for (int i = 0; i < 3; ++i)
      if (v[i] != '0' && v[i] != '1') return {};
    v.remove_prefix(3);
  }
  if (v.empty() || v[0] != '#') return {};
  v.remove_prefix(1);
  int32_t code;
  if ((!v.empty() && v[0] == '0') || !ParseNumber(v, &code)) return {};
  return std::string(1, static_cast<char>(code & 0xFF));
}

enum class Fn { kTamanho, kMaiusc, kTrim, kPos, kRand, kPalavra, kChr, kAsc };

// The built-ins that take operands, each word with its blank.
constexpr struct {
  std::string_view word;
  Fn fn;
} kFns[] = {{"TAMANHO ", Fn::kTamanho}, {"MAIUSC ", Fn::kMaiusc}, {"TRIM ", Fn::kTrim},
            {"POS ", Fn::kPos},         {"RAND ", Fn::kRand},     {"PALAVRA ", Fn::kPalavra},
            {"CHR ", Fn::kChr},         {"ASC ", Fn::kAsc}};
constexpr size_t kLongestFnWord = 8;

// The value text upper-cased as far as the longest word with its blank.
std::string FrontWord(std::string_view args) { return UpperCaseText(args.substr(0, kLongestFnWord)); }

// The built-ins that take operands: "WORD " at the front of u.
bool FunctionBuiltIn(InterpreterState& in, std::string_view* args, std::string_view u, bool* matched, std::string* value) {
  *matched = false;
  Fn fn{};
  for (const auto& f : kFns) {
    if (u.substr(0, f.word.size()) == f.word) {
      *matched = true;
      fn = f.fn;
      *args = TrimBlanks(args->substr(f.word.size()));
      break;
    }
  }
  if (!*matched) return false;
  std::string a, v;
  if ((fn == Fn::kPos || fn == Fn::kPalavra) && !ReadOperand(in, args, &a)) return false;
  if (!ReadOperand(in, args, &v) || !args->empty()) return false;
  int32_t n;
  switch (fn) {
    case Fn::kTamanho: *value = NumberToText(static_cast<int64_t>(v.size())); break;
    case Fn::kMaiusc: *value = UpperCaseText(v); break;
    case Fn::kTrim: *value = std::string(TrimBlanks(v)); break;
    case Fn::kPos: {
      size_t at = a.empty() ? std::string::npos : v.find(a);
      *value = NumberToText(at == std::string::npos ? 0 : static_cast<int64_t>(at) + 1);
      break;
    }
    case Fn::kRand:
      if (!ParseNumber(v, &n) || n < 0) return false;  // a negative bound has no draw
      *value = NumberToText(RandomBelow(in, static_cast<uint32_t>(n)));
      break;
    case Fn::kPalavra:
      if (!ParseNumber(a, &n) || n < 1) return false;
      *value = Word(n, v);
      break;
    case Fn::kChr: *value = CharOfKeyCode(v); break;
    case Fn::kAsc:
      *value = v.size() == 1 ? "#" + NumberToText(static_cast<unsigned char>(v[0])) : std::string();
      break;
  }
  return true;
}

}  // namespace

bool NamesBuiltInValue(std::string_view args) {
  if (args.size() <= kLongestPlainWord) {
    std::string whole = UpperCaseText(args);
    for (const auto& w : kPlainWords)
      if (whole == w.word) return true;
  }
  std::string u = FrontWord(args);
  for (const auto& f : kFns)
    if (std::string_view(u).substr(0, f.word.size()) == f.word) return true;
  return false;
}

bool AssignBuiltIn(InterpreterState& in, int slot, std::string_view text) {
  std::string u = FrontWord(text);
  std::string value;
  bool matched;
  if (!(text.size() <= kLongestPlainWord && PlainBuiltIn(in, UpperCaseText(text), &value)) &&
      !FunctionBuiltIn(in, &text, u, &matched, &value))
    return false;
  Var(in, slot) = std::move(value);
  return true;
}

bool CmdSeja(InterpreterState& in, std::string_view args) { return RunLineFromText(in, "SEJA", args); }

}  // namespace kal
