#!/usr/bin/env python3
"""Smoke test of kaldorin.exe under Wine.

Runs the program headless on a script that writes a file, starts a program
(cmd.exe copying that file), downloads a page from a local HTTP server on
127.0.0.1 and speaks, with its sound going to a wave file; then runs it once
more in its own window on the virtual display, where the screen is read by
pixel (a cell's colours, a bitmap at its place) and keys are typed, the
chord keyboard's among them. Checks the files, the speech log and the sound.

Usage: windows_smoke.py KALDORIN_EXE   (WINE names the Wine program; the
Wine prefix and display come from the environment; KALDORIN_SHOTS names a
folder to keep the window's picture in, as window.ppm)
"""
import http.server
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

WINE = os.environ.get("WINE", "/usr/lib/wine/wine64")
TIMEOUT = 120


def wine_path(path):
    """The Unix path as Wine's drive Z: names it."""
    return "Z:" + path.replace("/", "\\")


def serve(folder):
    handler = lambda *a, **k: http.server.SimpleHTTPRequestHandler(*a, directory=folder, **k)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def environment(work):
    env = dict(os.environ)
    drives = env.get("TALVEN_DRIVES") or os.path.expanduser("~/.local/share/talven/drives")
    config = env.get("XDG_CONFIG_HOME") or os.path.expanduser("~/.config")
    env["TALVEN_DRIVES"] = wine_path(drives)
    env["XDG_CONFIG_HOME"] = wine_path(config)
    env["KALDORIN_AUDIO_FILE"] = wine_path(os.path.join(work, "som.wav"))
    env.setdefault("WINEDEBUG", "-all")
    return env


def write_bmp(path, w, h, rgb):
    """A 24-bit bitmap of one colour."""
    row = bytes([rgb[2], rgb[1], rgb[0]] * w) + b"\0" * ((4 - w * 3 % 4) % 4)
    data = row * h
    header = b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54)
    header += struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + data)


def await_text(path, text, seconds=30):
    end = time.time() + seconds
    while time.time() < end:
        if os.path.exists(path) and text in open(path, encoding="utf-8", errors="replace").read():
            return True
        time.sleep(0.05)
    return False


def set_ini(text, section, key, value):
    """The Talven.ini text with section/key set to value."""
    lines = text.replace("\r\n", "\n").split("\n")
    head = "[%s]" % section
    if head not in lines:
        lines += [head]
    i = lines.index(head) + 1
    while i < len(lines) and not lines[i].startswith("["):
        if lines[i].split("=")[0].strip().upper() == key:
            del lines[i]
            continue
        i += 1
    lines.insert(lines.index(head) + 1, "%s=%s" % (key, value))
    return "\r\n".join(lines)


# Cells of 10 x 20 pixels, the chord keyboard in mode 1 from the start, and
# the magnified strip three times larger.
WINDOW_SETTINGS = [("VIDEO", "LARGURALETRA", "10"), ("VIDEO", "ALTURALETRA", "20"), ("BRAILLE", "MODO", "1"),
                   ("BAIXAVISAO", "AMPLIACAO", "3")]
CELL_W, CELL_H = 10, 20

WINDOW_SCRIPT = (
    'titulo "janela wine"\r\n'
    'tela limpa\r\n'
    'fundo 1\r\n'
    'escreve "pronto"\r\n'
    'imagem "fig.bmp" 300 200\r\n'
    'handle $h\r\n'
    'fala "janela " $h\r\n'
    'le tecla $k\r\nfala "tecla " $k\r\n'
    'le tecla $k\r\nfala "tecla " $k\r\n'
    'fundo 0\r\nfala "campo"\r\nle $nome\r\nfala "nome " $nome\r\n'
    'termina\r\n')


def window_settings(work, env):
    """A private Talven.ini: the installed one with WINDOW_SETTINGS."""
    drives = os.environ.get("TALVEN_DRIVES") or os.path.expanduser("~/.local/share/talven/drives")
    with open(os.path.join(drives, "c", "windows", "Talven.ini"), encoding="latin-1") as f:
        text = f.read()
    for section, key, value in WINDOW_SETTINGS:
        text = set_ini(text, section, key, value)
    folder = os.path.join(work, "config", "Talven")
    os.makedirs(folder)
    with open(os.path.join(folder, "Talven.ini"), "w", encoding="latin-1", newline="") as f:
        f.write(text)
    env = dict(env)
    env["XDG_CONFIG_HOME"] = wine_path(os.path.join(work, "config"))
    return env


def chord(screen, keys):
    for k in keys:
        screen.key(k, True)
    for k in keys:
        screen.key(k, False)


def check_window_pixels(screen, failures):
    """The cells written on background 1 (blue in the colour table) begin at
    the grid's corner; the bitmap lies 300, 200 pixels from it."""
    corner = screen.find((0, 0, 255), step=1)
    check(corner is not None, "a cell shows the colour table's blue", failures)
    if not corner:
        return None
    x, y = corner
    green = (0, 200, 0)
    if os.environ.get("KALDORIN_SHOTS"):
        screen.save_ppm(os.path.join(os.environ["KALDORIN_SHOTS"], "window.ppm"))
    check(screen.pixel(x + 300, y + 200) == green and screen.pixel(x + 305, y + 203) == green,
          "the bitmap is drawn at its pixel position", failures)
    check(screen.pixel(x + 306, y + 204) != green and screen.pixel(x + 299, y + 199) != green,
          "the bitmap covers only its own pixels", failures)
    check(screen.pixel(x + 6 * CELL_W - 1, y + CELL_H - 1) == (0, 0, 255)
          and screen.pixel(x + 6 * CELL_W + 1, y + 1) == (0, 0, 0), "the cells have the size Talven.ini gives",
          failures)
    return corner


def check_strip(screen, corner, failures):
    """The field editor's strip: 80 / 3 cells three times larger, on the
    strip's background (colour 6), over the bottom rows, since the field on
    the second row would be under it at the top."""
    x, y = corner
    brown = (68, 34, 34)
    width = 80 // 3 * 3 * CELL_W
    top, bottom = y + 22 * CELL_H, y + 25 * CELL_H - 1
    # The field editor opens once the speech before it is done.
    end = time.time() + 10
    while screen.pixel(x + width - 1, bottom) != brown and time.time() < end:
        time.sleep(0.1)
        screen.capture()
    check(screen.pixel(x + width - 1, bottom) == brown and screen.pixel(x + width - 1, top) == brown
          and screen.pixel(x + width + 1, top + 5) != brown and screen.pixel(x + 5, top - 1) != brown
          and screen.pixel(x + 5, y + 3 * CELL_H - 1) != brown,
          "the magnified strip covers the bottom, enlarged, clear of the field", failures)


def window_run(exe, work, env, failures):
    """The program in its own window: what it paints and the keys it gets."""
    from x_screen import Screen
    write_bmp(os.path.join(work, "fig.bmp"), 6, 4, (0, 200, 0))
    with open(os.path.join(work, "janela.kal"), "w", encoding="latin-1") as f:
        f.write(WINDOW_SCRIPT)
    log = os.path.join(work, "janela.log")
    cmd = [WINE, exe, "--window", "--speech-log", "janela.log", "janela.kal"]
    proc = subprocess.Popen(cmd, cwd=work, env=window_settings(work, env), stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    screen = Screen(os.environ["DISPLAY"])
    try:
        if not await_text(log, "say janela "):
            check(False, "the window run reached its first key", failures)
            return
        handle = open(log, encoding="utf-8").read().split("say janela ")[1].split()[0]
        check(handle.isdigit() and int(handle) != 0, "HANDLE gives the window's handle (%s)" % handle, failures)
        time.sleep(0.3)
        screen.capture()
        corner = check_window_pixels(screen, failures)
        # The chord of dots 1 and 2 (f and d held together) types b.
        chord(screen, ["f", "d"])
        check(await_text(log, "say tecla 000#98", 10), "a chord of the chord keyboard types its letter", failures)
        screen.key("Control_L", True)
        screen.tap("Left")
        screen.key("Control_L", False)
        check(await_text(log, "say tecla 010#0#115", 10), "Ctrl+Left reaches the script with its scan code",
              failures)
        if await_text(log, "say campo", 10) and corner:
            check_strip(screen, corner, failures)
        chord(screen, ["f"])
        screen.tap("Return")
        check(await_text(log, "say nome a", 10), "the field editor takes a chord and Enter", failures)
        try:
            code = proc.wait(timeout=30)
        except subprocess.TimeoutExpired:
            code = -1
        check(code == 0, "the window run ends with 0 (got %s)" % code, failures)
        if failures:
            print(open(log, encoding="utf-8", errors="replace").read())
    finally:
        screen.close()
        if proc.poll() is None:
            proc.kill()
            proc.wait()


def run(exe, work, script, extra, env):
    with open(os.path.join(work, "script.kal"), "w", encoding="utf-8") as f:
        f.write(script)
    cmd = [WINE, exe] + extra + ["--speech-log", "fala.log", "script.kal"]
    return subprocess.run(cmd, cwd=work, env=env, stdin=subprocess.DEVNULL, capture_output=True,
                          timeout=TIMEOUT)


def loud_samples(wav):
    """The number of 16-bit samples that are not near silence."""
    with open(wav, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or len(data) <= 44:
        return 0
    bits = struct.unpack_from("<H", data, 34)[0]
    body = data[44:]
    if bits == 8:
        return sum(1 for b in body if abs(b - 128) > 8)
    count = len(body) // 2
    return sum(1 for (s,) in struct.iter_unpack("<h", body[: count * 2]) if abs(s) > 256)


def check(cond, what, failures):
    print(("ok   " if cond else "FAIL ") + what)
    if not cond:
        failures.append(what)


def main():
    exe = os.path.abspath(sys.argv[1])
    failures = []
    site = tempfile.mkdtemp(prefix="kaldorin-win-site-")
    work = tempfile.mkdtemp(prefix="kaldorin-win-run-")
    try:
        page = "página servida ao kaldorin\n".encode("latin-1")
        with open(os.path.join(site, "pagina.txt"), "wb") as f:
            f.write(page)
        server = serve(site)
        url = "http://127.0.0.1:%d/pagina.txt" % server.server_address[1]
        script = (
            'abre #1 "saida.txt" &\n'
            'escreve #1 "escrito no windows"\n'
            'fecha #1\n'
            'executa "cmd.exe /c copy saida.txt copia.txt"\n'
            'trazdarede "%s" "baixado.txt" 0 "kaldorin" "" $r\n'
            'escreve "baixado " $r\n'
            'fala "pronto"\n' % url)
        env = environment(work)
        r = run(exe, work, script, ["--headless"], env)
        out = r.stdout.decode("utf-8", "replace")
        print(out)
        check(r.returncode == 0, "headless run ends with 0 (got %d)" % r.returncode, failures)
        saida = os.path.join(work, "saida.txt")
        written = open(saida, "rb").read() if os.path.exists(saida) else b""
        check(written.rstrip(b"\r\n") == b"escrito no windows", "the script wrote saida.txt", failures)
        check(os.path.exists(os.path.join(work, "copia.txt")), "the started program copied it", failures)
        baixado = os.path.join(work, "baixado.txt")
        check(os.path.exists(baixado) and open(baixado, "rb").read() == page, "the page was downloaded", failures)
        log = open(os.path.join(work, "fala.log"), encoding="utf-8", errors="replace").read()
        check("say pronto" in log, "the speech log holds what was spoken", failures)
        check(loud_samples(os.path.join(work, "som.wav")) > 1000, "speech reached the sound device", failures)
        server.shutdown()

        if os.environ.get("DISPLAY"):
            window_run(exe, work, env, failures)
    finally:
        shutil.rmtree(site, ignore_errors=True)
        shutil.rmtree(work, ignore_errors=True)
    if failures:
        print("windows smoke test: %d failed" % len(failures))
        return 1
    print("windows smoke test: all passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
