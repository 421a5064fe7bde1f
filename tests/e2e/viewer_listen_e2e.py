"""End-to-end test of listening to stations from the report viewer.

Runs the real program headless as the viewer (--view) on a report of five
stations, against a local HTTP server that sends an endless audio stream, a
playlist pointing at it, a playlist naming itself and a station page of the
directory site naming the stream, with the real media player (its sound goes
nowhere: SDL_AUDIODRIVER=dummy). Checks by process id that Enter starts the
player as a child of the viewer on the stream, that Space pauses and resumes
it, that Esc stops it and that no player is left after stopping, after an
error, after a playlist that never ends in a stream, after leaving the viewer
or after the viewer is killed.

Usage: viewer_listen_e2e.py KALDORIN_BINARY. Exits 77 (skipped) without the
media player or the installation made by scripts/setup.sh.
"""
import http.server
import os
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time
import unittest

SKIP = 77
TIMEOUT = 20
KALDORIN = None
INSTALLED_DRIVES = os.environ.get("TALVEN_DRIVES") or os.path.expanduser("~/.local/share/talven/drives")
INSTALLED_INI = os.path.join(INSTALLED_DRIVES, "c", "windows", "Talven.ini")

RATE = 8000
REQUESTS = []


def wav_head():
    """A WAV head whose sizes say "unknown": the stream never ends."""
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE * 2, 2, 16)
    return (b"RIFF" + struct.pack("<I", 0xFFFFFFFF) + b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt
            + b"data" + struct.pack("<I", 0xFFFFFFFF))


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def do_GET(self):
        REQUESTS.append(self.path)
        port = self.server.server_address[1]
        if self.path == "/stream.wav":
            self.send_response(200)
            self.send_header("Content-Type", "audio/wav")
            self.end_headers()
            try:
                self.wfile.write(wav_head())
                # Eight seconds at once: the player looks at five before it starts.
                self.wfile.write(b"\0\0" * RATE * 8)
                quiet = b"\0\0" * (RATE // 10)
                while True:  # then a tenth of a second of silence, in real time
                    self.wfile.write(quiet)
                    self.wfile.flush()
                    time.sleep(0.1)
            except (ConnectionError, OSError):
                return
        if self.path == "/lista.pls":
            body = "[playlist]\nNumberOfEntries=1\nFile1=http://127.0.0.1:%d/stream.wav\nVersion=2\n" % port
            kind = "audio/x-scpls"
        elif self.path == "/laco.pls":  # a playlist that names itself
            body = "[playlist]\nNumberOfEntries=1\nFile1=http://127.0.0.1:%d/laco.pls\nVersion=2\n" % port
            kind = "audio/x-scpls"
        elif self.path == "/play/estacao-7":
            body = ('<html><body><script>var player = {\n  src:  "http://127.0.0.1:%d/stream.wav",\n'
                    '  volume: 1 };</script></body></html>\n' % port)
            kind = "text/html"
        else:
            self.send_error(404)
            return
        data = body.encode()
        self.send_response(200)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def log_message(self, *args):
        pass


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def children(pid):
    """The ids of the processes whose parent is pid, with their names."""
    found = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                stat = f.read()
        except OSError:
            continue
        name = stat[stat.index("(") + 1:stat.rindex(")")]
        fields = stat[stat.rindex(")") + 2:].split()
        if int(fields[1]) == pid and fields[0] != "Z":
            found[int(entry)] = name
    return found


def alive(pid):
    try:
        with open("/proc/%d/stat" % pid) as f:
            return f.read().split(")")[-1].split()[0] != "Z"
    except OSError:
        return False


class Viewer:
    """One run of the viewer on the report, in a private installation."""

    def __init__(self, http_port, closed_port):
        self.tmp = tempfile.mkdtemp(prefix="viewer-listen-e2e-")
        base = "http://127.0.0.1:%d" % http_port
        report = os.path.join(self.tmp, "radios.info")
        with open(report, "wb") as f:
            f.write(("1. Rádio Lista FM\r\nSão Paulo - SP\r\n%s/lista.pls\r\n\r\n"
                     "2. Rádio Página\r\nBelém - PA\r\n%s/play/estacao-7\r\n\r\n"
                     "3. Rádio Fechada\r\nRecife - PE\r\nhttp://127.0.0.1:%d/nada.mp3\r\n\r\n"
                     "4. Rádio Sem Endereço\r\nNatal - RN\r\n\r\n"
                     "5. Rádio Laço\r\nMaceió - AL\r\n%s/laco.pls\r\n" % (base, base, closed_port, base)).encode("latin-1"))
        config = os.path.join(self.tmp, "config", "Talven")
        os.makedirs(config)
        with open(os.path.join(config, "Talven.ini"), "wb") as f:
            f.write(("[ZELQUORA]\nENDERECOPLAY=%s/play/\n" % base).encode())
            with open(INSTALLED_INI, "rb") as installed:
                f.write(installed.read())
        self.speech_log = os.path.join(self.tmp, "speech.log")
        env = dict(os.environ)
        env.update({
            "XDG_CONFIG_HOME": os.path.join(self.tmp, "config"),
            "KALDORIN_SPEECH_LOG": self.speech_log,
            "SDL_AUDIODRIVER": "dummy",
            "LC_ALL": "C.UTF-8",
        })
        self.proc = subprocess.Popen([KALDORIN, "--headless", "--view", report], stdin=subprocess.PIPE,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env, cwd=self.tmp)

    def speech(self):
        try:
            with open(self.speech_log, encoding="utf-8", errors="replace") as f:
                return f.read().splitlines()
        except FileNotFoundError:
            return []

    def wait_for(self, predicate, what):
        deadline = time.time() + TIMEOUT
        while time.time() < deadline:
            if predicate():
                return
            if self.proc.poll() is not None and not predicate():
                raise AssertionError("the viewer ended (%s) while waiting for %s; speech:\n%s"
                                     % (self.proc.returncode, what, "\n".join(self.speech())))
            time.sleep(0.05)
        raise AssertionError("timed out waiting for %s; speech:\n%s" % (what, "\n".join(self.speech())))

    def wait_speech(self, line, count=1):
        self.wait_for(lambda: self.speech().count(line) >= count, "speech " + repr(line))

    def type(self, keys):
        self.proc.stdin.write(keys.encode("utf-8"))
        self.proc.stdin.flush()
        time.sleep(0.15)  # a lone Esc is told from a key sequence by a pause

    def player(self):
        """The one media player the viewer runs now."""
        found = {pid: name for pid, name in children(self.proc.pid).items() if name == "mpv"}
        self.assertions.assertEqual(len(found), 1, "players: %r" % found)
        return next(iter(found))

    def wait_gone(self, pid):
        """Waits for the player's end, whether or not the viewer still runs."""
        deadline = time.time() + TIMEOUT
        while alive(pid) and time.time() < deadline:
            time.sleep(0.05)
        self.assertions.assertFalse(alive(pid), "the player %d outlived the viewer" % pid)

    def close(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        shutil.rmtree(self.tmp, ignore_errors=True)


class ListenTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        cls.server.daemon_threads = True
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()
        cls.closed_port = free_port()

    @classmethod
    def tearDownClass(cls):
        cls.server.shutdown()

    def setUp(self):
        del REQUESTS[:]
        self.viewer = Viewer(self.server.server_address[1], self.closed_port)
        self.viewer.assertions = self
        self.viewer.wait_speech("say 1. Rádio Lista FM")

    def tearDown(self):
        self.viewer.close()

    def test_enter_plays_space_pauses_esc_stops(self):
        v = self.viewer
        v.type("\r")
        v.wait_speech("say Tocando: Rádio Lista FM")
        pid = v.player()
        self.assertIn("/lista.pls", REQUESTS)
        self.assertIn("/stream.wav", REQUESTS)
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            args = f.read().split(b"\0")[:-1]
        self.assertEqual(args[-2:], [b"--", ("http://127.0.0.1:%d/lista.pls" % self.server.server_address[1]).encode()])
        v.type(" ")
        v.wait_speech("say Pausado")
        v.type(" ")
        v.wait_speech("say Tocando")
        v.type("+")
        v.wait_speech("say Volume 110")
        v.type("\x1b")
        v.wait_speech("say Parado")
        self.assertFalse(alive(pid))
        self.assertEqual(children(v.proc.pid), {})
        # A second Esc leaves the viewer.
        v.type("\x1b")
        self.assertEqual(v.proc.wait(timeout=TIMEOUT), 0)

    def test_station_page_is_followed_and_leaving_ends_the_player(self):
        v = self.viewer
        v.type("\t")
        v.wait_speech("say 2. Rádio Página")
        v.type("\r")
        v.wait_speech("say Tocando: Rádio Página")
        self.assertIn("/play/estacao-7", REQUESTS)
        pid = v.player()
        v.type("q")
        self.assertEqual(v.proc.wait(timeout=TIMEOUT), 0)
        self.assertFalse(alive(pid))

    def test_errors_are_spoken_and_leave_no_player(self):
        v = self.viewer
        v.type("\t\t")
        v.wait_speech("say 3. Rádio Fechada")
        v.type("\r")
        v.wait_speech("say Não foi possível abrir a estação.")
        v.wait_for(lambda: children(v.proc.pid) == {}, "no child left after the error")
        v.type("\t")
        v.wait_speech("say 4. Rádio Sem Endereço")
        v.type("\r")
        v.wait_speech("say Esta estação não tem endereço para tocar.")
        self.assertEqual(children(v.proc.pid), {})

    def test_a_playlist_that_names_itself_is_given_up(self):
        v = self.viewer
        v.type("\t\t\t\t")
        v.wait_speech("say 5. Rádio Laço")
        v.type("\r")
        v.wait_speech("say Não foi possível abrir a estação.")
        v.wait_for(lambda: children(v.proc.pid) == {}, "no child left after giving up")
        fetched = REQUESTS.count("/laco.pls")
        self.assertLess(fetched, 100)
        time.sleep(0.5)
        self.assertEqual(REQUESTS.count("/laco.pls"), fetched)
        self.assertNotIn("say Tocando: Rádio Laço", v.speech())

    def test_the_player_ends_when_the_viewer_is_killed(self):
        v = self.viewer
        v.type("\r")
        v.wait_speech("say Tocando: Rádio Lista FM")
        pid = v.player()
        v.proc.send_signal(signal.SIGKILL)  # no clean-up of ours can run
        v.proc.wait(timeout=TIMEOUT)
        v.wait_gone(pid)


def main():
    global KALDORIN
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    KALDORIN = os.path.abspath(sys.argv[1])
    if not shutil.which("mpv") or not os.path.exists(INSTALLED_INI):
        print("skipped: needs mpv and the installation made by scripts/setup.sh")
        return SKIP
    result = unittest.main(argv=[sys.argv[0]], exit=False).result
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
