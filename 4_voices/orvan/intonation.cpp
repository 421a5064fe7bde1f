// The tokenizer and the intonation tagger. Tokens carry a two-character
// class code (a key word's class, "XX" for other words, the character twice
// for punctuation); each token then gets the three-digit pitch pattern of
// the first prosody rule that fits its class and its neighbours' classes.
#include <algorithm>

#include "4_voices/orvan/orvan_state.h"
#include "4_voices/orvan/orvan_text.h"
#include "4_voices/orvan/prosody.h"
#include "4_voices/orvan/text_normaliser.h"

namespace kal::orvan {

namespace {

constexpr const char* kBoundary = "[--]";
constexpr const char* kDefaultPattern = "555";

std::string KeyCode(const ProsodyTables& prosody, const std::string& word) {
  const auto& keys = prosody.keys;
  std::string upper = UpperLatin1(word);
  auto it = std::lower_bound(keys.begin(), keys.end(), upper,
                             [](const TChave& k, const std::string& w) { return k.word < w; });
  return it != keys.end() && it->word == upper ? it->code : "XX";
}

bool Fits(const std::string& rule_code, const std::string& code) {
  return rule_code.empty() || rule_code == code;
}

std::string PatternFor(const ProsodyTables& prosody, const std::string& previous, const std::string& current, const std::string& next) {
  for (const TProsodia& r : prosody.rules) {
    if (Fits(r.previous, previous) && Fits(r.current, current) && Fits(r.next, next)) return r.pattern;
  }
  return kDefaultPattern;
}

}  // namespace

std::vector<std::string> Tokenize(const OrvanTables& tables, const std::string& text) {
  std::vector<std::string> tokens{kBoundary};
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    std::string code, token;
    if (text[i] == '.' && i + 1 < text.size() && text[i + 1] == '.') {
      while (i < text.size() && text[i] == '.') ++i;
      code = ".-";
      token = ".";
    } else if (!IsTextLetter(static_cast<unsigned char>(text[i]))) {
      code = std::string(2, text[i]);
      token = std::string(1, text[i]);
      ++i;
    } else {
      size_t start = i;
      while (i < text.size() && IsTextLetter(static_cast<unsigned char>(text[i]))) ++i;
      token = text.substr(start, i - start);
      code = KeyCode(tables.prosody, token);
    }
    tokens.push_back("[" + code + "]" + token);
    if (token[0] == '!' || token[0] == '.' || token[0] == '?') tokens.push_back(kBoundary);
  }
  return tokens;
}

std::vector<std::string> TagIntonation(const OrvanTables& tables, const std::vector<std::string>& tokens) {
  std::vector<const std::string*> lines;
  for (const std::string& t : tokens) {
    if (!t.empty()) lines.push_back(&t);
  }
  auto code = [](const std::string& line) { return line.substr(1, 2); };
  std::vector<std::string> out;
  char last_digit = '5';
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string previous = i > 0 ? code(*lines[i - 1]) : "";
    std::string next = i + 1 < lines.size() ? code(*lines[i + 1]) : "";
    std::string pattern = PatternFor(tables.prosody, previous, code(*lines[i]), next);
    if (!pattern.empty() && pattern[0] == '?') pattern[0] = last_digit;
    if (pattern.size() >= 3) last_digit = pattern[2];
    out.push_back(pattern + "|" + (lines[i]->size() > 4 ? lines[i]->substr(4) : ""));
  }
  return out;
}

}  // namespace kal::orvan
