// Splitting stored lines once, and the tables of the control-flow scans.
#include "8_interpreter/script_index.h"

#include "5_speech/speech.h"
#include "8_interpreter/command_table.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/state.h"

namespace kal {

void AnalyseLine(std::string_view stored, LineInfo* info) {
  *info = LineInfo();
  std::string_view line = TrimBlanks(stored);
  if (line.empty() || line[0] == '*' || line[0] == '@') return;
  size_t space = line.find(' ');
  std::string_view word = line.substr(0, space);
  std::string_view rest = space == std::string_view::npos ? std::string_view() : TrimBlanks(line.substr(space + 1));
  info->command = true;
  info->word = UpperCaseText(word);
  info->entry = static_cast<int16_t>(FindCommand(info->word));
  info->args_begin = static_cast<uint32_t>(rest.empty() ? 0 : rest.data() - stored.data());
  info->args_size = static_cast<uint32_t>(rest.size());
}

namespace {

// Trimmed, upper-cased, every run of spaces reduced to one.
std::string Normalise(std::string_view stored) {
  std::string upper = UpperCaseText(TrimBlanks(stored));
  std::string out;
  out.reserve(upper.size());
  for (char c : upper)
    if (c != ' ' || out.empty() || out.back() != ' ') out.push_back(c);
  return out;
}

ScanForm FormOf(const std::string& norm) {
  if (norm.compare(0, 3, "SE ") == 0) return ScanForm::kSeHead;
  if (norm == "FIM SE") return ScanForm::kFimSe;
  if (norm == "SENAO" || norm == "SEN\xC3O") return ScanForm::kSenao;
  if (norm == "FIM ENQUANTO") return ScanForm::kFimEnquanto;
  if (norm == "FIM REPETE") return ScanForm::kFimRepete;
  return ScanForm::kOther;
}

void Build(ScanTables* t, const std::vector<std::string>& lines, int count) {
  *t = ScanTables();
  t->line_count = count;
  size_t size = static_cast<size_t>(count) + 2;
  t->form.assign(size, ScanForm::kOther);
  t->se_condition.assign(size, {});
  t->repete_rest.assign(size, {});
  t->prev_enquanto.assign(size, 0);
  t->prev_repete.assign(size, 0);
  int last_enquanto = 0, last_repete = 0;
  for (int n = 1; n <= count; ++n) {
    const std::string& line = lines[n];
    std::string norm = Normalise(line);
    t->form[n] = FormOf(norm);
    if (t->form[n] == ScanForm::kSeHead) t->se_condition[n] = norm.substr(3);
    t->prev_enquanto[n] = last_enquanto;
    t->prev_repete[n] = last_repete;
    std::string_view trimmed = TrimBlanks(line);
    size_t space = trimmed.find(' ');
    if (space != std::string_view::npos) {
      std::string first = UpperCaseText(trimmed.substr(0, space));
      if (first == "ENQUANTO") last_enquanto = n;
      if (first == "REPETE") {
        last_repete = n;
        t->repete_rest[n] = UpperCaseText(TrimBlanks(trimmed.substr(space + 1)));
      }
    }
    if (!line.empty() && line[0] == '@') t->labels.emplace(UpperCaseText(std::string_view(line).substr(1)), n);
  }
  t->prev_enquanto[count + 1] = last_enquanto;
  t->prev_repete[count + 1] = last_repete;
  t->next_fim_se.assign(size, count + 1);
  t->next_fim_enquanto.assign(size, count + 1);
  t->next_fim_repete.assign(size, count + 1);
  for (int n = count - 1; n >= 0; --n) {
    ScanForm f = t->form[n + 1];
    t->next_fim_se[n] = f == ScanForm::kFimSe ? n + 1 : t->next_fim_se[n + 1];
    t->next_fim_enquanto[n] = f == ScanForm::kFimEnquanto ? n + 1 : t->next_fim_enquanto[n + 1];
    t->next_fim_repete[n] = f == ScanForm::kFimRepete ? n + 1 : t->next_fim_repete[n + 1];
  }
}

}  // namespace

const ScanTables& Scans(InterpreterState& in) {
  auto& s = in;
  auto& idx = s.index;
  if (idx.built_generation != idx.generation || idx.scans.line_count != s.line_count) {
    Build(&idx.scans, s.lines, s.line_count);
    idx.built_generation = idx.generation;
  }
  return idx.scans;
}

LineCode& DecodeStoredLine(InterpreterState& in, int n) {
  auto& s = in;
  auto& idx = s.index;
  if (idx.codes_generation != idx.generation) {
    idx.codes.clear();
    idx.codes.resize(s.lines.size());
    idx.codes_generation = idx.generation;
  }
  LineCode& code = idx.codes[static_cast<size_t>(n)];
  if (code.kind == LineKind::kUndecoded) {
    const LineInfo& info = idx.lines[static_cast<size_t>(n)];
    std::string_view args = std::string_view(s.lines[static_cast<size_t>(n)]).substr(info.args_begin, info.args_size);
    DecodeLine(in, n, info.word, args, &code);
  }
  return code;
}

}  // namespace kal
