// Spoken names of single characters: printable ASCII, the Latin-1 signs
// and the Latin-1 capitals; lower-case accented letters take the name of
// their capital.
#include "4_voices/orvan/text_normaliser.h"

#include <array>

#include "0_base/latin1.h"

namespace kal::orvan {

namespace {

// Index 0 is code 32. Letters are listed once (upper case) and shared.
const char* const kPrintable[95] = {
    "espaço", "exclamação", "aspas", "sustenido", "cifrão", "porcento", "é comercial", "apóstrofo",
    "abre parênteses", "fecha parênteses", "asterisco", "mais", "vírgula", "traço", "ponto", "barra",
    "zéro", "um", "dois", "três", "quatro", "cinco", "seis", "séte", "oito", "nóve",
    "dois pontos", "ponto e vírgula", "menor que", "igual", "maior que", "interrogação", "arrôba",
    "a", "bê", " sê", " dê", "é", "éfe", "jê", "agá", "i", "jóta", "cá", "éle", "ême", "êne", "ó",
    "pê", "quê", "érre", "ésse", "tê", "u", "vê", "dábliu", "xis", "ípsilon", "zê",
    "abre colchete", "raiz", "fecha colchete", "circunflexo", "sublinhado", "crase",
    "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
    "", "",  // a-z: shared with A-Z
    "abre chave", "barra vertical", "fecha chave", "til"};

const char* const kSigns[31] = {
    "exclamação reversa", "centavos de dólar", "libras", "símbolo de moeda", "iene",
    "barra interrompida", "parágrafo", "trema", "copyright", "ordinal feminino", "Aspas esquerdas",
    "negação", "hífen", "Marca registrada", "mácron", "grau", "mais ou menos",
    "elevado ao quadrado", "elevado ao cubo", "acento agudo", "mi", "pi", "ponto no meio", "cedilha",
    "expoente um", "ordinal masculino", "aspas direitas", "um quarto", "um meio", "três quartos",
    "interrogação reversa"};

const char* const kCapitals[29] = {
    "A grave", "A agudo", "A circunflexo", "A com til", "A com trema", "A bola", "A É",
    "Cê cedilha", "É grave", "É agudo", "É circunflexo", "É com trema", "I grave", "I agudo",
    "I circunflexo", "I com trema", "Dê cortado", "N com til", "Ó grave", "Ó agudo",
    "Ó circunflexo", "Ó com til", "Ó tremado", "vezes", "Ó cortado", "U grave", "U agudo",
    "U circunflexo", "U com trema"};

// All names as Latin-1, indexed by character code.
const std::array<std::string, 256>& Names() {
  static const std::array<std::string, 256> kNames = [] {
    std::array<std::string, 256> n;
    for (int c = 32; c <= 126; ++c) {
      int code = (c >= 'a' && c <= 'z') ? c - 0x20 : c;
      n[c] = L1(kPrintable[code - 32]);
    }
    for (int c = 161; c <= 191; ++c) n[c] = L1(kSigns[c - 161]);
    for (int c = 192; c <= 220; ++c) n[c] = L1(kCapitals[c - 192]);
    for (int c = 224; c <= 255; ++c) n[c] = n[c - 32];
    return n;
  }();
  return kNames;
}

}  // namespace

std::string SymbolName(unsigned char c) { return Names()[c]; }

}  // namespace kal::orvan
