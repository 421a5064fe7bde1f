// The command table: every command word of the language, in dispatch order,
// with its handler. Accented words are separate entries beside their plain
// forms (TÍTULO and TITULO); the words are Latin-1 bytes. nullptr marks a
// command whose family is not built in: it is refused as an unknown word.
#include "8_interpreter/command_table.h"

#include "8_interpreter/commands.h"

namespace kal {

namespace {

// LE / LÊ: a line, a key (&, TECLA), a channel's line, a program's output,
// the mouse pointer's place.
constexpr std::string_view kLeShape =
    "?&?{MOUSE {TELA|} v v.|RATO {TELA|} v v.|CONSOLE v~|c v~|EDITA v~|MUDO v~|SENHA v~|"
    "TECLA ?&?{EDITA v~|MUDO v~|SENHA v~|v~}|v~}";
// BUSCA var [DIR] pattern | PROXIMO | FIM, or nothing after DIR: the folder.
constexpr std::string_view kBuscaShape =
    "v{DIR {FIM ?r|PROXIMO.|PR\xD3XIMO.|?o.}|FIM ?r|PROXIMO.|PR\xD3XIMO.|o.}";

}  // namespace

const CommandEntry kCommandTable[] = {
    {"MIDI", CmdMidi, "{INICIA.|TERMINA.|PANE.|NL n(1:16) n(0:127) n(0:127).|ND n(1:16) n(0:127).|TT n(1:16) n(0:127).}"},
    {"DEBUG", CmdDebug, "?r"},
    {"SEJA", CmdSeja},
    {"TELA", CmdTela, "{LIMPA.|MINIMIZADA.|NORMAL.|p}"},
    {"COR", CmdCor, "n~"},
    {"FUNDO", CmdFundo, "n~"},
    {"ABRE", CmdAbre, "&c o~"},
    {"FECHA", CmdFecha, "c~"},
    {"INTERNET", CmdInternet, "{INICIA.|TERMINA.}"},
    {"CONECTA", CmdConecta, "{SSL %c o n~|%c o n~}"},
    {"ATIVASSL", CmdAtivaSsl, "c~"},
    {"SERVE", CmdServe, "c n~"},
    {"OBSERVA", CmdObserva, "{TECLADO v.|c v.}"},
    {"ESCREVE", CmdEscreve, "&{k j|MUDO j|j}"},
    {"BIPA", CmdBipa, "?o~"},
    {"SOMA", CmdSoma, "vn~"},
    {"SUBTRAI", CmdSubtrai, "vn."},
    {"MULTIPLICA", CmdMultiplica, "vn."},
    {"DIVIDE", CmdDivide, "vn(/)."},
    {"CONCATENA", CmdConcatena, "vo."},
    {"COPIA", CmdCopia, "vvuu~"},
    {"SOLETRA", CmdSoletra, "r"},
    {"LISTA", CmdLista, "l{CRIA.|APAGA.|TAMANHO v~|ITEM n v~|ADICIONA o~|DELETA o~}"},
    {"FALAHORA", CmdFalaHora, "o~"},
    {"TITULO", CmdTitulo, "r"},
    {"T\xCD""TULO", CmdTitulo, "r"},  // TÍTULO
    {"DELETA", CmdDeleta, "vuu~"},
    {"SUBSTITUI", CmdSubstitui, "voo~"},
    {"TOCA", CmdToca, "&o."},
    {"FALA", CmdFala, "&j"},
    {"MCI", CmdMci, "vo."},
    {"L\xCA", CmdLe, kLeShape},  // LÊ
    {"LE", CmdLe, kLeShape},
    {"CHECA", CmdCheca, "v."},
    {"REMOVE", CmdRemove, "&o~"},
    {"RENOMEIA", CmdRenomeia, "&o o."},
    {"REPLICA", CmdReplica, "&o o."},
    {"CMD", CmdCmd, "o."},
    {"ESPERA", CmdEspera, "{MS n?r|n?r}"},
    {"ENVIACMD", CmdEnviaCmd, "o~"},
    {"DIGITA", CmdDigita, "&o."},
    {"ACIONA", CmdAciona, "o."},
    {"CLICA", CmdClica, "{DUPLO|NULO|}{TELA|}u,u~"},
    {"CAPTURA", CmdCaptura, "w v~"},
    {"TRANSFERE", CmdTransfere, "{DE v.|PARA v.}"},
    {"JANELA", CmdJanela, "w o~"},
    {"DESVIA", CmdDesvia},
    {"SE", CmdSe},
    {"SENAO", CmdSenao},
    {"SEN\xC3""O", CmdSenao},  // SENÃO
    {"ENQUANTO", CmdEnquanto},
    {"REPETE", CmdRepete, "vn~"},
    {"FIM", CmdFim},
    {"EXECUTA", CmdExecuta, "&o."},
    {"EXISTEPROG", CmdExisteProg, "o v?{v~|r}"},
    {"ALARME", CmdAlarme, "n(0:20000) n(0:20000)~"},
    {"GRAVABYTES", CmdGravaBytes, "~"},
    {"ESCREVEBYTE", CmdEscreveByte, "o~"},
    {"LEBYTE", CmdLeByte, "o o o~"},
    {"LIMPABYTES", CmdLimpaBytes, "~"},
    {"FECHABIN", CmdFechaBin, "~"},
    {"CRIABIN", CmdCriaBin, "o~"},
    {"TAMARQ", CmdTamArq, "o v~"},
    {"HTAMARQ", CmdHTamArq, "o v~"},
    {"DIR", CmdDir, "&{CRIA o.|REMOVE o.|TROCA o.}"},
    {"BUSCA", CmdBusca, kBuscaShape},
    {"TERMINA", CmdTermina, "?r"},
    {"CHAMA", CmdChama},
    {"RETORNA", CmdRetorna, "."},
    {"RANDOMIZA", CmdRandomiza, "."},
    {"IP", CmdIp, "{LOCAL c v~|REMOTO c v~}"},
    {"MSAA", CmdMsaa, "{MONITORA~|FIM~|CHECA v~|CAPTURA u u~|AREA v v v v~|NOME v~|TIPO v~|ESTADO v~|VALOR v~|CODIGO v~|C\xD3""DIGO v~}"},
    {"MENU", CmdMenu, "{CRIA u u u u.|ADICIONA o.|EXECUTA v v v.|TERMINA.}"},
    {"IMAGEM", CmdImagem, "?&o?u u."},
    {"SENSOR", CmdSensor, "v~"},
    {"ANSIPARAUTF8", CmdAnsiParaUtf8, "v~"},
    {"UTF8PARAANSI", CmdUtf8ParaAnsi, "v~"},
    {"HTTP", CmdHttp, "v~"},
    {"TRAZDAREDE", CmdTrazDaRede, "o o o o o v~"},
    {"HANDLE", CmdHandle, "v~"},
    {"MENSAGEM", CmdMensagem, "o~"},
    {"CODBASE64", CmdCodBase64, "v~"},
    {"REMOVEQUOTED", CmdRemoveQuoted, "v~"},
    {"ADQUOTED", CmdAdQuoted, "v~"},
    {"CODARQBASE64", CmdCodArqBase64, "o o~"},
    {"DECODARQBASE64", CmdDecodArqBase64, "o o~"},
    {"DECODBASE64", CmdDecodBase64, "v~"},
    {"ENCERRAPROG", CmdEncerraProg, "o."},  // ends a program the script started
};

const int kCommandCount = static_cast<int>(sizeof kCommandTable / sizeof kCommandTable[0]);

}  // namespace kal
