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
    ("""; Installed as C:\\windows\\Talven.ini, that is <drives>/c/windows/Talven.ini
; (drives folder: $TALVEN_DRIVES, default ~/.local/share/talven/drives).
; A personal copy in ~/.config/Talven/Talven.ini ($XDG_CONFIG_HOME/Talven),
; when present, is used instead of this one.
""", """; Installed as C:\\windows\\Talven.ini (the installer puts it there only when
; none is there yet). A personal copy in %APPDATA%\\Talven\\Talven.ini, when
; present, is used instead of this one.
"""),
    ("""; Folders are written the Windows way: c:\\ferlan\\som is
; <drives>/c/ferlan/som, and letter case does not matter. A value may start
""", """; Folders are Windows folders (c:\\ferlan\\som); letter case does not
; matter. A value may start
"""),
    (""";   SAIDAMIDI       where the MIDI command sends its notes: a port of the ALSA
;                   sequencer, as "client:port" numbers (128:0) or a client's
;                   name (the list: aconnect -o). Empty: the synthesizer in
;                   the program plays them, mixed with the other sounds.
;   BANCODESONS     the sound font (.sf2) of that synthesizer. Empty: the
;                   system's General MIDI font
;                   (/usr/share/sounds/sf2/default-GM.sf2).
""", """;   SAIDAMIDI       where the MIDI command sends its notes: one of the MIDI
;                   output devices, by its name or its number (0 for the
;                   first). Empty: the system's MIDI mapper.
"""),
    (""";   JANELA          S: the console is a window of its own on the desktop, as
;                   with --window (N: the terminal). A font named in FONTE
""", """;   JANELA          S: the console is a window of its own on the desktop, as
;                   with --window (N: the console). A font named in FONTE
"""),
    (""";   TIPOSAPI        3 Orvan (built-in text-to-speech); 4, 5 and 54 system
;                   voices.
;   VOZ, VELOCIDADE, TOM  voice number, rate and pitch.
;   MODULO          output module of the speech server for TIPOSAPI 5
;                   (e.g. espeak-ng; empty: the server's default).
;   MODULO54        output module for TIPOSAPI 54 (empty: as MODULO).
""", """;   TIPOSAPI        3 Orvan (built-in text-to-speech); 5 and 54 the
;                   system's SAPI 5 voices.
;   VOZ, VELOCIDADE, TOM  voice number, rate and pitch.
"""),
    (""";   MBROLA_DB       MBROLA voice (found in /usr/share/mbrola/NAME/NAME).
""", """;   MBROLA_DB       MBROLA voice (the installer puts br3 in
;                   c:\\ferlan\\orvantts\\br3\\; MBROLA itself is installed
;                   apart).
"""),
    ("""; Programs that scripts start by their Windows names. The key is the name
; without ".exe", the value the command line that runs it here: its first
; word is the program, the other words go before the script's arguments.
; QUIRAL is the family's text editor, which opens the Zelquora report; here
; the speaking text viewer of kaldorin stands in for it.
""", """; Programs that scripts start by their names. The key is the name without
; ".exe", the value the command line that runs it instead: its first word
; is the program, the other words go before the script's arguments.
; QUIRAL is the family's text editor, which opens the Zelquora report; the
; speaking text viewer of kaldorin stands in for it.
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
