#!/usr/bin/env python3
"""Smoke test of kaldorin.exe under Wine.

Runs the program headless on a script that writes a file, starts a program
(cmd.exe copying that file), downloads a page from a local HTTP server on
127.0.0.1 and speaks, with its sound going to a wave file; then runs it once
more in its own window on the virtual display. Checks the files, the speech
log and the sound.

Usage: windows_smoke.py KALDORIN_EXE   (WINE names the Wine program; the
Wine prefix and display come from the environment)
"""
import http.server
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import threading

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
            os.remove(os.path.join(work, "fala.log"))
            r = run(exe, work, 'escreve "na janela"\nfala "janela"\n', [], env)
            check(r.returncode == 0, "run in its own window ends with 0 (got %d)" % r.returncode, failures)
            log = open(os.path.join(work, "fala.log"), encoding="utf-8", errors="replace").read()
            check("say na janela" in log, "the window run wrote and spoke", failures)
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
