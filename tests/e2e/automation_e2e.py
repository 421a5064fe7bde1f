"""End-to-end test of the window automation commands on a real X desktop.

Starts, each in a process group of its own and each stopped by its process
id: Xvfb, a private D-Bus session bus, the accessibility bus launcher (which
starts the accessibility bus and its registry), the openbox window manager,
and a small GTK window of this test (automation_app.py: a text field, a
check box, a button; it answers questions on its standard input). Then runs
the real program headless with KALDORIN scripts that type into the window,
press keys, click, find and minimise it, move text over the clipboard and
follow the accessibility focus, and checks what the window saw.

Usage: automation_e2e.py KALDORIN_BINARY. Exits 77 (skipped) when Xvfb,
openbox, the accessibility bus or Python's GTK bindings are missing.
"""
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import zlib

SKIP = 77
HERE = os.path.dirname(os.path.abspath(__file__))
APP = os.path.join(HERE, "automation_app.py")
TITLE = "Janela de Teste Automação"
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
# The GTK bindings are Debian's: the system's Python, whatever runs this.
SYSTEM_PYTHON = "/usr/bin/python3"
INSTALLED_DRIVES = os.environ.get("TALVEN_DRIVES") or os.path.expanduser("~/.local/share/talven/drives")


def stop(proc):
    """Ends a process group this test started, by its leader's id."""
    if proc is None or proc.poll() is not None:
        return
    try:
        os.killpg(proc.pid, signal.SIGTERM)
    except ProcessLookupError:
        return
    try:
        proc.wait(3)
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.wait()


class Desktop:
    """Xvfb, session bus, accessibility bus, window manager and the app."""

    def __init__(self, tmp):
        self.procs = []
        self.tmp = tmp
        self.app = None

    def start(self, args, env=None, **kw):
        p = subprocess.Popen(args, env=env, start_new_session=True, **kw)
        self.procs.append(p)
        return p

    def up(self):
        r, w = os.pipe()
        self.start(["Xvfb", "-displayfd", str(w), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                   pass_fds=[w], stderr=subprocess.DEVNULL)
        os.close(w)
        with os.fdopen(r) as f:
            display = ":" + f.readline().strip()
        self.env = dict(os.environ, DISPLAY=display)
        for name in ("WINDOWID", "WAYLAND_DISPLAY", "NO_AT_BRIDGE", "AT_SPI_BUS_ADDRESS"):
            self.env.pop(name, None)
        bus = self.start(["dbus-daemon", "--session", "--nofork", "--print-address=1"], self.env,
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().decode().strip()
        self.start([BUS_LAUNCHER, "--launch-immediately", "--a11y=1"], self.env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.start(["openbox"], self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def open_app(self):
        self.app = self.start([SYSTEM_PYTHON, APP, TITLE], self.env, stdin=subprocess.PIPE,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        return self.wait_for(lambda s: s["active"] and s["focus"] == "entry", "the window to come up")

    def ask(self, command):
        self.app.stdin.write((command + "\n").encode())
        self.app.stdin.flush()
        line = self.app.stdout.readline()
        if not line:
            raise RuntimeError("the window went away before answering %r" % command)
        return json.loads(line)

    def wait_for(self, predicate, what, timeout=10):
        deadline = time.time() + timeout
        state = None
        while time.time() < deadline:
            state = self.ask("state")
            if predicate(state):
                return state
            time.sleep(0.05)
        raise RuntimeError("timed out waiting for %s; last state %r" % (what, state))

    def down(self):
        for p in reversed(self.procs):
            stop(p)


class Program:
    """Runs KALDORIN scripts headless against the desktop."""

    def __init__(self, kaldorin, tmp, env):
        self.kaldorin = kaldorin
        self.tmp = tmp
        drives = os.path.join(tmp, "drives")
        os.makedirs(os.path.join(drives, "c"))
        ferlan = os.path.join(INSTALLED_DRIVES, "c", "ferlan")
        if os.path.isdir(ferlan):
            os.symlink(ferlan, os.path.join(drives, "c", "ferlan"))
        config = os.path.join(tmp, "config", "Talven")
        os.makedirs(config)
        ini = os.path.join(INSTALLED_DRIVES, "c", "windows", "Talven.ini")
        if os.path.exists(ini):
            shutil.copy(ini, os.path.join(config, "Talven.ini"))
        self.env = dict(env, TALVEN_DRIVES=drives, XDG_CONFIG_HOME=os.path.join(tmp, "config"))
        self.env.pop("KALDORIN_SPEECH_LOG", None)
        self.count = 0

    def run(self, script, env=None, timeout=30):
        """Returns (exit code, console text, speech log)."""
        self.count += 1
        path = os.path.join(self.tmp, "s%d.kal" % self.count)
        log = os.path.join(self.tmp, "s%d.log" % self.count)
        with open(path, "wb") as f:
            f.write(script.replace("\n", "\r\n").encode("latin-1"))
        p = subprocess.run([self.kaldorin, "--headless", "--speech-log", log, path], input=b"\r\n" * 4,
                           capture_output=True, env=env or self.env, timeout=timeout, cwd=self.tmp)
        speech = ""
        if os.path.exists(log):
            with open(log, "rb") as f:
                speech = f.read().decode("utf-8", "replace")
        return p.returncode, p.stdout.decode("utf-8", "replace"), speech


class Checks:
    def __init__(self):
        self.failures = []
        self.passed = 0

    def expect(self, ok, what):
        if os.environ.get("AUTOMATION_E2E_TRACE"):
            print("%.2f %s %s" % (time.time(), "ok" if ok else "FAIL", what[:60]))
        if ok:
            self.passed += 1
        else:
            self.failures.append(what)
        return ok


def keys_and_windows(desk, prog, c):
    code, out, _ = prog.run('DIGITA "ação & Ç" &\n')
    state = desk.wait_for(lambda s: s["text"] == "ação & Ç", "the typed text", timeout=5) \
        if code == 0 else desk.ask("state")
    c.expect(code == 0 and state["text"] == "ação & Ç",
             "DIGITA: field holds %r (exit %d, console %r)" % (state["text"], code, out))

    # Home, then a control byte: Ctrl+A selects all in a GTK field, and the
    # letter typed next replaces the selection.
    code, out, _ = prog.run('ACIONA "home"\nDIGITA "x" &\nACIONA "ctrl+a"\nDIGITA "Z" &\n')
    state = desk.ask("state")
    c.expect(code == 0 and state["text"] == "Z", "ACIONA/DIGITA: field holds %r (console %r)" % (state["text"], out))

    code, out, _ = prog.run("CAPTURA TITULO T\nESCREVE \"[\" T \"]\"\n")
    c.expect(code == 0 and "[%s]" % TITLE in out, "CAPTURA TITULO: %r" % out)

    # The pointer: a move relative to the window in front reads back the same.
    code, out, _ = prog.run("CLICA NULO 10, 20\nLE MOUSE X Y\nLE RATO TELA A B\nESCREVE X \" \" Y \" \" A \" \" B\n")
    parts = out.split()
    c.expect(code == 0 and parts[:2] == ["10", "20"], "CLICA NULO / LE MOUSE: %r" % out)

    where = desk.ask("where")
    code, out, _ = prog.run("CLICA TELA %d %d\n" % (where["x"], where["y"]))
    state = desk.wait_for(lambda s: s["checked"], "the check box to be ticked", timeout=5)
    c.expect(code == 0 and state["checked"], "CLICA on the check box: %r %r" % (state, out))

    code, out, _ = prog.run('JANELA MINIMIZA "*janela de TESTE"\nCHECA S\nESCREVE "status " S\n')
    c.expect(code == 0 and "status 0" in out, "JANELA MINIMIZA found the window: %r" % out)
    state = desk.wait_for(lambda s: s["iconified"], "the window to be minimised", timeout=5)
    c.expect(state["iconified"], "JANELA MINIMIZA: %r" % state)

    code, out, _ = prog.run('JANELA MINIMIZA "nada disso*"\nCHECA S\nESCREVE "status " S\n')
    c.expect(code == 0 and "status 1" in out, "JANELA with no match gives status 1: %r" % out)

    code, out, _ = prog.run('JANELA NORMAL "automação*"\n')
    state = desk.wait_for(lambda s: not s["iconified"] and s["active"], "the window to come back", timeout=5)
    c.expect(code == 0, "JANELA NORMAL: %r" % out)

    code, out, _ = prog.run("HANDLE H\nESCREVE \"h=\" H\n", env=dict(prog.env, WINDOWID="4242"))
    c.expect(code == 0 and "h=4242" in out, "HANDLE from WINDOWID: %r" % out)


# A million characters with accents: "ação-" doubled past a million, cut by
# TRANSFERE.
BIG_SCRIPT = 'SEJA A "ação-"\nREPETE I 18\nCONCATENA A A\nFIM REPETE\n'
BIG_TEXT = ("ação-" * (1 << 18))[:1000000]


def clipboard(desk, prog, c):
    # Our text, taken by the window while the program waits for a key: a
    # million characters, by increments.
    with open(os.path.join(prog.tmp, "own.kal"), "wb") as f:
        f.write((BIG_SCRIPT + 'TRANSFERE DE A\nESCREVE "pronto"\nLE K\n').replace("\n", "\r\n").encode("latin-1"))
    owner = subprocess.Popen([prog.kaldorin, "--headless", os.path.join(prog.tmp, "own.kal")],
                             stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                             env=prog.env, cwd=prog.tmp)
    try:
        ready = ""
        for line in owner.stdout:  # other lines may come first (no sound device)
            ready = line.decode("utf-8", "replace")
            if ready.startswith("pronto"):
                break
        got = desk.ask("paste")
        want = BIG_TEXT.encode()
        c.expect(ready.startswith("pronto") and got["length"] == len(BIG_TEXT) and got["crc"] == zlib.crc32(want),
                 "TRANSFERE DE: the window pasted %r (expected %d characters)" % (got, len(BIG_TEXT)))
        owner.stdin.write(b"\r")
        owner.stdin.flush()
        owner.wait(10)
    finally:
        stop(owner)

    # The window's text, a million characters, read by TRANSFERE PARA.
    desk.ask("copybig 1000000")
    code, out, _ = prog.run('TRANSFERE PARA B\nABRE #1 "saida.txt" &\nESCREVE #1 B &\nFECHA #1\n')
    path = os.path.join(prog.tmp, "saida.txt")
    data = open(path, "rb").read() if os.path.exists(path) else b""
    want = ("abcdefghijklmnopqrstuvwxyz" * 38462)[:1000000].encode()
    c.expect(code == 0 and data == want, "TRANSFERE PARA of a million characters: %d bytes, exit %d, %r"
             % (len(data), code, out[:200]))

    # More than a script may take: the first million characters, and the
    # rest is not even read.
    desk.ask("copybig 4500000")
    os.remove(path)
    code, out, _ = prog.run('TRANSFERE PARA B\nABRE #1 "saida.txt" &\nESCREVE #1 B &\nFECHA #1\n')
    data = open(path, "rb").read() if os.path.exists(path) else b""
    c.expect(code == 0 and data == want, "TRANSFERE PARA of 4.5 million characters: %d bytes, exit %d"
             % (len(data), code))

    # A user's copy in the window reaches the script, accents converted.
    desk.ask("copy Olá, área de transferência")
    code, out, _ = prog.run("TRANSFERE PARA T\nESCREVE \"[\" T \"]\"\n")
    c.expect(code == 0 and "[Olá, área de transferência]" in out, "TRANSFERE PARA after a copy: %r" % out)

    # CAPTURA CAMPO selects and copies the field (the click left the focus on
    # the check box).
    prog.run('ACIONA "shift+tab"\n')
    desk.wait_for(lambda s: s["focus"] == "entry", "the focus back in the field", timeout=5)
    code, out, _ = prog.run('ACIONA "ctrl+a"\nDIGITA "Conteúdo do campo" &\nCAPTURA CAMPO F\nESCREVE "[" F "]"\n')
    c.expect(code == 0 and "[Conteúdo do campo]" in out, "CAPTURA CAMPO: %r" % out)


# Follows the focus: MONITORA, then the object of each focus change after
# a key, with its name, role, code and state.
FOCUS_SCRIPT = """MSAA MONITORA
MSAA CHECA C
ESCREVE "inicio " C
ACIONA "tab"
CHAMA @foco
ACIONA "tab"
CHAMA @foco
ACIONA "shift+tab"
CHAMA @foco
MSAA FIM
TERMINA
@foco
SEJA C 0
SEJA N 0
ENQUANTO C = 0
  SOMA N 1
  SE N > 100
    ESCREVE "nenhum evento"
    RETORNA
  FIM SE
  ESPERA MS 20
  MSAA CHECA C
FIM ENQUANTO
MSAA NOME $nome
MSAA TIPO $tipo
MSAA CÓDIGO $codigo
MSAA ESTADO $estado
ESCREVE "foco " $nome "|" $tipo "|" $codigo "|" $estado
RETORNA
"""


def accessibility(desk, prog, c):
    desk.wait_for(lambda s: s["focus"] == "entry" and s["active"], "the focus in the field", timeout=5)
    code, out, _ = prog.run(FOCUS_SCRIPT)
    lines = [l for l in out.splitlines() if l.startswith(("inicio", "foco", "nenhum"))]
    want = ["inicio 0", "foco Marcar|check box|44|marcado", "foco Aplicar|push button|43|",
            "foco Marcar|check box|44|marcado"]
    c.expect(code == 0 and lines == want, "MSAA follows the focus: %r (exit %d, %r)" % (lines, code, out[-300:]))

    # The object under a point: the check box, where it is on the screen.
    where = desk.ask("where")
    code, out, _ = prog.run("MSAA CAPTURA %d %d\nMSAA NOME N\nMSAA CODIGO K\nMSAA AREA X Y W H\n"
                            "ESCREVE N \"|\" K \"|\" X \"|\" Y \"|\" W \"|\" H\n" % (where["x"], where["y"]))
    parts = out.strip().split("|")
    inside = len(parts) == 6 and all(p.lstrip("-").isdigit() for p in parts[2:]) and \
        int(parts[2]) <= where["x"] < int(parts[2]) + int(parts[4]) and \
        int(parts[3]) <= where["y"] < int(parts[3]) + int(parts[5])
    c.expect(code == 0 and parts[:2] == ["Marcar", "44"] and inside, "MSAA CAPTURA at the check box: %r" % out)


def no_display(prog, c):
    env = dict(prog.env)
    env.pop("DISPLAY", None)
    code, out, speech = prog.run('DIGITA "a"\n', env=env)
    c.expect(code != 0 and "não há tela gráfica" in out and "não há tela gráfica" in speech,
             "DIGITA without a display: exit %d, %r" % (code, out))
    code, out, _ = prog.run('JANELA FECHA "x"\n', env=env)
    c.expect(code != 0 and "não há tela gráfica" in out, "JANELA without a display: %r" % out)
    env.pop("DBUS_SESSION_BUS_ADDRESS", None)
    code, out, _ = prog.run("MSAA MONITORA\n", env=env)
    c.expect(code != 0 and "Acessibilidade indisponível" in out, "MSAA without a bus: %r" % out)
    # A bus that is named but does not answer: said, not a crash.
    code, out, _ = prog.run("MSAA MONITORA\n", env=dict(prog.env, AT_SPI_BUS_ADDRESS="unix:path=/nonexistent/bus"))
    c.expect(code == 1 and "Acessibilidade indisponível" in out, "MSAA with a dead bus: exit %d, %r" % (code, out))


def close_with_keys(desk, prog, c):
    code, out, _ = prog.run("ACIONA \"alt+f4\"\n")
    try:
        desk.app.wait(10)
        closed = True
    except subprocess.TimeoutExpired:
        closed = False
    c.expect(code == 0 and closed, "ACIONA alt+f4 closes the window: exit %d, %r" % (code, out))


def main():
    kaldorin = os.path.abspath(sys.argv[1])
    missing = [t for t in ("Xvfb", "openbox", "dbus-daemon") if not shutil.which(t)]
    if not os.path.exists(BUS_LAUNCHER):
        missing.append(BUS_LAUNCHER)
    if subprocess.run([SYSTEM_PYTHON, "-c", "import gi; gi.require_version('Gtk', '3.0')"],
                      capture_output=True).returncode != 0:
        missing.append("python3-gi with GTK 3")
    if missing:
        print("skipped: missing %s" % ", ".join(missing))
        return SKIP
    tmp = tempfile.mkdtemp(prefix="automation-e2e-")
    desk = Desktop(tmp)
    c = Checks()
    started = time.time()
    try:
        desk.up()
        prog = Program(kaldorin, tmp, desk.env)
        no_display(prog, c)
        desk.open_app()
        keys_and_windows(desk, prog, c)
        clipboard(desk, prog, c)
        accessibility(desk, prog, c)
        close_with_keys(desk, prog, c)
    except Exception as e:  # a failed step ends the run; the rest is reported
        c.failures.append("%s: %s" % (type(e).__name__, e))
    finally:
        desk.down()
        shutil.rmtree(tmp, ignore_errors=True)
    for f in c.failures:
        print("FAIL:", f)
    print("took %.1f s" % (time.time() - started))
    print("%d passed, %d failed" % (c.passed, len(c.failures)))
    return 1 if c.failures else 0


if __name__ == "__main__":
    sys.exit(main())
