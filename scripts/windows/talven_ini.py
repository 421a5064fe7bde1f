#!/usr/bin/env python3
"""The Talven.ini shipped for Windows: data/Talven.ini with the comment lines
that describe the Linux host (the drives folder, the configuration folder,
the ALSA sequencer, the Linux place of MBROLA's voices, the terminal)
replaced by what holds on Windows, and CR LF line ends.

Usage: talven_ini.py IN OUT

Every replaced passage must be found as it is written here, so that a
change of data/Talven.ini is noticed here rather than shipped half
translated; and no Linux word may be left in the result.
"""
import sys

REPLACEMENTS = [
    ("""; do guia (/usr/share/doc/kaldorin/guia.html).
""", """; do guia que vem com o programa.
"""),
    ("""; Instalado como C:\\windows\\Talven.ini, isto é, <drives>/c/windows/Talven.ini
; (pasta das unidades: $TALVEN_DRIVES, ou ~/.local/share/talven/drives).
; Uma cópia pessoal em ~/.config/Talven/Talven.ini ($XDG_CONFIG_HOME/Talven),
; quando existe, vale no lugar desta.
""", """; Instalado como C:\\windows\\Talven.ini (o instalador só o põe lá quando
; ainda não há um). Uma cópia pessoal em %APPDATA%\\Talven\\Talven.ini,
; quando existe, vale no lugar desta.
"""),
    ("""; Pastas são escritas do jeito do Windows: c:\\ferlan\\som é
; <drives>/c/ferlan/som, e maiúsculas e minúsculas tanto faz. Um valor pode
; começar com um prefixo, trocado na leitura:
""", """; Pastas são pastas do Windows (c:\\ferlan\\som); maiúsculas e minúsculas
; tanto faz. Um valor pode começar com um prefixo, trocado na leitura:
"""),
    (""";   SAIDAMIDI       para onde o comando MIDI manda as notas: uma porta do
;                   sequenciador ALSA, em números "cliente:porta" (128:0) ou
;                   pelo nome do cliente (a lista: aconnect -o). Vazio: o
;                   sintetizador do programa toca, junto com os outros sons.
;   BANCODESONS     o banco de sons (.sf2) desse sintetizador. Vazio: o
;                   banco General MIDI do sistema
;                   (/usr/share/sounds/sf2/default-GM.sf2).
""", """;   SAIDAMIDI       para onde o comando MIDI manda as notas: um dos
;                   dispositivos de saída MIDI, pelo nome ou pelo número
;                   (0 para o primeiro). Vazio: o mapeador MIDI do sistema.
"""),
    (""";   JANELA          S: o console é uma janela própria na área de trabalho,
;                   como com --window (N: o terminal). Uma fonte de FONTE
""", """;   JANELA          S: o console é uma janela própria na área de trabalho,
;                   como com --window (N: o console). Uma fonte de FONTE
"""),
    (""";   TIPOSAPI        3 Orvan (fala do próprio programa); 4, 5 e 54 vozes do
;                   sistema.
;   VOZ, VELOCIDADE, TOM  número da voz, velocidade e tom.
;   MODULO          módulo de saída do servidor de fala para TIPOSAPI 5
;                   (por exemplo espeak-ng; vazio: o padrão do servidor).
;   MODULO54        módulo de saída para TIPOSAPI 54 (vazio: o de MODULO).
""", """;   TIPOSAPI        3 Orvan (fala do próprio programa); 5 e 54 as vozes
;                   SAPI 5 do sistema.
;   VOZ, VELOCIDADE, TOM  número da voz, velocidade e tom.
"""),
    (""";   MBROLA_DB       voz do MBROLA (procurada em /usr/share/mbrola/NOME/NOME).
""", """;   MBROLA_DB       voz do MBROLA (o instalador põe a br3 em
;                   c:\\ferlan\\orvantts\\br3\\; o MBROLA é instalado à
;                   parte).
"""),
    ("""; Programas que os scripts iniciam pelo nome do Windows. A chave é o nome
; sem ".exe"; o valor, a linha de comando que o roda aqui: a primeira
; palavra é o programa, as outras vêm antes dos argumentos do script.
; QUIRAL é o editor de texto da família, que abre o relatório do Zelquora;
; aqui o visualizador falado do kaldorin faz o papel dele.
""", """; Programas que os scripts iniciam pelo nome. A chave é o nome sem ".exe";
; o valor, a linha de comando que o roda no lugar dele: a primeira palavra
; é o programa, as outras vêm antes dos argumentos do script.
; QUIRAL é o editor de texto da família, que abre o relatório do Zelquora;
; o visualizador falado do kaldorin faz o papel dele.
"""),
]

LINUX_WORDS = ["/usr/", "~/", "<drives>", "$XDG", "$TALVEN", "ALSA", "aconnect", "espeak", "speech-dispatcher",
               "terminal", "Linux", "/c/"]


def windows_text(text):
    for old, new in REPLACEMENTS:
        if old not in text:
            raise ValueError("passage not found in Talven.ini: " + old.splitlines()[0])
        text = text.replace(old, new)
    for word in LINUX_WORDS:
        if word in text:
            raise ValueError("a Linux word is left in Talven.ini: " + word)
    return text


def main():
    with open(sys.argv[1], encoding="latin-1", newline="") as f:
        text = f.read().replace("\r\n", "\n")
    try:
        text = windows_text(text)
    except ValueError as e:
        print("talven_ini: %s" % e, file=sys.stderr)
        return 1
    with open(sys.argv[2], "w", encoding="latin-1", newline="") as f:
        f.write(text.replace("\n", "\r\n"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
