#include "9_app/check_program.h"

#include "0_base/latin1.h"
#include "0_base/speech_log.h"
#include "0_base/visible_text.h"
#include "1_platform/console_code_page.h"
#include "1_platform/event_loop.h"
#include "1_platform/host_file.h"
#include "2_config/config.h"
#include "2_config/config_keys.h"
#include "5_speech/speech.h"
#include "5_speech/speech_state.h"
#include "8_interpreter/script_check.h"
#include "9_app/app_messages.h"
#include "9_app/script_file.h"

namespace kal {

namespace {

// "1 erro", "3 avisos".
std::string CountOf(size_t count, std::string_view one, std::string_view many) {
  return count == 1 ? std::string(one) : std::to_string(count) + std::string(many);
}

// "Nenhum problema encontrado", "1 erro encontrado", "2 erros e 1 aviso
// encontrados".
std::string CountSentence(const CheckCounts& counts) {
  if (counts.errors == 0 && counts.warnings == 0) return std::string(app_msg::kNoFindings);
  std::string out;
  if (counts.errors > 0) out = CountOf(counts.errors, app_msg::kOneError, app_msg::kErrors);
  if (counts.errors > 0 && counts.warnings > 0) out += app_msg::kCountsJoined;
  if (counts.warnings > 0) out += CountOf(counts.warnings, app_msg::kOneWarning, app_msg::kWarnings);
  out += counts.errors + counts.warnings == 1 ? app_msg::kFoundOne : app_msg::kFoundMany;
  return out;
}

// One finding on its line of the output: FILE:LINE:COLUMN: erro [K101]:
// message. The line text a finding quotes is the script's, and so may be
// the file's name: their control characters are shown, never sent to the
// terminal.
void PrintFinding(std::FILE* out, const std::string& file, int line, int column, Severity severity,
                  std::string_view code, const std::string& message) {
  std::string text = file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " +
                     std::string(severity == Severity::kError ? app_msg::kSeverityError : app_msg::kSeverityWarning) +
                     " [" + std::string(code) + "]: " + message;
  std::fprintf(out, "%s\n", VisibleText(text, "\t").c_str());
}

}  // namespace

CheckCounts CheckFiles(const std::vector<std::string>& files, std::FILE* out, std::string* said) {
  CheckCounts counts;
  for (const std::string& file : files) {
    std::vector<std::string> lines;
    std::string err;
    if (!LoadScriptFile(file, &lines, &err)) {
      PrintFinding(out, file, 1, 1, Severity::kError, InfoOf(CheckCode::kUnreadableScript).id, err);
      ++counts.errors;
      continue;
    }
    for (const CheckFinding& f : CheckScript(lines)) {
      PrintFinding(out, file, f.line, f.column, f.severity, f.code, f.message);
      ++(f.severity == Severity::kError ? counts.errors : counts.warnings);
    }
  }
  *said = CountSentence(counts);
  return counts;
}

int RunCheckProgram(SpeechState& speech, const std::vector<std::string>& files, const std::string& speech_log,
                    bool strict) {
  std::string said;
  CheckCounts counts = CheckFiles(files, stdout, &said);
  std::fflush(stdout);
  WriteStandardText(2, said + "\n");
  // The count is spoken, as every other message is (the configured voice,
  // and the speech log when one is asked for), to a person reading the
  // findings at a terminal; an editor or a script that reads them from a
  // pipe has no use for the voice.
  if (StandardStreamIsTerminal(1)) {
    if (!speech_log.empty()) OpenSpeechLog(SpeechLogOf(speech), OpenHostFile(speech_log, "ab"));
    InitSpeech(speech, 0, ReadConfig(speech.config, cfg::kDirKaldorin));
    SpeakText(speech, Utf8ToLatin1(said));
    DoneSpeech(speech);
    CloseSpeechLog(SpeechLogOf(speech));
  }
  return counts.errors > 0 || (strict && counts.warnings > 0) ? 1 : 0;
}

}  // namespace kal
