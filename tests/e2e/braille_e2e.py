"""End-to-end test of the braille display through the real brltty.

Starts a private brltty with its virtual display driver and no screen or
speech driver (it reads no console and grabs none), plays the virtual
display itself over a socket of the test's own (announces 40 cells, records
every row of dots, types keys), and runs the real program headless against
it with BRLAPI_HOST. Checks that a row written with ESCREVE arrives as the
right dots, that display keys come back through LE TECLA, and the braille
log. brltty is stopped by its process id.

Usage: braille_e2e.py KALDORIN_BINARY. Exits 77 (skipped) without brltty.
"""
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

SKIP = 77
TIMEOUT = 20
INSTALLED_DRIVES = os.environ.get("TALVEN_DRIVES") or os.path.expanduser("~/.local/share/talven/drives")

# The script: a row without line end (so it stays the cursor's row), then
# two keys read from the display.
SCRIPT = (
    'ESCREVE MUDO "Casa 123" &\r\n'
    "LE TECLA K\r\n"
    'ESCREVE MUDO "tecla " K\r\n'
    "LE TECLA K\r\n"
    'ESCREVE MUDO "tecla " K\r\n'
)


def dots_text(cells):
    """A row as the virtual display shows it: dot numbers, '|' between cells."""
    out = []
    for cell in cells:
        out.append("".join(str(d + 1) for d in range(8) if cell & (1 << d)) or " ")
    return "|".join(out)


def dots(*names):
    """Cells from dot names: dots(1, 12) is a, b."""
    return [sum(1 << (int(d) - 1) for d in str(n)) if n else 0 for n in names]


class VirtualDisplay:
    """The display end of brltty's virtual driver."""

    def __init__(self, path, cells):
        deadline = time.time() + TIMEOUT
        while True:
            try:
                self.sock = socket.socket(socket.AF_UNIX)
                self.sock.connect(path)
                break
            except OSError:
                self.sock.close()
                if time.time() > deadline:
                    raise
                time.sleep(0.05)
        self.rows = []
        self.lock = threading.Condition()
        self.sock.sendall(b"cells %d\n" % cells)
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        try:
            for line in self.sock.makefile("rb"):
                line = line.decode("latin-1").rstrip("\r\n")
                if line.startswith("Braille "):
                    with self.lock:
                        self.rows.append(line[len("Braille "):].strip('"'))
                        self.lock.notify_all()
        except OSError:
            pass  # brltty went away

    def wait_for(self, predicate):
        with self.lock:
            return self.lock.wait_for(lambda: any(predicate(r) for r in self.rows), TIMEOUT)

    def type(self, command):
        self.sock.sendall(command.encode() + b"\n")

    def close(self):
        self.sock.close()


def stop(proc):
    """Ends a process of this test by its id: asks, then kills."""
    if proc.poll() is not None:
        return
    proc.terminate()
    try:
        proc.wait(3)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def make_installation(tmp):
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
    return drives, os.path.join(tmp, "config")


def main():
    kaldorin = sys.argv[1]
    brltty = shutil.which("brltty")
    if not brltty:
        print("brltty is not installed: skipped")
        return SKIP
    tmp = tempfile.mkdtemp(prefix="braille-e2e-")
    # A BrlAPI port of our own (TCP 4101 + n on 127.0.0.1), apart from other
    # runs of this test on the machine.
    port = 60 + os.getpid() % 300
    server = None
    display = None
    program = None
    failures = []
    try:
        brltty_log = open(os.path.join(tmp, "brltty.log"), "wb")
        server = subprocess.Popen(
            [brltty, "-n", "-e", "-q", "-f", "/dev/null", "-F", "/dev/null",
             "-b", "vr", "-d", "server:" + os.path.join(tmp, "vr.sock"),
             "-x", "no", "-s", "no", "-A", "host=127.0.0.1:%d,auth=none" % port,
             "-P", os.path.join(tmp, "brltty.pid")],
            stdin=subprocess.DEVNULL, stdout=brltty_log, stderr=subprocess.STDOUT)
        display = VirtualDisplay(os.path.join(tmp, "vr.sock"), 40)
        if not display.wait_for(lambda r: True):
            failures.append("brltty showed nothing on the virtual display")
            return 1

        drives, config = make_installation(tmp)
        script = os.path.join(tmp, "t.kal")
        with open(script, "wb") as f:
            f.write(SCRIPT.encode("latin-1"))
        braille_log = os.path.join(tmp, "braille.log")
        env = dict(os.environ, BRLAPI_HOST="127.0.0.1:%d" % port, TALVEN_DRIVES=drives,
                   XDG_CONFIG_HOME=config)
        env.pop("KALDORIN_BRAILLE_LOG", None)
        program = subprocess.Popen(
            [kaldorin, "--headless", "--braille-log", braille_log, "--speech-log", os.path.join(tmp, "speech.log"),
             script],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)

        # "{casa #abc": capital sign, c a s a, blank, number sign, a b c.
        row = dots_text(dots(46, 14, 1, 234, 1, 0, 3456, 1, 12, 14) + [0] * 30)
        if not display.wait_for(lambda r: r == row):
            failures.append("the row 'Casa 123' did not arrive as %r; rows: %r" % (row, display.rows[-5:]))
        # A chord of dots 1-2, then the line-down key.
        # brltty's virtual driver sends the chord as the bit mask of its dots.
        display.type("PassDots 3")
        time.sleep(1)  # as a person types: one key after the other
        display.type("LnDn")
        # Standard input stays open: the keys come from the display alone.
        try:
            program.wait(TIMEOUT)
        except subprocess.TimeoutExpired:
            stop(program)
            failures.append("the program did not end")
        out, err = program.communicate()
        text = out.decode("latin-1")
        for expected in ("tecla 000#98", "tecla 000#0#80"):
            if expected not in text:
                failures.append("%r not in the console text %r (stderr %r)" % (expected, text, err))
        with open(braille_log, "rb") as f:
            log = f.read().decode("utf-8")
        if "1\tCasa 123\t{casa #abc\n" not in log:
            failures.append("the braille log lacks the row: %r" % log)
        return 1 if failures else 0
    finally:
        if program:
            stop(program)
        if server:
            stop(server)
        if display:
            display.close()
        for f in failures:
            print("FAIL:", f)
        if failures and os.path.exists(os.path.join(tmp, "brltty.log")):
            with open(os.path.join(tmp, "brltty.log"), "rb") as f:
                print(f.read().decode("latin-1")[-2000:])
        print("%d passed, %d failed" % (0 if failures else 1, 1 if failures else 0))
        shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
