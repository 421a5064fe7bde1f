#include "9_app/options.h"
#include "9_app/app_messages.h"

#include <cstddef>

#include "kaldorin_version.h"

namespace kal {

namespace {

// What an option does once it has been recognised; `value` is empty for
// options that take none.
using OptionAction = void (*)(Options* opts, const std::string& value);

struct OptionEntry {
  const char* long_name;   // without the leading "--"
  char short_name;         // 0: none
  bool takes_value;
  std::string_view value_missing;  // the error when the value is missing
  OptionAction action;
};

const OptionEntry kOptionTable[] = {
    {"headless", 0, false, {}, [](Options* o, const std::string&) { o->headless = true; }},
    {"window", 0, false, {}, [](Options* o, const std::string&) { o->window = true; }},
    {"speech-log", 0, true, app_msg::kSpeechLogNeedsFile,
     [](Options* o, const std::string& v) { o->speech_log = v; }},
    {"braille-log", 0, true, app_msg::kBrailleLogNeedsFile,
     [](Options* o, const std::string& v) { o->braille_log = v; }},
    {"view", 0, true, app_msg::kViewNeedsFile, [](Options* o, const std::string& v) { o->view_file = v; }},
    {"phonemes", 0, false, {}, [](Options* o, const std::string&) { o->phonemes = true; }},
    {"orvan-dir", 0, true, app_msg::kOrvanDirNeedsFolder,
     [](Options* o, const std::string& v) { o->orvan_dir = v; }},
    {"lsp", 0, false, {}, [](Options* o, const std::string&) { o->lsp = true; }},
    {"check", 0, false, {}, [](Options* o, const std::string&) { o->check = true; }},
    {"strict", 0, false, {}, [](Options* o, const std::string&) { o->strict = true; }},
    {"help", 'h', false, {}, [](Options* o, const std::string&) { o->help = true; }},
    {"version", 0, false, {}, [](Options* o, const std::string&) { o->version = true; }},
};

const OptionEntry* FindLong(const std::string& name) {
  for (const OptionEntry& option : kOptionTable)
    if (name == option.long_name) return &option;
  return nullptr;
}

const OptionEntry* FindShort(char c) {
  for (const OptionEntry& option : kOptionTable)
    if (option.short_name != 0 && option.short_name == c) return &option;
  return nullptr;
}

// The words of the command line and the reader's place in them.
struct ArgReader {
  int argc;
  char** argv;
  int i;
  bool More() const { return i < argc; }
  std::string Next() { return argv[i++]; }
};

// The value of an option that takes one: "--name=value" or the next word.
// The viewer takes the editor's command line, so an optional "/L" switch
// before its file is skipped.
bool TakeValue(const OptionEntry& option, ArgReader* in, bool has_inline, const std::string& inline_value,
               std::string* value, std::string* err) {
  if (has_inline) {
    *value = inline_value;
  } else {
    if (std::string_view(option.long_name) == "view" && in->More() && std::string(in->argv[in->i]) == "/L") in->i++;
    if (!in->More()) {
      *err = option.value_missing;
      return false;
    }
    *value = in->Next();
  }
  if (value->empty()) {
    *err = option.value_missing;
    return false;
  }
  return true;
}

// One word that starts with "-" (but is not "-" or "--"); false with *err set.
bool ParseOptionWord(const std::string& word, ArgReader* in, Options* opts, std::string* err) {
  const OptionEntry* option = nullptr;
  bool has_inline = false;
  std::string inline_value;
  if (word.rfind("--", 0) == 0) {
    std::string name = word.substr(2);
    size_t eq = name.find('=');
    if (eq != std::string::npos) {
      has_inline = true;
      inline_value = name.substr(eq + 1);
      name.resize(eq);
    }
    option = FindLong(name);
  } else if (word.size() == 2) {
    option = FindShort(word[1]);
  }
  if (option == nullptr) {
    *err = std::string(app_msg::kUnknownOption) + word;
    return false;
  }
  std::string value;
  if (option->takes_value) {
    if (!TakeValue(*option, in, has_inline, inline_value, &value, err)) return false;
  } else if (has_inline) {
    *err = std::string(app_msg::kOptionTakesNoValue) + "--" + option->long_name;
    return false;
  }
  option->action(opts, value);
  return true;
}

// Modes that cannot be combined: the viewer, the phoneme tool and a script
// (run or checked).
bool CheckModes(const Options& opts, std::string* err) {
  int modes = (opts.view_file.empty() ? 0 : 1) + (opts.phonemes ? 1 : 0) + (opts.script.empty() && !opts.check ? 0 : 1);
  if (modes > 1 && !opts.help && !opts.version) {
    *err = app_msg::kConflictingModes;
    return false;
  }
  if (opts.check && opts.script.empty() && !opts.help && !opts.version) {
    *err = app_msg::kCheckNeedsScript;
    return false;
  }
  if (opts.strict && !opts.check && !opts.help && !opts.version) {
    *err = app_msg::kStrictNeedsCheck;
    return false;
  }
  return true;
}

}  // namespace

bool ParseOptions(int argc, char** argv, Options* opts, std::string* err) {
  ArgReader in{argc, argv, 1};
  while (in.More()) {
    std::string word = in.Next();
    if (word == "--") break;
    if (word.size() < 2 || word[0] != '-') {
      // The script: it and every word after it belong to the script.
      opts->script = word;
      break;
    }
    if (!ParseOptionWord(word, &in, opts, err)) return false;
  }
  if (opts->script.empty() && in.More()) opts->script = in.Next();
  while (in.More()) opts->params.push_back(in.Next());
  return CheckModes(*opts, err);
}

const char* VersionText() { return "kaldorin " KALDORIN_VERSION_TEXT "\n"; }

namespace {

const char* PortugueseUsage() {
  return "uso: kaldorin [OPÇÕES] [--] [SCRIPT [PARÂMETROS...]]\n"
         "     kaldorin [OPÇÕES] --view [/L] ARQUIVO\n"
         "     kaldorin --phonemes [--orvan-dir PASTA] < PALAVRAS\n"
         "     kaldorin --check [--strict] SCRIPT...\n"
         "     kaldorin --lsp\n"
         "\n"
         "Sem SCRIPT, roda a busca de rádios Zelquora. As opções vêm antes do\n"
         "script, em qualquer ordem; o que vem depois do script (ou de --) são os\n"
         "parâmetros dele. Uma opção com valor aceita --opção VALOR ou --opção=VALOR.\n"
         "\n"
         "  -h, --help               mostra este texto e termina\n"
         "  --version                mostra a versão e termina\n"
         "  --headless               console em texto UTF-8 na saída padrão, teclas\n"
         "                           lidas da entrada padrão (também sem terminal)\n"
         "  --window                 console numa janela própria na área de trabalho,\n"
         "                           com fonte grande, lupa, figuras e teclado braille\n"
         "                           (o mesmo que JANELA=S em [VIDEO] do Talven.ini)\n"
         "  --speech-log ARQUIVO     anota cada pedido de fala em ARQUIVO\n"
         "                           (o mesmo que KALDORIN_SPEECH_LOG)\n"
         "  --braille-log ARQUIVO    anota cada linha mandada ao braille em ARQUIVO\n"
         "                           (o mesmo que KALDORIN_BRAILLE_LOG)\n"
         "  --view [/L] ARQUIVO      abre ARQUIVO no leitor de texto falado\n"
         "  --phonemes               lê palavras (UTF-8), uma por linha, e escreve\n"
         "                           palavra, fonemas e tônica do Orvan\n"
         "  --orvan-dir PASTA        pasta de dados do Orvan para --phonemes\n"
         "  --check                  confere os scripts sem rodá-los: cada problema\n"
         "                           numa linha ARQUIVO:LINHA:COLUNA: erro [K101]:\n"
         "                           mensagem (ou aviso), e o total no fim, falado\n"
         "                           num terminal; sai com 1 se achou um erro\n"
         "  --strict                 com --check, um aviso também faz sair com 1\n"
         "  --lsp                    servidor de linguagem (LSP) para editores, na\n"
         "                           entrada e saída padrão\n"
         "\n"
         "Códigos de saída: 0 fim normal; 1 erro numa linha, script não carregado\n"
         "ou opção errada; 2 a entrada acabou à espera de uma tecla; 3 a voz\n"
         "gravada não pôde começar; 130 interrompido (Ctrl+] ou SIGINT);\n"
         "128 + número do sinal para outros sinais.\n"
         "Para parar um script: Ctrl+] (tecla de interrupção).\n";
}

const char* EnglishUsage() {
  return "usage: kaldorin [OPTIONS] [--] [SCRIPT [PARAMS...]]\n"
         "       kaldorin [OPTIONS] --view [/L] FILE\n"
         "       kaldorin --phonemes [--orvan-dir FOLDER] < WORDS\n"
         "       kaldorin --check [--strict] SCRIPT...\n"
         "       kaldorin --lsp\n"
         "\n"
         "Without a SCRIPT, runs the Zelquora radio search. Options come before the\n"
         "script, in any order; what follows the script (or --) are its parameters.\n"
         "An option's value is the next word or follows an = sign. The program\n"
         "speaks Brazilian Portuguese; this text is in English because the locale\n"
         "is not Portuguese (LANG=pt_BR.UTF-8 shows it in Portuguese).\n"
         "\n"
         "  -h, --help               show this text and exit\n"
         "  --version                show the version and exit\n"
         "  --headless               console as UTF-8 text on standard output, keys\n"
         "                           read from standard input (also without a terminal)\n"
         "  --window                 console in a window of its own on the desktop,\n"
         "                           with a large font, magnifier, pictures and the\n"
         "                           braille keyboard (as JANELA=S in [VIDEO] of Talven.ini)\n"
         "  --speech-log FILE        append every speech request to FILE\n"
         "                           (as KALDORIN_SPEECH_LOG)\n"
         "  --braille-log FILE       append every line sent to braille to FILE\n"
         "                           (as KALDORIN_BRAILLE_LOG)\n"
         "  --view [/L] FILE         open FILE in the speaking text viewer\n"
         "  --phonemes               read words (UTF-8), one a line, and write each\n"
         "                           word with Orvan's phonemes and stress\n"
         "  --orvan-dir FOLDER       Orvan's data folder for --phonemes\n"
         "  --check                  check the scripts without running them: each\n"
         "                           finding as FILE:LINE:COLUMN: erro [K101]: message\n"
         "                           (aviso for a warning), the count at the end,\n"
         "                           spoken at a terminal; exit 1 when an error is found\n"
         "  --strict                 with --check, a warning also makes the exit 1\n"
         "  --lsp                    language server (LSP) for editors, on standard\n"
         "                           input and output\n"
         "\n"
         "Exit codes: 0 normal end; 1 a failed line, a script not loaded or a\n"
         "wrong option; 2 the input ended while a key was awaited; 3 the recorded\n"
         "voice could not start; 130 interrupted (Ctrl+] or SIGINT); 128 + the\n"
         "signal's number for other signals.\n"
         "To stop a script: Ctrl+] (the break key).\n";
}

}  // namespace

const char* UsageText(bool portuguese) { return portuguese ? PortugueseUsage() : EnglishUsage(); }

}  // namespace kal
