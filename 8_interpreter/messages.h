// The interpreter's messages to the user, side by side. They are written as
// a console line and spoken (SayLine) before the command fails. The texts
// are UTF-8 here and become Latin-1 when said.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace kal {

struct InterpreterState;

inline constexpr std::string_view kMsgInvalidCommand = "Comando inválido: ";
inline constexpr std::string_view kMsgDebugOn = "Debug ligado";
inline constexpr std::string_view kMsgDebugOff = "Debug desligado";
inline constexpr std::string_view kMsgTooManyCalls = "Muitas chamadas sem retorno";
inline constexpr std::string_view kMsgReturnWithoutCall = "Retorno sem chamada";
inline constexpr std::string_view kMsgDivisionByZero = "Divisão por zero";
inline constexpr std::string_view kMsgListExists = "A lista especificada já existe";
inline constexpr std::string_view kMsgTooManyLists = "Muitas listas no programa (máximo 20)";
inline constexpr std::string_view kMsgListFull = "Lista cheia (máximo 1000000 itens)";
inline constexpr std::string_view kMsgMenuFull = "Menu cheio (máximo 10000 itens)";
inline constexpr std::string_view kMsgTooManyVariables = "Muitas variáveis no programa (máximo 101)";
inline constexpr std::string_view kMsgTextTooLong = "Texto longo demais";
inline constexpr std::string_view kMsgNestedTooDeep = "Excesso de comandos aninhados";
inline constexpr std::string_view kMsgEndOfScript = "Fim do script";
inline constexpr std::string_view kMsgRunError = "Erro de execução na linha ";
// Why a line cannot be read: said before the run error's report, and
// given by the script check.
inline constexpr std::string_view kMsgNoOperand = "Falta um operando";
inline constexpr std::string_view kMsgParenNotClosed = "Parêntese não fechado";
inline constexpr std::string_view kMsgQuoteNotClosed = "Aspas não fechadas";
inline constexpr std::string_view kMsgBadExpression = "Expressão inválida: ";
inline constexpr std::string_view kMsgBadOperand = "Operando inválido: ";
inline constexpr std::string_view kMsgExpectedVariable = "Esperava uma variável: ";
inline constexpr std::string_view kMsgExpectedOperator = "Esperava um operador de comparação: ";
inline constexpr std::string_view kMsgNoOperator = "Falta o operador de comparação";
inline constexpr std::string_view kMsgExpectedList = "Esperava o nome de uma lista entre colchetes: ";
inline constexpr std::string_view kMsgTextLeft = "Texto a mais: ";
inline constexpr std::string_view kMsgLabelNotFound = "Rótulo não encontrado: @";
inline constexpr std::string_view kMsgNoLabel = "Falta o rótulo";
inline constexpr std::string_view kMsgLabelWithSpace = "Rótulo com espaço: @";
// Said by the script check alone: what the text shows before a run. In
// those with {0}, {1}, {2}, each stands for the value given in that place
// (a block's word, a line's number, a name).
inline constexpr std::string_view kMsgBlockInSameBlock =
    "{0} dentro do {0} da linha {1}: o FIM {0} volta sempre ao {0} mais próximo acima";
inline constexpr std::string_view kMsgSeAfterSenao =
    "Bloco SE depois do SENÃO da linha {0}: o SENÃO salta para o primeiro FIM SE que vem depois dele";
inline constexpr std::string_view kMsgBlockNotClosed = "{0} sem FIM {0}";
inline constexpr std::string_view kMsgFimWithoutBlock = "FIM {0} sem {0}";
inline constexpr std::string_view kMsgFimBeforeInner = "FIM {0} antes do FIM {1} do {1} da linha {2}";
inline constexpr std::string_view kMsgFimWithoutName = "Falta o nome do bloco depois de FIM";
inline constexpr std::string_view kMsgUnknownBlock = "Bloco desconhecido: FIM ";
inline constexpr std::string_view kMsgSecondSenao = "Segundo SENÃO do SE da linha {0}";
inline constexpr std::string_view kMsgSenaoOutsideSe = "SENÃO fora de um bloco SE";
inline constexpr std::string_view kMsgTooManyNames = "Variáveis demais: ${0} passa do máximo de {1}";
inline constexpr std::string_view kMsgBlockWithinLine = "Comando de bloco dentro de uma linha: ";
inline constexpr std::string_view kMsgRepeatedLabel = "Rótulo repetido: {0} (o primeiro, na linha {1}, é o que vale)";
inline constexpr std::string_view kMsgLabelAfterBlanks =
    "Rótulo depois de espaços: não será encontrado (o @ deve abrir a linha)";
inline constexpr std::string_view kMsgUnreachable = "Linha inalcançável: nada chega aqui depois do {0} da linha {1}";
inline constexpr std::string_view kMsgLabelUnused = "Rótulo sem desvio: nada salta para {0}";
inline constexpr std::string_view kMsgNeverSet = "Variável lida mas nunca definida: {0}";
inline constexpr std::string_view kMsgExpectedNumber = "Esperava um número: ";
inline constexpr std::string_view kMsgOutOfRange = "{0} fora do intervalo de {1} a {2}";
inline constexpr std::string_view kMsgExpectedChannel = "Esperava um canal de #0 a #9: ";
inline constexpr std::string_view kMsgExpectedWord = "Esperava uma destas palavras: {0}; veio {1}";
inline constexpr std::string_view kMsgTextIgnored = "Texto ignorado pelo comando: ";
inline constexpr std::string_view kMsgReturnWithoutAnyCall = "RETORNA num script sem nenhum CHAMA";
// Why a line failed that only a run can tell (fail_reason.h), said before
// the run error's report. {0}, {1} as above; a value from outside is shown
// with its control characters visible.
inline constexpr std::string_view kMsgVarNotNumber = "Esperava um número: {0} vale \"{1}\"";
inline constexpr std::string_view kMsgChannelNotOpen = "Canal #{0} não está aberto";
inline constexpr std::string_view kMsgChannelNotForReading = "Canal #{0} não está aberto para leitura";
inline constexpr std::string_view kMsgListNotFound = "Lista não encontrada: [{0}]";
inline constexpr std::string_view kMsgItemOutOfList = "Item {0} fora da lista [{1}] (número de itens: {2})";
inline constexpr std::string_view kMsgItemNotInList = "Item não encontrado na lista [{0}]: {1}";
inline constexpr std::string_view kMsgNoFileName = "Falta o nome do arquivo";
inline constexpr std::string_view kMsgFileMissing = "não existe";
inline constexpr std::string_view kMsgFileNoPermission = "sem permissão";
inline constexpr std::string_view kMsgFileIsFolder = "é uma pasta";
inline constexpr std::string_view kMsgFileExists = "já existe";
inline constexpr std::string_view kMsgFileBadName = "nome inválido";
inline constexpr std::string_view kMsgFileSizeUnknown = "Tamanho desconhecido, o arquivo não existe: ";
inline constexpr std::string_view kMsgRenameFailed = "Não foi possível renomear {0} para {1}: {2}";
inline constexpr std::string_view kMsgCopyFailed = "Não foi possível copiar {0} para {1}: {2}";
inline constexpr std::string_view kMsgCopyOntoItself = "é o mesmo arquivo";
inline constexpr std::string_view kMsgFileCreateError = "Erro na criação do arquivo ";
inline constexpr std::string_view kMsgNoBinaryFile = "Nenhum arquivo binário aberto";
inline constexpr std::string_view kMsgBinaryFileOpen = "Já há um arquivo binário aberto";
inline constexpr std::string_view kMsgNoMenu = "Nenhum menu criado (falta MENU CRIA)";
inline constexpr std::string_view kMsgExitCodeRange = "Código de saída fora do intervalo de 0 a 255: ";

// A running download: Esc asks, and "S" stops it.
inline constexpr std::string_view kMsgAskStopDownload = "Deseja parar o download?";
inline constexpr std::string_view kMsgDownloadStopped = "O download foi interrompido.";

// MIDI: written as a console line only, never spoken.
inline constexpr std::string_view kMsgProgramChangeError = "erro em ProgramChange";
// The parallel port of the switch sensors cannot be opened.
inline constexpr std::string_view kMsgNoSensorPort = "inpout32.dll não disponível.";

// EXECUTA: why the program could not be started, from the system's error;
// the program's name follows.
inline constexpr std::string_view kMsgProgramNotFound = "Programa não encontrado: ";
inline constexpr std::string_view kMsgProgramNoPermission = "Sem permissão para executar o programa: ";
inline constexpr std::string_view kMsgProgramNotRunnable = "O arquivo não é um programa executável: ";
inline constexpr std::string_view kMsgProgramNoProcess =
    "O sistema não pode criar mais processos (limite de processos atingido): ";
inline constexpr std::string_view kMsgProgramNoMemory = "Memória insuficiente para executar o programa: ";
inline constexpr std::string_view kMsgProgramNoFiles = "Arquivos abertos demais para executar o programa: ";
inline constexpr std::string_view kMsgProgramTooMany =
    "Programas demais em execução para vigiar (máximo 1024): ";
inline constexpr std::string_view kMsgProgramStartError = "Não foi possível executar o programa: ";

// Files and folders.
inline constexpr std::string_view kMsgFileOpenError = "Erro na abertura do arquivo ";
inline constexpr std::string_view kMsgFileCloseError = "Erro no fechamento do arquivo";
inline constexpr std::string_view kMsgFileProcessingError = "Erro no processamento de arquivo";
inline constexpr std::string_view kMsgFileWriteError = "Erro na escrita de arquivo ";
inline constexpr std::string_view kMsgFileDeleteError = "Erro no apagamento do arquivo ";
inline constexpr std::string_view kMsgFolderError = "Erro no processamento do diretório ";

// The message with {0}, {1}, ... replaced by the values in that order.
std::string Filled(std::string_view message, std::initializer_list<std::string_view> values);

// Writes the message (UTF-8 source text, plus an optional Latin-1 tail) as
// a console line and speaks it with the run's speech facade.
void SayLine(InterpreterState& in, std::string_view utf8_message, std::string_view latin1_tail = {});

}  // namespace kal
