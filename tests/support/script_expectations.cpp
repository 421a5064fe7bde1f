#include "tests/support/script_expectations.h"

#include <cctype>
#include <cstdlib>
#include <utility>

#include "0_base/latin1.h"

namespace kal::test {
namespace {

struct KeyName {
  const char* name;
  const char* bytes;  // as standard input carries the key
  size_t size;
};

// Extended keys are a zero byte and the PC scan code.
#define KEY(name, lit) {name, lit, sizeof(lit) - 1}
constexpr KeyName kKeyNames[] = {
    KEY("Enter", "\r"),     KEY("Esc", "\x1b"),    KEY("Tab", "\t"),      KEY("Backspace", "\b"),
    KEY("Space", " "),      KEY("{", "{"),         KEY("Up", "\0H"),      KEY("Down", "\0P"),
    KEY("Left", "\0K"),     KEY("Right", "\0M"),   KEY("Home", "\0G"),    KEY("End", "\0O"),
    KEY("PgUp", "\0I"),     KEY("PgDn", "\0Q"),    KEY("Ins", "\0R"),     KEY("Del", "\0S"),
    KEY("F1", "\0;"),       KEY("F2", "\0<"),      KEY("F3", "\0="),      KEY("F4", "\0>"),
    KEY("F5", "\0?"),       KEY("F6", "\0@"),      KEY("F7", "\0A"),      KEY("F8", "\0B"),
    KEY("F9", "\0C"),       KEY("F10", "\0D"),     KEY("F11", "\0\x85"),  KEY("F12", "\0\x86"),
};
#undef KEY

bool Fail(std::string* err, std::string message) {
  *err = std::move(message);
  return false;
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// The text after "WORD:" (one blank dropped), or nullopt when the line is
// not that word.
std::optional<std::string_view> After(std::string_view body, std::string_view word) {
  if (!StartsWith(body, word) || body.size() <= word.size() || body[word.size()] != ':') return std::nullopt;
  std::string_view text = body.substr(word.size() + 1);
  if (!text.empty() && text[0] == ' ') text.remove_prefix(1);
  return text;
}

bool ParseInt(std::string_view s, int* n) {
  std::string t(s);
  while (!t.empty() && t.back() == ' ') t.pop_back();
  if (t.empty()) return false;
  char* end = nullptr;
  long v = std::strtol(t.c_str(), &end, 10);
  if (*end != '\0' || v < -100000 || v > 100000) return false;
  *n = static_cast<int>(v);
  return true;
}

// Blank-separated words; double quotes keep blanks inside one word.
bool SplitParams(std::string_view s, std::vector<std::string>* out) {
  size_t i = 0;
  while (i < s.size()) {
    if (s[i] == ' ') {
      ++i;
      continue;
    }
    std::string word;
    if (s[i] == '"') {
      size_t close = s.find('"', i + 1);
      if (close == std::string_view::npos) return false;
      word = s.substr(i + 1, close - i - 1);
      i = close + 1;
    } else {
      size_t end = s.find(' ', i);
      if (end == std::string_view::npos) end = s.size();
      word = s.substr(i, end - i);
      i = end;
    }
    out->push_back(word);
  }
  return true;
}

// One expectation (body: the comment after "* "). Returns false with *err
// set on a malformed one; plain comments pass untouched.
bool ParseOne(std::string_view body, ScriptExpectations* out, std::string* err) {
  if (auto t = After(body, "expect")) {
    out->console += Latin1ToUtf8(*t) + "\n";
  } else if (auto t = After(body, "expect unended")) {
    out->console += Latin1ToUtf8(*t);
  } else if (auto t = After(body, "expect speech")) {
    out->speech.push_back(Latin1ToUtf8(*t));
    out->check_speech = true;
  } else if (body == "expect no speech") {
    out->check_speech = true;
  } else if (auto t = After(body, "expect exit")) {
    int n = 0;
    if (!ParseInt(*t, &n)) return Fail(err, "exit code is not a number");
    out->exit_code = n;
  } else if (StartsWith(body, "expect error line ")) {
    int n = 0;
    if (!ParseInt(body.substr(18), &n) || n < 1) return Fail(err, "error line is not a line number");
    out->error_line = n;
  } else if (auto t = After(body, "keys")) {
    std::string bytes;
    if (!DecodeKeys(Latin1ToUtf8(*t), &bytes, err)) return false;
    out->keys += bytes;
  } else if (auto t = After(body, "params")) {
    if (!SplitParams(*t, &out->params)) return Fail(err, "unclosed quote in params");
  } else if (StartsWith(body, "expect") || StartsWith(body, "key") || StartsWith(body, "param")) {
    return Fail(err, "unknown expectation");
  }
  return true;
}

}  // namespace

bool DecodeKeys(std::string_view notation, std::string* keys, std::string* err) {
  size_t i = 0;
  while (i < notation.size()) {
    if (notation[i] != '{') {
      keys->push_back(notation[i++]);
      continue;
    }
    size_t close = notation.find('}', i + 2);
    if (close == std::string_view::npos) return Fail(err, "unclosed key name");
    std::string_view name = notation.substr(i + 1, close - i - 1);
    i = close + 1;
    bool found = false;
    for (const KeyName& k : kKeyNames) {
      if (name == k.name) keys->append(k.bytes, k.size), found = true;
    }
    if (found) continue;
    if (name.size() == 3 && name[0] == 'x' && std::isxdigit(static_cast<unsigned char>(name[1])) &&
        std::isxdigit(static_cast<unsigned char>(name[2]))) {
      keys->push_back(static_cast<char>(std::strtol(std::string(name.substr(1)).c_str(), nullptr, 16)));
      continue;
    }
    return Fail(err, "unknown key {" + std::string(name) + "}");
  }
  return true;
}

bool ParseExpectations(const std::vector<std::string>& lines, ScriptExpectations* out, std::string* err) {
  bool any_keys = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    if (!StartsWith(line, "* ")) continue;
    std::string_view body = line.substr(2);
    if (After(body, "keys")) any_keys = true;
    if (!ParseOne(body, out, err)) {
      *err = "line " + std::to_string(i + 1) + ": " + *err + ": " + Latin1ToUtf8(line);
      return false;
    }
  }
  if (!any_keys) out->keys = "\r";
  return true;
}

}  // namespace kal::test
