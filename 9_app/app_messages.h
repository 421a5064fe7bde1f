// The application's messages, side by side: the command line, loading the
// script, and the text viewer (UTF-8 here; the viewer's become Latin-1 when
// said). Texts ending in a blank or ": " are followed by a name.
#pragma once

#include <string_view>

namespace kal::app_msg {

// The command line.
inline constexpr std::string_view kSpeechLogNeedsFile = "--speech-log precisa de um nome de arquivo";
inline constexpr std::string_view kViewNeedsFile = "--view precisa de um nome de arquivo";
inline constexpr std::string_view kOrvanDirNeedsFolder = "--orvan-dir precisa de uma pasta";
inline constexpr std::string_view kBrailleLogNeedsFile = "--braille-log precisa de um nome de arquivo";
inline constexpr std::string_view kUnknownOption = "opção desconhecida: ";
inline constexpr std::string_view kOptionTakesNoValue = "esta opção não leva valor: ";
// A printf format: %s is why (UTF-8).
inline constexpr const char* kNoWindow =
    "kaldorin: não foi possível abrir a janela (%s); o console fica no terminal.\n";
inline constexpr std::string_view kCheckNeedsScript = "--check precisa de um script";
inline constexpr std::string_view kConflictingModes = "--view, --phonemes e um script não podem ser usados juntos";

// Loading the script.
inline constexpr std::string_view kScriptNotFound = "Script não encontrado: ";
inline constexpr std::string_view kScriptIsFolder = "O script é uma pasta: ";
inline constexpr std::string_view kScriptUnreadable = "Não foi possível ler o script ";
inline constexpr std::string_view kScriptPrefix = "O script ";  // + path + " " + what is wrong
// (the reasons a file is not read are in 1_platform/file_read_reason.h)
inline constexpr std::string_view kTooManyLinesBefore = "tem mais de ";
inline constexpr std::string_view kTooManyLinesAfter = " linhas";

// kaldorin --check: the count of what was found, said at the end.
inline constexpr std::string_view kNoFindings = "Nenhum problema encontrado";
inline constexpr std::string_view kOneError = "1 erro";
inline constexpr std::string_view kErrors = " erros";  // after the count
inline constexpr std::string_view kOneWarning = "1 aviso";
inline constexpr std::string_view kWarnings = " avisos";  // after the count
inline constexpr std::string_view kCountsJoined = " e ";
inline constexpr std::string_view kFoundOne = " encontrado";
inline constexpr std::string_view kFoundMany = " encontrados";
// The severity of a finding, in its line: FILE:LINE:COLUMN: erro [K101]: ...
inline constexpr std::string_view kSeverityError = "erro";
inline constexpr std::string_view kSeverityWarning = "aviso";
inline constexpr std::string_view kStrictNeedsCheck = "--strict só vale com --check";

// kaldorin --lsp: why a message gets an error for an answer (JSON-RPC's
// error message, shown by an editor in its log).
inline constexpr std::string_view kLspNotJson = "A mensagem não é JSON";
inline constexpr std::string_view kLspTooDeep = "A mensagem tem listas e objetos aninhados demais";
inline constexpr std::string_view kLspTooLong = "A mensagem é longa demais; foi ignorada";
inline constexpr std::string_view kLspNoMethod = "A mensagem não é um pedido: falta o método";
inline constexpr std::string_view kLspBadId = "O id do pedido deve ser um número ou um texto";
inline constexpr std::string_view kLspBadField = "Um campo do pedido tem o tipo errado";
inline constexpr std::string_view kLspShutDown = "O servidor já foi encerrado (shutdown)";
// The language server's answers to a rename and the titles of its fixes.
inline constexpr std::string_view kLspNotAName = "Aqui não há rótulo nem variável para renomear";
inline constexpr std::string_view kLspBadVariableName =
    "Um nome de variável tem só letras sem acento, algarismos e _";
inline constexpr std::string_view kLspBadLabelName = "Um rótulo não tem espaços e não fica vazio";
inline constexpr std::string_view kLspNotLatin1 = "O nome tem caracteres que o script não guarda";
inline constexpr std::string_view kLspFixWord = "Trocar por ";
inline constexpr std::string_view kLspFixClose = "Fechar o bloco com ";
inline constexpr std::string_view kLspFixLabel = "Criar o rótulo ";
inline constexpr const char* kLspNotBuilt =
    "kaldorin: esta cópia do programa foi compilada sem o servidor de linguagem (--lsp).\n";

// Said once, in a terminal, when a screen reader runs (screen_reader_hint.h);
// each line fits the terminal's 80 columns.
inline constexpr std::string_view kScreenReaderAdvice[] = {
    "Um leitor de tela está ativo: ele e o kaldorin falam as mesmas linhas.",
    "Ponha o leitor para dormir neste terminal ou use kaldorin --window.",
    "Veja \"Com um leitor de tela\" no guia, em /usr/share/doc/kaldorin.",
};

// The end of a stopped run, on standard error.
inline constexpr const char* kEndInputEnded = "kaldorin: a entrada terminou; o programa foi encerrado.\n";
inline constexpr const char* kEndInterrupted = "kaldorin: interrompido; o programa foi encerrado.\n";
inline constexpr const char* kEndOther = "kaldorin: o programa foi encerrado.\n";
// Said when the break key ends the program.
inline constexpr std::string_view kInterrupted = "Interrompido";

// The text viewer.
inline constexpr std::string_view kEmptyLine = "linha vazia";
inline constexpr std::string_view kCannotOpenFile = "Não foi possível abrir o arquivo ";
inline constexpr std::string_view kOneLine = " linha";
inline constexpr std::string_view kLines = " linhas";
inline constexpr std::string_view kLineCopied = "Linha copiada";
inline constexpr std::string_view kNoAddress = "Nenhum endereço nesta linha";

// Listening to a station from the viewer.
inline constexpr std::string_view kConnecting = "Conectando: ";  // + the station's name
inline constexpr std::string_view kPlaying = "Tocando: ";        // + the station's name
inline constexpr std::string_view kPaused = "Pausado";
inline constexpr std::string_view kResumed = "Tocando";
inline constexpr std::string_view kStopped = "Parado";
inline constexpr std::string_view kVolume = "Volume ";  // + 0 to 130
inline constexpr std::string_view kNoAddressToPlay = "Esta estação não tem endereço para tocar.";
inline constexpr std::string_view kAddressRefused = "Endereço recusado: só se tocam endereços http e https.";
inline constexpr std::string_view kLookingForStream = "Buscando o endereço da transmissão.";
inline constexpr std::string_view kNoStreamOnPage = "A página da estação não traz o endereço da transmissão.";
inline constexpr std::string_view kPageNotFetched = "Não foi possível trazer a página da estação.";
inline constexpr std::string_view kPlayerMissing = "O tocador de rádio não está instalado (mpv).";
// Then, where helpers come from the system's packages:
inline constexpr std::string_view kPlayerFromPackages = " Instale o pacote mpv.";
// Otherwise (Windows), followed by the folder to put it in and ".":
inline constexpr std::string_view kPlayerWhereToGet =
    " Obtenha o mpv para Windows pela página https://mpv.io/installation/ e ponha mpv.exe em ";
inline constexpr std::string_view kPlayerNoStart = "O tocador de rádio não pôde começar.";
inline constexpr std::string_view kPlayerNoAnswer = "O tocador de rádio não respondeu.";
inline constexpr std::string_view kPlayerEnded = "O tocador de rádio parou.";
inline constexpr std::string_view kStreamEnded = "A estação parou de transmitir.";
inline constexpr std::string_view kStreamNotOpened = "Não foi possível abrir a estação.";
inline constexpr std::string_view kStreamUnknownFormat = "O endereço não traz um som que se possa tocar.";
inline constexpr std::string_view kStreamNoSound = "A estação não mandou som.";
inline constexpr std::string_view kSoundDeviceFailed = "Não foi possível abrir o dispositivo de som.";
inline constexpr std::string_view kStreamFailed = "Erro ao tocar a estação.";

}  // namespace kal::app_msg
