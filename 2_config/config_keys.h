// Names of the sections and keys of Talven.ini that this program reads, with
// their defaults where the default is a fixed text. One place, so that every
// reader spells them alike. data/Talven.ini explains each of them.
#pragma once

#include <string_view>

namespace kal::cfg {

// [TALVEN]: settings shared by the whole family.
inline constexpr std::string_view kTalven = "TALVEN";
inline constexpr std::string_view kLegado = "LEGADO";
inline constexpr std::string_view kPgmTalven = "PGMTALVEN";
inline constexpr std::string_view kFalando = "FALANDO";
inline constexpr std::string_view kEcoarOpcao = "ECOAROPCAO";
inline constexpr std::string_view kFalarTudo = "FALARTUDO";
inline constexpr std::string_view kBipsClecsCurtos = "BIPSCLECSCURTOS";
inline constexpr std::string_view kProgHtm = "PROG.HTM";
inline constexpr std::string_view kProgPrefix = "PROG.";  // + extension in upper case
inline constexpr std::string_view kTempoEsperaProgVoltar = "TEMPOESPERAPROGVOLTAR";
inline constexpr std::string_view kTimeoutRede = "TIMEOUT_REDE";
// N: TLS connections accept any certificate (on when absent).
inline constexpr std::string_view kVerificaCertificado = "VERIFICACERTIFICADO";

// [KALDORIN]: the interpreter.
inline constexpr std::string_view kKaldorin = "KALDORIN";
inline constexpr std::string_view kDirKaldorin = "DIRKALDORIN";

// [VIDEO]: the console window (read with ReadConfigDirect).
inline constexpr std::string_view kVideo = "VIDEO";
inline constexpr std::string_view kTabCores = "TABCORES";
inline constexpr std::string_view kTabCoresDefault = "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15";
inline constexpr std::string_view kCoresFixas = "CORESFIXAS";
inline constexpr std::string_view kLento = "LENTO";
inline constexpr std::string_view kCorFundo = "CORFUNDO";
inline constexpr std::string_view kCorLetra = "CORLETRA";
inline constexpr std::string_view kFonte = "FONTE";
inline constexpr std::string_view kLarguraLetra = "LARGURALETRA";
inline constexpr std::string_view kAlturaLetra = "ALTURALETRA";
inline constexpr std::string_view kPesoLetra = "PESOLETRA";
inline constexpr std::string_view kCantoTela = "CANTOTELA";

// [BRAILLE] (direct).
inline constexpr std::string_view kBraille = "BRAILLE";
inline constexpr std::string_view kModo = "MODO";

// [BAIXAVISAO]: the low-vision magnifier strip.
inline constexpr std::string_view kBaixaVisao = "BAIXAVISAO";
inline constexpr std::string_view kAmpliacao = "AMPLIACAO";
inline constexpr std::string_view kCorCursor = "CORCURSOR";  // with kCorLetra, kCorFundo

// [TRADUTOR]: speech.
inline constexpr std::string_view kTradutor = "TRADUTOR";
inline constexpr std::string_view kVelocidade = "VELOCIDADE";
inline constexpr std::string_view kDirLetras = "DIRLETRAS";
inline constexpr std::string_view kDirLetrasDirect = "dirLetras";  // same key, read direct
inline constexpr std::string_view kDirLetrasDefault = "c:\\ferlan\\som\\letras";
inline constexpr std::string_view kDirDifones = "DIRDIFONES";
inline constexpr std::string_view kDirDifonesDefault = "c:\\ferlan\\som\\difones";
inline constexpr std::string_view kSapi = "SAPI";
inline constexpr std::string_view kSaidaDeAudio = "SAIDADEAUDIO";

// [SERVFALA]: the speech server voice.
inline constexpr std::string_view kServFala = "SERVFALA";
inline constexpr std::string_view kVoz = "VOZ";
inline constexpr std::string_view kTom = "TOM";
inline constexpr std::string_view kTipoSapi = "TIPOSAPI";  // with kVelocidade
// Output modules of the speech server for kinds 5 and 54 (empty: the
// server's default; the 5.4 voice falls back to MODULO).
inline constexpr std::string_view kModulo = "MODULO";
inline constexpr std::string_view kModulo54 = "MODULO54";

// [SINTETIZADOR]: the recorded voice, one set per speed 1-5 (name + digit).
inline constexpr std::string_view kSintetizador = "SINTETIZADOR";
inline constexpr std::string_view kDifones = "DIFONES";
inline constexpr std::string_view kCorteFon = "CORTEFON";
inline constexpr std::string_view kSobraFon = "SOBRAFON";
inline constexpr std::string_view kInterPal = "INTERPAL";
inline constexpr std::string_view kCortaFala = "CORTAFALA";
inline constexpr std::string_view kRapidinho = "RAPIDINHO";
inline constexpr std::string_view kPausaPonto = "PAUSAPONTO";
inline constexpr std::string_view kPausaVirg = "PAUSAVIRG";
inline constexpr std::string_view kPausaDoisPontos = "PAUSADOISPONTOS";

// [ORVANTTS]: the built-in text-to-speech engine.
inline constexpr std::string_view kOrvanTts = "ORVANTTS";
inline constexpr std::string_view kMbrolaDb = "MBROLA_DB";
inline constexpr std::string_view kMbrolaDbDefault = "br4";
inline constexpr std::string_view kDir = "DIR";
inline constexpr std::string_view kDirDefault = "\\ferlan\\orvantts\\";
inline constexpr std::string_view kBase = "BASE";
inline constexpr std::string_view kBaseDefault = "portug";

}  // namespace kal::cfg
