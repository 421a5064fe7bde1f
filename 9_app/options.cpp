#include "9_app/options.h"
#include "9_app/app_messages.h"

#include <cstring>

namespace kal {

bool ParseOptions(int argc, char** argv, Options* opts, std::string* err) {
  int i = 1;
  for (; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--") {
      ++i;
      break;
    }
    if (a.rfind("--", 0) != 0) break;
    if (a == "--headless") {
      opts->headless = true;
    } else if (a == "--speech-log") {
      if (i + 1 >= argc) {
        *err = app_msg::kSpeechLogNeedsFile;
        return false;
      }
      opts->speech_log = argv[++i];
    } else if (a == "--braille-log") {
      if (i + 1 >= argc) {
        *err = "--braille-log precisa de um nome de arquivo";
        return false;
      }
      opts->braille_log = argv[++i];
    } else if (a == "--view") {
      // The viewer takes the editor's command line: an optional "/L" switch,
      // then the file.
      if (i + 1 < argc && std::string(argv[i + 1]) == "/L") ++i;
      if (i + 1 >= argc) {
        *err = app_msg::kViewNeedsFile;
        return false;
      }
      opts->view_file = argv[++i];
    } else if (a == "--phonemes") {
      opts->phonemes = true;
    } else if (a == "--orvan-dir") {
      if (i + 1 >= argc) {
        *err = app_msg::kOrvanDirNeedsFolder;
        return false;
      }
      opts->orvan_dir = argv[++i];
    } else if (a == "--help") {
      opts->help = true;
    } else {
      *err = std::string(app_msg::kUnknownOption) + a;
      return false;
    }
  }
  if (i < argc) opts->script = argv[i++];
  for (; i < argc; ++i) opts->params.push_back(argv[i]);
  return true;
}

const char* UsageText() {
  return "uso: kaldorin [--headless] [--speech-log ARQUIVO] [--braille-log ARQUIVO] [SCRIPT [PARÂMETROS...]]\n"
         "     kaldorin [--headless] [--speech-log ARQUIVO] [--braille-log ARQUIVO] --view [/L] ARQUIVO\n"
         "Sem SCRIPT, roda a busca de rádios Zelquora.\n"
         "  --phonemes [--orvan-dir PASTA]  lê palavras (UTF-8), uma por linha, e escreve\n"
         "                                  palavra, fonemas e tônica do Orvan.\n";
}

}  // namespace kal
