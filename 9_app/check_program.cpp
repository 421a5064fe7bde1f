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
#include "8_interpreter/script_check.h"
#include "9_app/app_messages.h"
#include "9_app/script_file.h"

namespace kal {

namespace {

// "Nenhum problema encontrado", "1 problema encontrado", "N problemas
// encontrados".
std::string CountSentence(size_t count) {
  if (count == 0) return std::string(app_msg::kNoFindings);
  if (count == 1) return std::string(app_msg::kOneFinding);
  return std::to_string(count) + std::string(app_msg::kFindings);
}

// One finding on its line of the output. The line text a finding quotes is
// the script's, and so may be the file's name: their control characters
// are shown, never sent to the terminal.
void PrintFinding(std::FILE* out, const std::string& file, int line, int column, const std::string& message) {
  std::string text = file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + message;
  std::fprintf(out, "%s\n", VisibleText(text, "\t").c_str());
}

}  // namespace

bool CheckFiles(const std::vector<std::string>& files, std::FILE* out, std::string* said) {
  size_t count = 0;
  for (const std::string& file : files) {
    std::vector<std::string> lines;
    std::string err;
    if (!LoadScriptFile(file, &lines, &err)) {
      PrintFinding(out, file, 1, 1, err);
      ++count;
      continue;
    }
    for (const CheckFinding& f : CheckScript(lines)) {
      PrintFinding(out, file, f.line, f.column, f.message);
      ++count;
    }
  }
  *said = CountSentence(count);
  return count == 0;
}

int RunCheckProgram(const std::vector<std::string>& files, const std::string& speech_log) {
  std::string said;
  bool clean = CheckFiles(files, stdout, &said);
  std::fflush(stdout);
  WriteStandardText(2, said + "\n");
  // The count is spoken as every other message is: the configured voice,
  // and the speech log when one is asked for.
  if (!speech_log.empty()) OpenSpeechLog(OpenHostFile(speech_log, "ab"));
  SetLoop(MakePollEventLoop());
  InitSpeech(0, ReadConfig(cfg::kDirKaldorin));
  SpeakText(Utf8ToLatin1(said));
  DoneSpeech();
  CloseSpeechLog();
  return clean ? 0 : 1;
}

}  // namespace kal
