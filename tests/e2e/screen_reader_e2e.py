"""End-to-end test of the advice to a user beside a screen reader.

Starts a private session bus (dbus-daemon) and on it a stand-in of the
accessibility bus's service (a11y_bus_standin.py) that says whether a screen
reader runs; both are started and ended by their process ids. The real
program then runs a small script in a terminal (a pseudo-terminal of the
test) on that bus, with a configuration folder and drives of its own (an
empty recorded voice with our rule files is enough to start), and the
speech log shows what it said:
  - a reader running: the advice, once; a second run stays quiet;
  - no reader running, or a headless run: no advice, and no mark left;
  - no service on the bus: no advice, and the question did not start the
    accessibility bus (no auto-start).

Usage: screen_reader_e2e.py KALDORIN_BINARY. Exits 77 (skipped) without
dbus-daemon, the system Python's GObject bindings or the accessibility
module (kaldorin-atspi.so, built only with libatspi).
"""
import fcntl
import os
import pty
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import time
import unittest

SKIP = 77
KALDORIN = None
SYSTEM_PYTHON = "/usr/bin/python3"
HERE = os.path.dirname(os.path.abspath(__file__))
STANDIN = os.path.join(HERE, "a11y_bus_standin.py")
SOURCE = os.path.dirname(os.path.dirname(HERE))
ADVICE = "say Um leitor de tela está ativo: ele e o kaldorin falam as mesmas linhas."


def stop(proc):
    """Ends a process the test started, by its id, and reaps it."""
    if proc.poll() is None:
        os.kill(proc.pid, signal.SIGTERM)
        try:
            proc.wait(5)
        except subprocess.TimeoutExpired:
            os.kill(proc.pid, signal.SIGKILL)
            proc.wait()
    if proc.stdout:
        proc.stdout.close()


class ScreenReaderAdvice(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="screen-reader-")
        self.procs = []
        self.env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "AT_SPI_BUS_ADDRESS")}
        bus = self.start(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().decode().strip()
        self.env["XDG_CONFIG_HOME"] = os.path.join(self.dir, "config")
        self.env["TALVEN_DRIVES"] = os.path.join(self.dir, "drives")
        self.env["SDL_AUDIODRIVER"] = "dummy"
        voice = os.path.join(self.dir, "drives", "c", "ferlan", "som", "difones")
        os.makedirs(voice)
        os.makedirs(os.path.join(self.dir, "drives", "c", "ferlan", "som", "letras"))
        for empty in ("DIFONES2.IND", "DIFONES2.DIF"):
            open(os.path.join(voice, empty), "w").close()
        for rules in ("regras.rgr", "portug.exc"):
            shutil.copy(os.path.join(SOURCE, "data", "diphone", rules), voice)
        self.env["TERM"] = "xterm"
        self.script = os.path.join(self.dir, "pronto.kal")
        with open(self.script, "w") as f:
            f.write('escreve "pronto"\n')
        self.standin = None

    def tearDown(self):
        for p in reversed(self.procs):
            stop(p)
        shutil.rmtree(self.dir, ignore_errors=True)

    def start(self, argv, **kw):
        p = subprocess.Popen(argv, env=self.env, **kw)
        self.procs.append(p)
        return p

    def reader(self, enabled):
        """The stand-in service, saying whether a reader runs."""
        if self.standin:
            stop(self.standin)
        self.standin = self.start([SYSTEM_PYTHON, STANDIN, "1" if enabled else "0"], stdout=subprocess.PIPE)
        self.assertEqual(self.standin.stdout.readline().strip(), b"ready")

    def run_program(self, headless=False):
        """Runs the script in a terminal of 80 by 25 (or headless); what was said."""
        log = os.path.join(self.dir, "speech.log")
        open(log, "w").close()
        argv = [KALDORIN] + (["--headless"] if headless else []) + ["--speech-log", log, self.script]
        master, slave = pty.openpty()
        fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 25, 80, 0, 0))
        proc = subprocess.Popen(argv, env=self.env, stdin=slave, stdout=slave, stderr=subprocess.DEVNULL,
                                start_new_session=True)
        os.close(slave)
        deadline = time.time() + 30
        while proc.poll() is None and time.time() < deadline:
            try:
                os.read(master, 65536)  # the terminal's screen, not looked at
            except OSError:
                time.sleep(0.05)
        if proc.poll() is None:
            stop(proc)
            self.fail("the program did not end")
        os.close(master)
        self.assertEqual(proc.returncode, 0)
        with open(log, encoding="utf-8") as f:
            said = f.read().splitlines()
        self.assertIn("say pronto", said)
        return said

    def mark(self):
        return os.path.join(self.dir, "config", "Talven", "leitor-de-tela-avisado")

    def test_the_advice_is_said_once_when_a_reader_runs(self):
        self.reader(True)
        said = self.run_program()
        self.assertIn(ADVICE, said)
        self.assertIn('say Veja "Com um leitor de tela" no guia, em /usr/share/doc/kaldorin.', said)
        self.assertLess(said.index(ADVICE), said.index("say pronto"))
        self.assertTrue(os.path.exists(self.mark()))
        self.assertNotIn(ADVICE, self.run_program())

    def test_no_reader_and_headless_runs_are_not_advised(self):
        self.reader(False)
        self.assertNotIn(ADVICE, self.run_program())
        self.assertFalse(os.path.exists(self.mark()))
        self.reader(True)
        self.assertNotIn(ADVICE, self.run_program(headless=True))
        self.assertFalse(os.path.exists(self.mark()))

    def test_a_bus_without_the_service_is_not_started_by_the_question(self):
        self.assertNotIn(ADVICE, self.run_program())
        owner = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                                "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"],
                               env=self.env, capture_output=True, text=True)
        self.assertIn("boolean false", owner.stdout)


def main():
    global KALDORIN
    KALDORIN = os.path.abspath(sys.argv.pop(1))
    if not shutil.which("dbus-daemon") or not shutil.which("dbus-send"):
        print("skipped: dbus-daemon is not installed")
        return SKIP
    if not os.path.exists(os.path.join(os.path.dirname(KALDORIN), "kaldorin-atspi.so")):
        print("skipped: the accessibility module was not built")
        return SKIP
    if subprocess.run([SYSTEM_PYTHON, "-c", "from gi.repository import Gio"], capture_output=True).returncode:
        print("skipped: the system Python has no GObject bindings (python3-gi)")
        return SKIP
    result = unittest.main(exit=False).result
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
