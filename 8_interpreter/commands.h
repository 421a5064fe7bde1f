// Every command handler of the language, by family. A handler receives the
// interpreter it runs in and the argument text (the rest of the line after
// the command word, trimmed), reads its operands with the readers of
// 8_interpreter/operands.h, and returns whether the line succeeded; a
// handler with something to tell the user says it (SayLine /
// WriteLineAndSpeak) before failing.
//
// The dispatch table (command_table.cpp) maps every command word to one of
// these. A family not built yet has nullptr there, which dispatches like an
// unknown word; adding a family means defining its handlers and naming them
// in the table.
#pragma once

#include <string_view>

namespace kal {

struct InterpreterState;

using CommandHandler = bool (*)(InterpreterState& in, std::string_view args);

// Control flow
bool CmdSe(InterpreterState& in, std::string_view args);
bool CmdSenao(InterpreterState& in, std::string_view args);
bool CmdEnquanto(InterpreterState& in, std::string_view args);
bool CmdRepete(InterpreterState& in, std::string_view args);
bool CmdFim(InterpreterState& in, std::string_view args);
bool CmdDesvia(InterpreterState& in, std::string_view args);
bool CmdChama(InterpreterState& in, std::string_view args);
bool CmdRetorna(InterpreterState& in, std::string_view args);
bool CmdTermina(InterpreterState& in, std::string_view args);

// Dispatcher
bool CmdDebug(InterpreterState& in, std::string_view args);

// Text and arithmetic
bool CmdSeja(InterpreterState& in, std::string_view args);
// Whether SEJA's value text (after the variable and '=') begins with one of
// its built-in values rather than an operand.
bool NamesBuiltInValue(std::string_view args);
bool CmdSoma(InterpreterState& in, std::string_view args);
bool CmdSubtrai(InterpreterState& in, std::string_view args);
bool CmdMultiplica(InterpreterState& in, std::string_view args);
bool CmdDivide(InterpreterState& in, std::string_view args);
bool CmdConcatena(InterpreterState& in, std::string_view args);
bool CmdCopia(InterpreterState& in, std::string_view args);
bool CmdDeleta(InterpreterState& in, std::string_view args);
bool CmdSubstitui(InterpreterState& in, std::string_view args);
bool CmdRandomiza(InterpreterState& in, std::string_view args);

// Console
bool CmdEscreve(InterpreterState& in, std::string_view args);
bool CmdLe(InterpreterState& in, std::string_view args);
bool CmdFala(InterpreterState& in, std::string_view args);
bool CmdSoletra(InterpreterState& in, std::string_view args);
bool CmdFalaHora(InterpreterState& in, std::string_view args);
bool CmdEspera(InterpreterState& in, std::string_view args);
bool CmdTitulo(InterpreterState& in, std::string_view args);
bool CmdCor(InterpreterState& in, std::string_view args);
bool CmdFundo(InterpreterState& in, std::string_view args);
bool CmdTela(InterpreterState& in, std::string_view args);

// Files and directories
bool CmdAbre(InterpreterState& in, std::string_view args);
bool CmdFecha(InterpreterState& in, std::string_view args);
bool CmdCheca(InterpreterState& in, std::string_view args);
bool CmdRemove(InterpreterState& in, std::string_view args);
bool CmdRenomeia(InterpreterState& in, std::string_view args);
bool CmdReplica(InterpreterState& in, std::string_view args);
bool CmdDir(InterpreterState& in, std::string_view args);
bool CmdBusca(InterpreterState& in, std::string_view args);
bool CmdTamArq(InterpreterState& in, std::string_view args);
bool CmdHTamArq(InterpreterState& in, std::string_view args);
bool CmdCriaBin(InterpreterState& in, std::string_view args);
bool CmdEscreveByte(InterpreterState& in, std::string_view args);
bool CmdLeByte(InterpreterState& in, std::string_view args);
bool CmdGravaBytes(InterpreterState& in, std::string_view args);
bool CmdLimpaBytes(InterpreterState& in, std::string_view args);
bool CmdFechaBin(InterpreterState& in, std::string_view args);

// Programs
bool CmdExecuta(InterpreterState& in, std::string_view args);
bool CmdExisteProg(InterpreterState& in, std::string_view args);
bool CmdEncerraProg(InterpreterState& in, std::string_view args);
bool CmdEnviaCmd(InterpreterState& in, std::string_view args);
bool CmdCmd(InterpreterState& in, std::string_view args);

// Network
bool CmdInternet(InterpreterState& in, std::string_view args);
bool CmdConecta(InterpreterState& in, std::string_view args);
bool CmdAtivaSsl(InterpreterState& in, std::string_view args);
bool CmdServe(InterpreterState& in, std::string_view args);
bool CmdObserva(InterpreterState& in, std::string_view args);
bool CmdTrazDaRede(InterpreterState& in, std::string_view args);
bool CmdIp(InterpreterState& in, std::string_view args);

// Lists
bool CmdLista(InterpreterState& in, std::string_view args);

// Window automation
bool CmdDigita(InterpreterState& in, std::string_view args);
bool CmdAciona(InterpreterState& in, std::string_view args);
bool CmdClica(InterpreterState& in, std::string_view args);
bool CmdCaptura(InterpreterState& in, std::string_view args);
bool CmdTransfere(InterpreterState& in, std::string_view args);
bool CmdJanela(InterpreterState& in, std::string_view args);
bool CmdMsaa(InterpreterState& in, std::string_view args);
bool CmdHandle(InterpreterState& in, std::string_view args);
// LE MOUSE / LE RATO: the argument of LE, starting with the word.
bool LeMouse(InterpreterState& in, std::string_view args);

// Sounds
bool CmdBipa(InterpreterState& in, std::string_view args);
bool CmdAlarme(InterpreterState& in, std::string_view args);
bool CmdToca(InterpreterState& in, std::string_view args);
bool CmdMci(InterpreterState& in, std::string_view args);
bool CmdMidi(InterpreterState& in, std::string_view args);
bool CmdMensagem(InterpreterState& in, std::string_view args);

// Encodings
bool CmdAnsiParaUtf8(InterpreterState& in, std::string_view args);
bool CmdUtf8ParaAnsi(InterpreterState& in, std::string_view args);
bool CmdHttp(InterpreterState& in, std::string_view args);
bool CmdCodBase64(InterpreterState& in, std::string_view args);
bool CmdDecodBase64(InterpreterState& in, std::string_view args);
bool CmdAdQuoted(InterpreterState& in, std::string_view args);
bool CmdRemoveQuoted(InterpreterState& in, std::string_view args);
bool CmdCodArqBase64(InterpreterState& in, std::string_view args);
bool CmdDecodArqBase64(InterpreterState& in, std::string_view args);

// Menu, picture and sensors
bool CmdMenu(InterpreterState& in, std::string_view args);
bool CmdImagem(InterpreterState& in, std::string_view args);
bool CmdSensor(InterpreterState& in, std::string_view args);

}  // namespace kal
