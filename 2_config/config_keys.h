// The sections and keys of Talven.ini that this program reads, each once,
// with its default where the program has one. One place, so that every
// reader spells them alike and a default is never written two ways.
// data/Talven.ini explains each of them.
//
// An entry names the section, the key and the default: `def` is the text
// that stands for an absent (or, for ReadConfigDefault, empty) value; `number`
// the default of a numeric key. Keys read with a suffix (the speed digit of
// SINTETIZADOR, the extension of PROG.) are stems: the reader appends it.
#pragma once

#include <cstdint>
#include <string_view>

namespace kal::cfg {

struct ConfigKey {
  std::string_view section;
  std::string_view name;
  std::string_view def = {};
  int32_t number = 0;
};

// --- Sections ---------------------------------------------------------------------

inline constexpr std::string_view kTalven = "TALVEN";          // shared by the whole family
inline constexpr std::string_view kKaldorin = "KALDORIN";      // the interpreter
inline constexpr std::string_view kProgramas = "PROGRAMAS";    // program name -> host program
inline constexpr std::string_view kVideo = "VIDEO";            // the console window (direct)
inline constexpr std::string_view kBraille = "BRAILLE";        // (direct)
inline constexpr std::string_view kBaixaVisao = "BAIXAVISAO";  // the low-vision magnifier strip
inline constexpr std::string_view kTradutor = "TRADUTOR";      // speech
inline constexpr std::string_view kServFala = "SERVFALA";      // the speech server voice
inline constexpr std::string_view kSintetizador = "SINTETIZADOR";  // the recorded voice, per speed
inline constexpr std::string_view kOrvanTts = "ORVANTTS";      // the built-in text-to-speech engine
inline constexpr std::string_view kZelquora = "ZELQUORA";      // the embedded application

// --- [TALVEN] ---------------------------------------------------------------------

inline constexpr ConfigKey kLegado{kTalven, "LEGADO"};
inline constexpr ConfigKey kPgmTalven{kTalven, "PGMTALVEN"};
inline constexpr ConfigKey kFalando{kTalven, "FALANDO", "Sim"};
inline constexpr ConfigKey kEcoarOpcao{kTalven, "ECOAROPCAO", "Sim"};
inline constexpr ConfigKey kFalarTudo{kTalven, "FALARTUDO", "Sim"};
inline constexpr ConfigKey kBipsClecsCurtos{kTalven, "BIPSCLECSCURTOS", "NAO"};
inline constexpr ConfigKey kProgHtm{kTalven, "PROG.HTM"};
inline constexpr ConfigKey kProgPrefix{kTalven, "PROG."};  // stem: + extension in upper case
inline constexpr ConfigKey kTempoEsperaProgVoltar{kTalven, "TEMPOESPERAPROGVOLTAR"};
inline constexpr ConfigKey kTimeoutRede{kTalven, "TIMEOUT_REDE"};
// N: TLS connections accept any certificate (on when absent).
inline constexpr ConfigKey kVerificaCertificado{kTalven, "VERIFICACERTIFICADO"};

// --- [KALDORIN] -------------------------------------------------------------------

inline constexpr ConfigKey kDirKaldorin{kKaldorin, "DIRKALDORIN"};
// MIDI goes to this ALSA sequencer port ("128:0", or a client's name) instead
// of the synthesizer in the program (empty: the synthesizer). Windows: a MIDI
// output device's name or number instead of the MIDI mapper.
inline constexpr ConfigKey kSaidaMidi{kKaldorin, "SAIDAMIDI"};
// The synthesizer's sound font (empty: the system's General MIDI font).
inline constexpr ConfigKey kBancoDeSons{kKaldorin, "BANCODESONS"};

// --- [VIDEO] and [BRAILLE]: read with ReadConfigDirect ----------------------------

inline constexpr ConfigKey kTabCores{kVideo, "TABCORES", "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15"};
inline constexpr ConfigKey kCoresFixas{kVideo, "CORESFIXAS", "N"};
inline constexpr ConfigKey kLento{kVideo, "LENTO", "N"};
inline constexpr ConfigKey kCorFundo{kVideo, "CORFUNDO", "0", 0};
inline constexpr ConfigKey kCorLetra{kVideo, "CORLETRA", "15", 15};
inline constexpr ConfigKey kFonte{kVideo, "FONTE", "Lucida Console"};
inline constexpr ConfigKey kLarguraLetra{kVideo, "LARGURALETRA"};
inline constexpr ConfigKey kAlturaLetra{kVideo, "ALTURALETRA"};
inline constexpr ConfigKey kPesoLetra{kVideo, "PESOLETRA"};
inline constexpr ConfigKey kCantoTela{kVideo, "CANTOTELA", "SIM"};
// S: the console is a window of its own on the desktop (as --window).
inline constexpr ConfigKey kJanela{kVideo, "JANELA", "N"};
inline constexpr ConfigKey kBrailleModo{kBraille, "MODO", "0"};

// --- [BAIXAVISAO]: absent or empty values take the number ---------------------------

inline constexpr ConfigKey kAmpliacao{kBaixaVisao, "AMPLIACAO", {}, 3};  // 3: a value that is no factor
inline constexpr ConfigKey kLupaCorLetra{kBaixaVisao, "CORLETRA", {}, 14};
inline constexpr ConfigKey kLupaCorFundo{kBaixaVisao, "CORFUNDO", {}, 6};
inline constexpr ConfigKey kLupaCorCursor{kBaixaVisao, "CORCURSOR", {}, 3};

// --- [TRADUTOR] -------------------------------------------------------------------

inline constexpr ConfigKey kVelocidade{kTradutor, "VELOCIDADE", {}, 3};
inline constexpr ConfigKey kDirLetras{kTradutor, "DIRLETRAS", "c:\\ferlan\\som\\letras"};
// The same key read direct: the word voice's letter folder.
inline constexpr ConfigKey kDirLetrasDirect{kTradutor, "dirLetras"};
inline constexpr ConfigKey kDirDifones{kTradutor, "DIRDIFONES", "c:\\ferlan\\som\\difones"};
inline constexpr ConfigKey kSapi{kTradutor, "SAPI"};
inline constexpr ConfigKey kSaidaDeAudio{kTradutor, "SAIDADEAUDIO"};

// --- [SERVFALA] -------------------------------------------------------------------

inline constexpr ConfigKey kVoz{kServFala, "VOZ"};
inline constexpr ConfigKey kServVelocidade{kServFala, "VELOCIDADE"};
inline constexpr ConfigKey kTom{kServFala, "TOM"};
inline constexpr ConfigKey kTipoSapi{kServFala, "TIPOSAPI"};
// Output modules of the speech server for kinds 5 and 54 (empty: the
// server's default; the 5.4 voice falls back to MODULO).
inline constexpr ConfigKey kModulo{kServFala, "MODULO"};
inline constexpr ConfigKey kModulo54{kServFala, "MODULO54"};

// --- [SINTETIZADOR]: stems, + the speed digit 1-5 ----------------------------------

inline constexpr ConfigKey kDifones{kSintetizador, "DIFONES"};
inline constexpr ConfigKey kCorteFon{kSintetizador, "CORTEFON"};
inline constexpr ConfigKey kSobraFon{kSintetizador, "SOBRAFON"};
inline constexpr ConfigKey kInterPal{kSintetizador, "INTERPAL"};
inline constexpr ConfigKey kCortaFala{kSintetizador, "CORTAFALA"};
inline constexpr ConfigKey kRapidinho{kSintetizador, "RAPIDINHO"};
inline constexpr ConfigKey kPausaPonto{kSintetizador, "PAUSAPONTO", {}, 250};
inline constexpr ConfigKey kPausaVirg{kSintetizador, "PAUSAVIRG", {}, 150};
inline constexpr ConfigKey kPausaDoisPontos{kSintetizador, "PAUSADOISPONTOS", {}, 200};

// --- [ORVANTTS] -------------------------------------------------------------------

inline constexpr ConfigKey kMbrolaDb{kOrvanTts, "MBROLA_DB", "br4"};
inline constexpr ConfigKey kAvisoMbrola{kOrvanTts, "AVISOMBROLA"};
inline constexpr ConfigKey kDir{kOrvanTts, "DIR", "\\ferlan\\orvantts\\"};
inline constexpr ConfigKey kBase{kOrvanTts, "BASE", "portug"};

// --- [ZELQUORA] -------------------------------------------------------------------

inline constexpr ConfigKey kEnderecoBusca{kZelquora, "ENDERECOBUSCA", "https://www.radios.com.br/busca?q="};
inline constexpr ConfigKey kEnderecoPlay{kZelquora, "ENDERECOPLAY", "http://www.radios.com.br/play/"};

}  // namespace kal::cfg
