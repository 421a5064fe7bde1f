// The command table's shapes against the script check: every path through
// every command's shape makes a line that reads well, and each operand of
// it, made wrong or left out, is caught with its code. So every kind of
// operand a row declares is proved to be checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "8_interpreter/check_codes.h"
#include "8_interpreter/command_table.h"
#include "8_interpreter/script_check.h"

namespace kal::test {
namespace {

// One piece of a line made from a shape: its text in a line that reads
// well, and a wrong text with the code the check must give it ("" when a
// wrong text would only pick another form).
struct Piece {
  char kind;
  std::string good;
  std::string bad;
  std::string code;
  bool required;  // leaving it out is a missing operand
};
using Path = std::vector<Piece>;

bool IsWordByte(char ch) {
  unsigned char u = static_cast<unsigned char>(ch);
  return (u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE);
}

std::vector<Path> Paths(std::string_view shape);

// The pieces of an operand letter, with what follows it (a number's bounds).
Piece OperandPiece(char kind, std::string_view* shape, bool required) {
  Piece p{kind, "1", "", "", required};
  switch (kind) {
    case 'v': p = {kind, "$a", "1", "K106", required}; break;
    case 'o': p = {kind, "1", ")", "K107", required}; break;
    case 'j': p = {kind, "1", "1 )", "K107", false}; break;
    case 'c': p = {kind, "#1", "#x", "K119", required}; break;
    case 'k': p = {kind, "#1", "#x", "K119", required}; break;
    case 'l': p = {kind, "[x]", "[", "K112", required}; break;
    case 'p': p = {kind, "@1,1", "@a,b", "K121", required}; break;
    case 'r':
    case 'w': p = {kind, "x", "", "", required}; break;
    case 'n':
    case 'u': {
      p = {kind, "1", "\"abc\"", "K121", required};
      if (!shape->empty() && (*shape)[0] == '(') {
        size_t close = shape->find(')');
        std::string inside(shape->substr(1, close - 1));
        *shape = shape->substr(close + 1);
        if (inside == "/") {
          p.kind = '/';
          p.bad = "0";
          p.code = "K110";
        } else {
          p.kind = 'R';  // a bounded number
          p.good = inside.substr(0, inside.find(':'));
          p.bad = std::to_string(std::stoi(inside.substr(inside.find(':') + 1)) + 1);
          p.code = "K122";
        }
      }
      break;
    }
  }
  return p;
}

// Splits "{A|B}" at its top-level bars; *shape moves past it.
std::vector<std::string_view> Forms(std::string_view* shape) {
  std::vector<std::string_view> forms;
  int depth = 0;
  size_t start = 1;
  for (size_t i = 1; i < shape->size(); ++i) {
    char ch = (*shape)[i];
    if (ch == '{') ++depth;
    if ((ch == '}' && depth-- == 0) || (ch == '|' && depth == 0)) {
      forms.push_back(shape->substr(start, i - start));
      start = i + 1;
      if (ch == '}') {
        *shape = shape->substr(i + 1);
        return forms;
      }
    }
  }
  return forms;
}

// Every path through a shape: one per form of each choice.
std::vector<Path> Paths(std::string_view shape) {
  std::vector<Path> paths(1);
  bool required = true;
  while (!shape.empty()) {
    char kind = shape[0];
    if (kind == '{') {
      std::vector<std::string_view> forms = Forms(&shape);
      bool all_worded = true;
      for (std::string_view f : forms) all_worded = all_worded && !f.empty() && IsWordByte(f[0]);
      std::vector<Path> grown;
      for (const Path& before : paths) {
        for (std::string_view form : forms) {
          size_t n = 0;
          while (n < form.size() && IsWordByte(form[n])) ++n;
          for (Path tail : Paths(form.substr(n))) {
            Path p = before;
            if (n > 0) p.push_back({'W', std::string(form.substr(0, n)), all_worded ? "XYZZY" : "", "K120", required});
            // What opens a form without a word picks that form: a wrong
            // variable picks none, and leaving it out picks another.
            if (n == 0 && forms.size() > 1 && !tail.empty()) {
              if (tail[0].kind == 'v') tail[0].bad.clear();
              tail[0].required = false;
            }
            if (!required)
              for (Piece& piece : tail) piece.required = false;
            p.insert(p.end(), tail.begin(), tail.end());
            grown.push_back(p);
          }
        }
      }
      paths = grown;
      continue;
    }
    shape.remove_prefix(1);
    if (kind == '?') required = false;
    if (kind == '.' || kind == '~')
      for (Path& p : paths) p.push_back({kind, "", " demais", kind == '.' ? "K105" : "K217", false});
    if (std::string_view("vojcklprwnu").find(kind) != std::string_view::npos) {
      Piece piece = OperandPiece(kind, &shape, required);
      for (Path& p : paths) p.push_back(piece);
    }
  }
  return paths;
}

std::string LineOf(std::string_view word, const Path& path, size_t upto, int wrong) {
  std::string line(word);
  for (size_t i = 0; i < upto && i < path.size(); ++i) {
    const Piece& p = path[i];
    if (p.kind == '.' || p.kind == '~') {
      if (static_cast<int>(i) == wrong) line += p.bad;
      continue;
    }
    line += " " + (static_cast<int>(i) == wrong ? p.bad : p.good);
  }
  return line;
}

// The codes of the findings on the line (the line after one that sets $a).
std::vector<std::string> CodesOn(const std::string& line) {
  std::vector<std::string> codes;
  for (const CheckFinding& f : CheckScript({"SEJA $a 1", line}))
    if (f.line == 2 && f.code != "K204") codes.push_back(f.code);
  return codes;
}

std::string FirstError(const std::string& line) {
  for (const CheckFinding& f : CheckScript({"SEJA $a 1", line}))
    if (f.line == 2 && f.severity == Severity::kError) return f.code;
  return "";
}

TEST(CheckShapes, EveryDeclaredKindIsChecked) {
  std::set<char> proved;
  int lines = 0;
  for (int e = 0; e < kCommandCount; ++e) {
    const CommandEntry& entry = kCommandTable[e];
    if (entry.operands.empty()) continue;
    for (const Path& path : Paths(entry.operands)) {
      std::string good = LineOf(entry.word, path, path.size(), -1);
      EXPECT_EQ(FirstError(good), "") << good;
      ++lines;
      for (size_t i = 0; i < path.size(); ++i) {
        const Piece& p = path[i];
        if (!p.bad.empty()) {
          std::string bad = LineOf(entry.word, path, path.size(), static_cast<int>(i));
          if (p.kind == '~') {
            std::vector<std::string> codes = CodesOn(bad);
            EXPECT_NE(std::find(codes.begin(), codes.end(), p.code), codes.end()) << bad;
          } else {
            EXPECT_EQ(FirstError(bad), p.code) << bad;
          }
          proved.insert(p.kind);
        }
        if (p.required && p.kind != 'W') {
          std::string cut = LineOf(entry.word, path, i, -1);
          EXPECT_EQ(FirstError(cut), "K104") << cut;
          proved.insert('-');
        }
      }
    }
  }
  // Each kind of the notation is declared by some command and was caught.
  for (char kind : std::string("vojcklpnuR/W.~-")) EXPECT_TRUE(proved.count(kind)) << kind;
  EXPECT_GT(lines, 100);
}

// Every command the check reads by shape has one: a row without it would
// let any operand pass.
TEST(CheckShapes, EveryCommandDeclaresItsShape) {
  std::set<std::string_view> own_rules = {"SEJA", "SE", "SENAO", "SEN\xC3O", "ENQUANTO", "FIM", "DESVIA", "CHAMA"};
  for (int e = 0; e < kCommandCount; ++e) {
    const CommandEntry& entry = kCommandTable[e];
    if (entry.handler == nullptr) continue;
    EXPECT_NE(entry.operands.empty(), own_rules.count(entry.word) == 0) << entry.word;
  }
}

}  // namespace
}  // namespace kal::test
