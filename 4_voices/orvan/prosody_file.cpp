// Loading the prosody file. It is read three times, once per section, each
// search starting from the top, so the sections may come in any order.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "0_base/latin1.h"
#include "4_voices/orvan/orvan_state.h"
#include "0_base/speech_log.h"
#include "4_voices/orvan/orvan_text.h"
#include "4_voices/orvan/orvan_messages.h"
#include "4_voices/rule_file.h"
#include "4_voices/orvan/prosody.h"

namespace kal::orvan {

namespace {

constexpr size_t kMaxKeys = 1000;
constexpr size_t kMaxDurations = 100;
constexpr size_t kMaxRules = 300;

// A loader's message, to the tables' sink or else to standard error and
// the speech log.
void Show(const OrvanTables& tables, SpeechLog& log, std::string_view utf8_message, const std::string& line = "") {
  std::string text = L1(utf8_message) + line;
  const auto& sink = tables.prosody_messages;
  if (sink) {
    sink(text);
    return;
  }
  std::fprintf(stderr, "%s\n", Latin1ToUtf8(text).c_str());
  LogSpeech(log, "message", text);
}

// Whole-text integer (blanks around it allowed).
bool ParseInt(const std::string& text, int* value) {
  std::string t = Trim(text);
  if (t.empty()) return false;
  char* end = nullptr;
  long v = std::strtol(t.c_str(), &end, 10);
  if (*end != '\0') return false;
  *value = static_cast<int>(v);
  return true;
}

// The lines of one section, up to the next "[" line; false when the header
// is not found.
bool SectionLines(const std::vector<std::string>& file, std::string_view header_utf8,
                  std::vector<std::string>* lines) {
  std::string header = L1(header_utf8);
  auto it = std::find_if(file.begin(), file.end(), [&](const std::string& l) { return Trim(l) == header; });
  if (it == file.end()) return false;
  lines->clear();
  for (++it; it != file.end() && !StartsWith(*it, "["); ++it) {
    if (it->empty() || (*it)[0] == '*' || rule_file::IsComment(*it)) continue;
    lines->push_back(*it);
  }
  return true;
}

bool ReadDurations(OrvanTables& t, SpeechLog& log, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    size_t eq = line.find('=');
    if (eq == std::string::npos) {
      Show(t, log, orvan_msg::kWrongPhoneme, line);
      return false;
    }
    int ms = 100;
    if (!ParseInt(line.substr(eq + 1), &ms)) {
      Show(t, log, orvan_msg::kWrongPhoneme, line);
      ms = 100;
    }
    if (t.prosody.durations.size() < kMaxDurations)
      t.prosody.durations.emplace_back(Trim(line.substr(0, eq)).substr(0, 2), ms);
  }
  return true;
}

bool ReadKeys(OrvanTables& t, SpeechLog& log, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    size_t eq = line.find('=');
    if (eq == std::string::npos) {
      Show(t, log, orvan_msg::kWrongKey, line);
      return false;
    }
    if (t.prosody.keys.size() < kMaxKeys)
      t.prosody.keys.push_back({UpperLatin1(Trim(line.substr(0, eq))), UpperLatin1(Trim(line.substr(eq + 1))).substr(0, 2)});
  }
  std::stable_sort(t.prosody.keys.begin(), t.prosody.keys.end(),
                   [](const TChave& a, const TChave& b) { return a.word < b.word; });
  return true;
}

// "TABHERTZ=" followed by exactly ten integers.
bool ReadTabHertz(OrvanTables& t, const std::string& values) {
  int parsed[10];
  size_t start = 0;
  for (int i = 0; i < 10; ++i) {
    size_t comma = values.find(',', start);
    bool last = i == 9;
    if (last != (comma == std::string::npos)) return false;
    if (!ParseInt(values.substr(start, last ? std::string::npos : comma - start), &parsed[i])) return false;
    start = comma + 1;
  }
  std::copy(parsed, parsed + 10, t.prosody.tabhertz);
  return true;
}

bool ReadRule(OrvanTables& t, const std::string& line) {
  size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  std::string codes = Trim(line.substr(0, eq));
  TProsodia rule;
  std::string* parts[3] = {&rule.previous, &rule.current, &rule.next};
  size_t start = 0;
  for (int i = 0; i < 3 && start <= codes.size(); ++i) {
    size_t bar = codes.find('|', start);
    *parts[i] = Trim(codes.substr(start, bar == std::string::npos ? std::string::npos : bar - start)).substr(0, 3);
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  rule.pattern = Trim(line.substr(eq + 1));
  // A pattern is three characters; anything else would break the word
  // headers of the phoneme list.
  if (rule.pattern.size() != 3) return false;
  if (t.prosody.rules.size() < kMaxRules) t.prosody.rules.push_back(rule);
  return true;
}

bool ReadProsodyRules(OrvanTables& t, SpeechLog& log, const std::vector<std::string>& lines) {
  for (const std::string& raw : lines) {
    std::string line = UpperLatin1(raw);
    bool ok;
    if (StartsWith(line, "HERTZ=")) ok = ParseInt(line.substr(6), &t.prosody.hertz);
    else if (StartsWith(line, "TABHERTZ=")) ok = ReadTabHertz(t, line.substr(9));
    else ok = ReadRule(t, line);
    if (!ok) {
      Show(t, log, orvan_msg::kWrongKey, raw);
      return false;
    }
  }
  return true;
}

}  // namespace

void SetProsodyMessageSink(OrvanTables& t, std::function<void(const std::string&)> sink) {
  t.prosody_messages = std::move(sink);
}

bool LoadProsody(OrvanTables& t, const std::string& path, SpeechLog& log) {
  t.prosody = ProsodyTables();
  std::vector<std::string> file, lines;
  if (!rule_file::ReadLines(path, &file)) {
    Show(t, log, orvan_msg::kProsodyMissing);
    return false;
  }
  if (!SectionLines(file, "[DURAÇÃO]", &lines)) {
    Show(t, log, orvan_msg::kDurationsMissing);
    return false;
  }
  if (!ReadDurations(t, log, lines)) return false;
  if (!SectionLines(file, "[CHAVES]", &lines)) {
    Show(t, log, orvan_msg::kKeywordsMissing);
    return false;
  }
  if (!ReadKeys(t, log, lines)) return false;
  if (!SectionLines(file, "[PROSÓDIA]", &lines)) {
    Show(t, log, orvan_msg::kPatternsMissing);
    return false;
  }
  return ReadProsodyRules(t, log, lines);
}

}  // namespace kal::orvan
