#include "6_console/braille_transcribe.h"

#include <cstdint>

namespace kal {
namespace {

constexpr char kCapitalSign = '{';
constexpr char kNumberSign = '#';
constexpr char kLetterSign = '~';
constexpr uint8_t kGrave = '`';

// Digits in the upper cells (the letters a-j) and in the lower cells.
constexpr char kUpperDigit[] = "jabcdefghi";
constexpr char kLowerDigit[] = "},;:/?!=\"*";

// Scans one row left to right; each rule consumes what it matched.
class Transcriber {
 public:
  Transcriber(std::string_view text, bool* paren) : t_(text), paren_(paren) {}

  std::string Run() {
    while (i_ < t_.size()) Step();
    return out_;
  }

 private:
  uint8_t At(size_t i) const { return i < t_.size() ? static_cast<uint8_t>(t_[i]) : 0; }
  static bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }
  static bool IsLower(uint8_t c) { return (c >= 'a' && c <= 'z') || c >= 224; }
  static bool IsUpper(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 192 && c <= 223); }
  // Multiplication sign and sharp s are in the upper range but have no
  // lower-case form: they are symbols.
  static bool IsCapital(uint8_t c) { return IsUpper(c) && c != 215 && c != 223; }
  void Put(std::string_view s) { out_ += s; }
  void Put(uint8_t c) { out_ += static_cast<char>(c); }

  void Step() {
    uint8_t c = At(i_);
    if (IsLower(c)) return LowerRun();
    if (IsCapital(c)) return Capitals();
    if ((c == '(' || c == '[') && IsDigit(At(i_ + 1))) return OpenParen(c);
    if ((c == ')' || c == ']') && i_ > 0 && IsDigit(At(i_ - 1)) && !*paren_) return CloseParen(c);
    if (c == kGrave && IsDigit(At(i_ + 1))) return Fraction();
    if (c == kGrave && Escape(At(i_ + 1))) return;
    if (IsDigit(c)) return Number();
    if (c == '.' || c == '"' || c == 147 || c == 148) {
      Put(c == '.' ? '.' : '"');
      ++i_;
      return;
    }
    Symbol(c);
    ++i_;
  }

  // Lower-case letters and hyphens are the same in braille text.
  void LowerRun() {
    while (i_ < t_.size() && (IsLower(At(i_)) || At(i_) == '-')) Put(At(i_++));
  }

  // One capital: the capital sign. A run of them: the sign twice, and the
  // letter sign when lower case follows directly ("ONUs").
  void Capitals() {
    if (!IsCapital(At(i_ + 1))) {
      Put(kCapitalSign);
      Put(static_cast<uint8_t>(At(i_++) + 32));
      return;
    }
    Put(std::string_view("{{"));
    while (i_ < t_.size() && IsCapital(At(i_))) Put(static_cast<uint8_t>(At(i_++) + 32));
    if (IsLower(At(i_))) Put(kLetterSign);
  }

  // "(" or "[" before a digit opens a numeric parenthesis when its closing
  // bracket also stands after a digit; otherwise it is a parenthesis in text.
  void OpenParen(uint8_t c) {
    char close = c == '(' ? ')' : ']';
    size_t at = t_.find(close, i_ + 1);
    if (at != std::string_view::npos && IsDigit(At(at - 1))) {
      Put(c == '(' ? 0xEA : 0xE1);
    } else {
      *paren_ = true;
      Symbol(c);
    }
    ++i_;
  }

  void CloseParen(uint8_t c) {
    Put(c == ')' ? 0xE3 : 0xFA);
    *paren_ = false;
    ++i_;
  }

  // "`3/4": the number sign, the numerator in lower digits, the denominator
  // as it is.
  void Fraction() {
    Put(kNumberSign);
    ++i_;
    while (IsDigit(At(i_))) Put(kLowerDigit[At(i_++) - '0']);
    if (At(i_) != '/') return;
    ++i_;
    while (IsDigit(At(i_))) Put(At(i_++));
  }

  // The grave accent before a character writes that character's braille
  // form; two grave accents write nothing. False when c has no escape.
  bool Escape(uint8_t c) {
    const char* r = EscapeOf(c);
    if (!r) return false;
    Put(std::string_view(r));
    i_ += 2;
    return true;
  }

  static const char* EscapeOf(uint8_t c) {
    switch (c) {
      case '`': return "";
      case '"': return "\xFC\xFC";
      case '%': return "_}}";
      case '\'': return "\xFC";
      case '(': return "\xEA";
      case ')': return "\xE3";
      case '*': case 'X': case 'x': return "\xD7";
      case '+': return "+";
      case '-': return "-";
      case '.': return ".";
      case '/': case ':': return "\xF7";
      case '=': return "=";
      case 'E': case 'e': return "\x80" "e";
      case 'O': case 'o': return "\xB0";
      case '[': return "\xE1";
      case ']': return "\xFA";
      case '^': return "\xE5";
      case '_': case 0xF7: return "~\xF7";
      case '{': return "~l";
      case '}': return "_,";
      default: return nullptr;
    }
  }

  void Symbol(uint8_t c) {
    switch (c) {
      case '(': *paren_ = true; return Put(std::string_view("(."));
      case ')': *paren_ = false; return Put(std::string_view("\\)"));
      case '%': return Put(std::string_view("_}"));
      case '/': return Put(std::string_view("\\,"));
      case '[': return Put(std::string_view("[."));
      case '\\': return Put(std::string_view("~."));
      case ']': return Put(std::string_view("\\]"));
      case 128: return Put(std::string_view("\x80" "e"));
      case 133: return Put(std::string_view("..."));
      case 137: return Put(std::string_view("_}}"));
      case 145: case 146: return Put(std::string_view("$\""));
      case 149: return Put(std::string_view("\xF5o"));
      case 150: case 151: case 173: return Put(std::string_view("--"));
      case 156: return Put(std::string_view("oe"));
      case 167: return Put(std::string_view("ss"));
      case 171: case 187: return Put(std::string_view("\\\""));
      case 178: return Put(std::string_view("\xE5#b"));
      case 179: return Put(std::string_view("\xE5#c"));
      case 185: return Put(std::string_view("\xE5#a"));
      case 188: return Put(std::string_view("#,d"));
      case 189: return Put(std::string_view("#,b"));
      case 190: return Put(std::string_view("#:d"));
      case 223: return Put(std::string_view("\xAC" "b"));
      case 230: return Put(std::string_view("ae"));
      default: return Put(c);  // "#", "*", "?", "_" and the rest stay
    }
  }

  // Length of the ordinal ending at i ("ª", "º", "a.", "o.", "as.", "os."),
  // 0 when there is none; *word gets what is written for it.
  size_t OrdinalAt(size_t i, std::string_view* word) const {
    uint8_t c = At(i);
    if (c == 170 || c == 186) {
      *word = c == 170 ? "a" : "o";
      return 1;
    }
    if (c != 'a' && c != 'o') return 0;
    bool plural = At(i + 1) == 's';
    if (At(i + 1 + plural) != '.') return 0;
    *word = c == 'a' ? (plural ? "as" : "a") : (plural ? "os" : "o");
    return plural ? 3 : 2;
  }

  size_t DigitsBefore(size_t i) const {
    size_t n = 0;
    while (i > n && IsDigit(At(i - n - 1))) ++n;
    return n;
  }

  size_t DigitsFrom(size_t i) const {
    size_t n = 0;
    while (IsDigit(At(i + n))) ++n;
    return n;
  }

  void Number() {
    Put(kNumberSign);
    size_t digits = DigitsFrom(i_);
    std::string_view ending;
    if (size_t len = OrdinalAt(i_ + digits, &ending)) {
      for (size_t k = 0; k < digits; ++k) Put(kLowerDigit[At(i_ + k) - '0']);
      Put(ending);
      i_ += digits + len;
      return;
    }
    NumberBody();
  }

  // Digits, "$" and ","; a "." between short digit groups starts a new
  // number ("1.5"), between long ones it is a thousands point ("1.000").
  void NumberBody() {
    for (;;) {
      uint8_t c = At(i_);
      if (i_ >= t_.size()) return;
      if (IsDigit(c)) {
        Put(kUpperDigit[c - '0']);
      } else if (c == '$' || c == ',') {
        Put(c);
      } else if (c == '.' && IsDigit(At(i_ + 1))) {
        Put('.');
        if (DigitsBefore(i_) < 3 && DigitsFrom(i_ + 1) < 3) Put(kNumberSign);
      } else {
        // A letter a-j would read as a digit: the letter sign parts them.
        if (c >= 'a' && c <= 'j') Put(kLetterSign);
        return;
      }
      ++i_;
    }
  }

  std::string_view t_;
  bool* paren_;
  size_t i_ = 0;
  std::string out_;
};

}  // namespace

std::string TranscribeBraille(std::string_view text, bool* text_paren_open) {
  return Transcriber(text, text_paren_open).Run();
}

}  // namespace kal
