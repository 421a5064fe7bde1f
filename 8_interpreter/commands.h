// Every command handler of the language, by family. A handler receives the
// argument text (the rest of the line after the command word, trimmed),
// reads its operands with the readers of 8_interpreter/operands.h, and
// returns whether the line succeeded; a handler with something to tell the
// user says it (SayLine / WriteLineAndSpeak) before failing.
//
// The dispatch table (command_table.cpp) maps every command word to one of
// these. A family not built yet has nullptr there, which dispatches like an
// unknown word; adding a family means defining its handlers and naming them
// in the table.
#pragma once

#include <string_view>

namespace kal {

using CommandHandler = bool (*)(std::string_view args);

// Control flow
bool CmdSe(std::string_view args);
bool CmdSenao(std::string_view args);
bool CmdEnquanto(std::string_view args);
bool CmdRepete(std::string_view args);
bool CmdFim(std::string_view args);
bool CmdDesvia(std::string_view args);
bool CmdChama(std::string_view args);
bool CmdRetorna(std::string_view args);
bool CmdTermina(std::string_view args);

// Dispatcher
bool CmdDebug(std::string_view args);

// Text and arithmetic
bool CmdSeja(std::string_view args);
// Whether SEJA's value text (after the variable and '=') begins with one of
// its built-in values rather than an operand.
bool NamesBuiltInValue(std::string_view args);
bool CmdSoma(std::string_view args);
bool CmdSubtrai(std::string_view args);
bool CmdMultiplica(std::string_view args);
bool CmdDivide(std::string_view args);
bool CmdConcatena(std::string_view args);
bool CmdCopia(std::string_view args);
bool CmdDeleta(std::string_view args);
bool CmdSubstitui(std::string_view args);
bool CmdRandomiza(std::string_view args);

// Console
bool CmdEscreve(std::string_view args);
bool CmdLe(std::string_view args);
bool CmdFala(std::string_view args);
bool CmdSoletra(std::string_view args);
bool CmdFalaHora(std::string_view args);
bool CmdEspera(std::string_view args);
bool CmdTitulo(std::string_view args);
bool CmdCor(std::string_view args);
bool CmdFundo(std::string_view args);
bool CmdTela(std::string_view args);

// Files and directories
bool CmdAbre(std::string_view args);
bool CmdFecha(std::string_view args);
bool CmdCheca(std::string_view args);
bool CmdRemove(std::string_view args);
bool CmdRenomeia(std::string_view args);
bool CmdReplica(std::string_view args);
bool CmdDir(std::string_view args);
bool CmdBusca(std::string_view args);
bool CmdTamArq(std::string_view args);
bool CmdHTamArq(std::string_view args);
bool CmdCriaBin(std::string_view args);
bool CmdEscreveByte(std::string_view args);
bool CmdLeByte(std::string_view args);
bool CmdGravaBytes(std::string_view args);
bool CmdLimpaBytes(std::string_view args);
bool CmdFechaBin(std::string_view args);

// Programs
bool CmdExecuta(std::string_view args);
bool CmdExisteProg(std::string_view args);
bool CmdEncerraProg(std::string_view args);
bool CmdEnviaCmd(std::string_view args);
bool CmdCmd(std::string_view args);

// Network
bool CmdInternet(std::string_view args);
bool CmdConecta(std::string_view args);
bool CmdAtivaSsl(std::string_view args);
bool CmdServe(std::string_view args);
bool CmdObserva(std::string_view args);
bool CmdTrazDaRede(std::string_view args);
bool CmdIp(std::string_view args);

// Lists
bool CmdLista(std::string_view args);

// Window automation
bool CmdDigita(std::string_view args);
bool CmdAciona(std::string_view args);
bool CmdClica(std::string_view args);
bool CmdCaptura(std::string_view args);
bool CmdTransfere(std::string_view args);
bool CmdJanela(std::string_view args);
bool CmdMsaa(std::string_view args);
bool CmdHandle(std::string_view args);
// LE MOUSE / LE RATO: the argument of LE, starting with the word.
bool LeMouse(std::string_view args);

// Sounds
bool CmdBipa(std::string_view args);
bool CmdAlarme(std::string_view args);
bool CmdToca(std::string_view args);
bool CmdMci(std::string_view args);
bool CmdMidi(std::string_view args);
bool CmdMensagem(std::string_view args);

// Encodings
bool CmdAnsiParaUtf8(std::string_view args);
bool CmdUtf8ParaAnsi(std::string_view args);
bool CmdHttp(std::string_view args);
bool CmdCodBase64(std::string_view args);
bool CmdDecodBase64(std::string_view args);
bool CmdAdQuoted(std::string_view args);
bool CmdRemoveQuoted(std::string_view args);
bool CmdCodArqBase64(std::string_view args);
bool CmdDecodArqBase64(std::string_view args);

// Menu, picture and sensors
bool CmdMenu(std::string_view args);
bool CmdImagem(std::string_view args);
bool CmdSensor(std::string_view args);

}  // namespace kal
