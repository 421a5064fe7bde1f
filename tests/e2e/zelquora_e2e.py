"""End-to-end test of the Zelquora radio search.

Runs the real program headless against a local copy of the directory site
(tests/e2e/radio_site.py: HTTPS search pages, HTTP station pages), with the
real wget fetching the pages, types the search words on standard input, and
checks the station list, the report, the pages fetched, the speech log and
the report viewer. Usage: zelquora_e2e.py KALDORIN_BINARY
"""
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import radio_site  # noqa: E402

KALDORIN = None
INSTALLED_DRIVES = os.environ.get("TALVEN_DRIVES") or os.path.expanduser("~/.local/share/talven/drives")
INSTALLED_INI = os.path.join(INSTALLED_DRIVES, "c", "windows", "Talven.ini")
PROMPT = "Entre com os dados para a pesquisa de rádios:"
TIMEOUT = 60


def latin1(text):
    return text.encode("latin-1")


def expected_station_list(count, play_prefix):
    out = b""
    for k in range(1, count + 1):
        out += latin1(radio_site.station_name(k)) + b"\r\n"
        out += latin1(radio_site.station_place(k)) + b"\r\n"
        out += latin1(play_prefix + radio_site.station_segment(k)) + b"\r\n"
    return out


def expected_report(count, play_prefix):
    blocks = []
    for k in range(1, count + 1):
        if k % 4:
            address = "http://stream.example/%s.mp3" % radio_site.station_segment(k)
        else:
            address = play_prefix + radio_site.station_segment(k)
        blocks.append(latin1("%d. %s\r\n%s\r\n%s\r\n" % (
            k, radio_site.station_name(k), radio_site.station_place(k), address)))
    return b"\r\n".join(blocks)


class Session:
    """One run of the program in a private installation."""

    def __init__(self, site_log, https_port, http_port, wget_dir=None, search_address=None):
        self.tmp = tempfile.mkdtemp(prefix="zelquora-e2e-")
        self.drives = os.path.join(self.tmp, "drives")
        self.zelquora = os.path.join(self.drives, "c", "zelquora")
        for sub in ("temp", "som"):
            os.makedirs(os.path.join(self.zelquora, sub))
        self.play_prefix = "http://127.0.0.1:%d/play/" % http_port
        # The voices and recordings are the installed ones (the set-up puts
        # them under C:\ferlan); everything else is private to the test.
        os.symlink(os.path.join(INSTALLED_DRIVES, "c", "ferlan"), os.path.join(self.drives, "c", "ferlan"))
        config = os.path.join(self.tmp, "config", "Talven")
        os.makedirs(config)
        with open(os.path.join(config, "Talven.ini"), "wb") as f:
            # The first section of a name wins: the test's come first.
            search_address = search_address or "https://127.0.0.1:%d/busca?q=" % https_port
            f.write(("[ZELQUORA]\nENDERECOBUSCA=%s\n" % search_address).encode())
            f.write(("ENDERECOPLAY=%s\n" % self.play_prefix).encode())
            f.write(("[PROGRAMAS]\nQUIRAL=%s --view\n" % KALDORIN).encode())
            f.write(b"[TALVEN]\nTEMPOESPERAPROGVOLTAR=0\n")
            with open(INSTALLED_INI, "rb") as installed:
                f.write(installed.read())
        # wget trusts the site's certificate through the CA made for this
        # run, not through any weakening of the program's command line.
        wgetrc = os.path.join(self.tmp, "wgetrc")
        with open(wgetrc, "w") as f:
            f.write("ca_certificate = %s\n" % radio_site.CA_CERT)
        self.speech_log = os.path.join(self.tmp, "speech.log")
        self.site_log = site_log
        env = dict(os.environ)
        env.update({
            "TALVEN_DRIVES": self.drives,
            "XDG_CONFIG_HOME": os.path.join(self.tmp, "config"),
            "KALDORIN_SPEECH_LOG": self.speech_log,
            "SDL_AUDIODRIVER": "dummy",
            "LC_ALL": "C.UTF-8",
            "WGETRC": wgetrc,
        })
        env.pop("TALVEN_WINDIR", None)
        if wget_dir is not None:
            env["PATH"] = wget_dir
        self.proc = subprocess.Popen([KALDORIN, "--headless"], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                     env=env, cwd=self.tmp)
        os.set_blocking(self.proc.stdout.fileno(), False)
        self.output = b""

    def read_output(self):
        try:
            chunk = self.proc.stdout.read()
        except (BlockingIOError, ValueError):
            chunk = None
        if chunk:
            self.output += chunk
        return self.output.decode("utf-8", "replace")

    def wait_for(self, predicate, what):
        deadline = time.time() + TIMEOUT
        while time.time() < deadline:
            if predicate():
                return
            if self.proc.poll() is not None:
                self.read_output()
                if predicate():
                    return
                raise AssertionError("program ended (%s) while waiting for %s; output:\n%s"
                                     % (self.proc.returncode, what, self.read_output()))
            time.sleep(0.05)
        raise AssertionError("timed out waiting for %s; output:\n%s" % (what, self.read_output()))

    def wait_output(self, text, count=1):
        self.wait_for(lambda: self.read_output().count(text) >= count, repr(text))

    def speech(self):
        try:
            with open(self.speech_log, encoding="utf-8", errors="replace") as f:
                return f.read().splitlines()
        except FileNotFoundError:
            return []

    def wait_speech(self, line):
        self.wait_for(lambda: line in self.speech(), "speech " + repr(line))

    def type(self, text):
        self.proc.stdin.write(text.encode("utf-8"))
        self.proc.stdin.flush()

    def finish(self):
        try:
            self.proc.stdin.close()
        except BrokenPipeError:
            pass
        self.proc.wait(timeout=TIMEOUT)
        self.read_output()
        self.stderr = self.proc.stderr.read().decode("utf-8", "replace")
        return self.proc.returncode

    def file(self, name):
        with open(os.path.join(self.zelquora, "temp", name), "rb") as f:
            return f.read()

    def close(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        shutil.rmtree(self.tmp, ignore_errors=True)


@unittest.skipUnless(os.path.exists(INSTALLED_INI) and shutil.which("wget"),
                     "needs the installation made by scripts/setup.sh and wget")
class ZelquoraTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.site_log = tempfile.mktemp(prefix="radio-site-log-")
        cls.https_port, cls.http_port = radio_site.start(cls.site_log)

    def setUp(self):
        open(self.site_log, "w").close()
        self.session = None

    def tearDown(self):
        if self.session:
            self.session.close()

    def start(self, wget_dir=None, search_address=None):
        self.session = Session(self.site_log, self.https_port, self.http_port, wget_dir, search_address)
        return self.session

    def searches(self):
        with open(self.site_log) as f:
            return [line.strip() for line in f if line.startswith("/busca")]

    def search_and_view(self, s, words):
        """Types the words, waits for the viewer on the report, takes the
        station list and the report (the next pass removes them), leaves the
        viewer, and waits for the next prompt."""
        s.wait_output(PROMPT)
        s.type(words + "\n")
        s.wait_for(lambda: any(l.startswith("say ") and l.endswith(" linhas") for l in s.speech()),
                   "the report viewer")
        files = s.file("radios.txt"), s.file("radios.info")
        time.sleep(0.3)
        s.type("\x1b")
        s.wait_output(PROMPT, 2)
        return files

    def end_with_empty_search(self, s):
        s.type("\n")
        self.assertEqual(s.finish(), 0, s.stderr)
        self.assertIn("Até logo.", s.read_output())
        self.assertNotIn("say Fim do script", s.speech())

    def check_search(self, words, count, extra_pages):
        s = self.start()
        station_list, report = self.search_and_view(s, words)
        self.assertEqual(station_list, expected_station_list(count, s.play_prefix))
        self.assertEqual(report, expected_report(count, s.play_prefix))
        report_lines = 3 * count + count - 1
        self.assertIn("say %d linhas" % report_lines, s.speech())
        pages = self.searches()
        self.assertEqual(len(pages), 1 + extra_pages, pages)
        for n in range(1, extra_pages + 1):
            self.assertTrue(pages[n].endswith("&qfilter=completo&pg=%d" % n), pages[n])
        out = s.read_output()
        self.assertIn("%d resultados encontrados" % count, out)
        self.assertIn("Mostrando resultado.", out)
        speech = s.speech()
        for prompt in ("ZELQUORA_VERSAO.WAV", "AGUARDE.WAV", "NUMERO_DE_RESULTADOS_ENCONTRADOS.WAV",
                       "AGUARDE_O_PROCESSAMENTO_DAS_INFORMACOES.WAV", "PRONTO.WAV",
                       "MOSTRANDO_RESULTADO.WAV"):
            self.assertTrue(any(prompt in l.upper() for l in speech), (prompt, speech))
        self.assertIn("say %d" % count, speech)
        self.end_with_empty_search(s)

    def test_five_results(self):
        self.check_search("rock 5", 5, 0)

    def test_twenty_two_results_fetch_no_extra_page(self):
        self.check_search("rock 22", 22, 0)

    def test_twenty_three_results_fetch_one_extra_page(self):
        self.check_search("rock 23", 23, 1)

    def test_forty_four_results_fetch_one_extra_page(self):
        self.check_search("rock 44", 44, 1)

    def test_forty_five_results_fetch_two_extra_pages(self):
        self.check_search("rock 45", 45, 2)

    def test_no_results(self):
        s = self.start()
        s.wait_output(PROMPT)
        s.type("nada 0\n")
        s.wait_output(PROMPT, 2)
        self.assertIn("Nenhum resultado foi encontrado.", s.read_output())
        self.end_with_empty_search(s)

    def test_search_words_are_encoded(self):
        s = self.start()
        s.wait_output(PROMPT)
        s.type("rádio rock 0\n")
        s.wait_output(PROMPT, 2)
        self.assertEqual(self.searches(), ["/busca?q=r%C3%A1dio+rock+0&qfilter=completo"])
        self.end_with_empty_search(s)

    def test_empty_search_says_goodbye(self):
        s = self.start()
        s.wait_output(PROMPT)
        self.end_with_empty_search(s)
        self.assertEqual(self.searches(), [])

    def test_page_without_count_line(self):
        s = self.start()
        s.wait_output(PROMPT)
        s.type("semcontagem\n")
        self.assertEqual(s.finish(), 1, s.stderr)
        out = s.read_output()
        self.assertIn("Erro no aplicativo zelquora.", out)
        self.assertIn("Não foi possível obter o valor da variável $encontradas.", out)
        self.assertIn("Encerrando...", out)
        self.assertNotIn("say Fim do script", s.speech())

    def recording_wget(self):
        """A wget that writes its arguments to a log (one call a block,
        the count first) and then runs the real one."""
        folder = tempfile.mkdtemp(prefix="recording-wget-")
        log = os.path.join(folder, "calls.log")
        with open(os.path.join(folder, "wget"), "w") as f:
            f.write('#!/bin/sh\n{ echo "$#"; printf "%%s\\n" "$@"; } >> "%s"\nexec "%s" "$@"\n'
                    % (log, shutil.which("wget")))
        os.chmod(os.path.join(folder, "wget"), 0o755)
        return folder, log

    @staticmethod
    def wget_calls(log):
        lines = open(log, encoding="utf-8", errors="replace").read().splitlines()
        calls = []
        while lines:
            n = int(lines.pop(0))
            calls.append(lines[:n])
            del lines[:n]
        return calls

    def test_hostile_station_link_gives_wget_no_options(self):
        folder, log = self.recording_wget()
        s = self.start(wget_dir=folder)
        windows = os.path.join(s.drives, "c", "windows")
        os.makedirs(windows)
        with open(os.path.join(windows, "Talven.ini"), "wb") as f:
            f.write(b"[TALVEN]\nVOZ=1\n")
        station_list, report = self.search_and_view(s, "hostil 2")
        with open(os.path.join(windows, "Talven.ini"), "rb") as f:
            self.assertEqual(f.read(), b"[TALVEN]\nVOZ=1\n")
        calls = self.wget_calls(log)
        self.assertEqual(len(calls), 3, calls)  # the search page and two stations
        for call in calls:
            self.assertEqual(call[:3], ["--timeout=30", "--tries=2", "-O"], call)
            self.assertTrue(call[4].startswith("--user-agent=Mozilla/5.0 "), call)
            self.assertEqual(call[5], "--", call)
            self.assertEqual(len(call), 7, call)
            self.assertNotIn("--no-check-certificate", call)
        hostile = (s.play_prefix + "x%20-O%20C%3A%5Cwindows%5CTalven.ini%20-a%20C%3A%5Czelquora"
                   "%5Ctemp%5Cfonte.temp")
        self.assertEqual(calls[1][6], hostile)
        self.assertIn(latin1(hostile) + b"\r\n", station_list)
        with open(self.site_log) as f:
            self.assertIn(hostile[hostile.index("/play/"):], f.read().splitlines())
        self.end_with_empty_search(s)
        shutil.rmtree(folder)

    def wget_children(self, s):
        found = []
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open("/proc/%s/stat" % pid) as f:
                    stat = f.read()
            except OSError:
                continue
            name, rest = stat[stat.index("(") + 1:stat.rindex(")")], stat[stat.rindex(")") + 2:].split()
            if name == "wget" and rest[0] != "Z" and int(rest[1]) == s.proc.pid:
                found.append(pid)
        return found

    def test_escape_stops_a_slow_fetch(self):
        s = self.start()
        s.wait_output(PROMPT)
        s.type("lento 5\n")
        s.wait_for(lambda: self.searches(), "the search request")
        s.wait_for(lambda: self.wget_children(s), "wget")
        time.sleep(0.3)
        s.type("\x1b")
        started = time.time()
        s.wait_output("Busca interrompida.")
        self.assertLess(time.time() - started, radio_site.SLOW_SECONDS / 2)
        s.wait_output(PROMPT, 2)
        s.wait_speech("say Busca interrompida.")
        s.wait_for(lambda: not self.wget_children(s), "wget to end")
        self.end_with_empty_search(s)

    def test_key_typed_while_working_does_not_end_the_next_search(self):
        # The second Enter comes while the search works; it must not cut the
        # later prompts nor answer the search field after the viewer.
        s = self.start()
        s.wait_output(PROMPT)
        s.type("rock 5\n\n")
        s.wait_for(lambda: any(l.startswith("say ") and l.endswith(" linhas") for l in s.speech()),
                   "the report viewer")
        time.sleep(0.3)
        s.type("\x1b")
        s.wait_output(PROMPT, 2)
        time.sleep(1.5)
        self.assertIsNone(s.proc.poll(), s.read_output())
        self.assertNotIn("Até logo.", s.read_output())
        self.end_with_empty_search(s)

    def test_failing_download_tool(self):
        # wget's exit code tells why the page did not come.
        fake = tempfile.mkdtemp(prefix="fake-wget-")
        with open(os.path.join(fake, "wget"), "w") as f:
            f.write("#!/bin/sh\nexit 5\n")
        os.chmod(os.path.join(fake, "wget"), 0o755)
        s = self.start(wget_dir=fake)
        s.wait_output(PROMPT)
        s.type("rock 5\n")
        s.wait_output("Motivo: o certificado do site não foi aceito.")
        s.wait_output("Tentar de novo?")
        s.type("\n")
        s.wait_output(PROMPT, 2)
        s.type("\n")
        self.assertEqual(s.finish(), 0, s.stderr)
        self.assertNotIn("say Erro de execução na linha ", s.speech())
        shutil.rmtree(fake)

    @staticmethod
    def closed_port():
        with socket.socket() as sock:
            sock.bind(("127.0.0.1", 0))
            return sock.getsockname()[1]

    def test_unreachable_site_says_why_and_offers_to_try_again(self):
        s = self.start(search_address="https://127.0.0.1:%d/busca?q=" % self.closed_port())
        s.wait_output(PROMPT)
        s.type("rock 5\n")
        failure = "Não foi possível acessar o site de rádios."
        reason = "Motivo: falha de rede: sem conexão, endereço não encontrado ou tempo esgotado."
        s.wait_output("Tentar de novo?")
        out = s.read_output()
        self.assertIn(failure + "\n" + reason + "\n", out)
        self.assertNotIn("$encontradas", out)
        self.assertNotIn("Encerrando...", out)
        s.wait_speech("say " + failure)
        # s tries again, and fails again; Enter alone goes back to the search.
        s.type("s\n")
        s.wait_output("Tentar de novo?", 2)
        s.type("\n")
        s.wait_output(PROMPT, 2)
        # A failed search is over once the user is back at the prompt: a
        # normal quit after it ends well.
        s.type("\n")
        self.assertEqual(s.finish(), 0, s.stderr)
        self.assertIn("Até logo.", s.read_output())

    def test_error_answer_from_the_site_is_told(self):
        s = self.start(search_address="https://127.0.0.1:%d/nada?q=" % self.https_port)
        s.wait_output(PROMPT)
        s.type("rock 5\n")
        s.wait_output("Motivo: o site respondeu com um erro.")
        s.wait_output("Tentar de novo?")
        s.type("\n")
        s.wait_output(PROMPT, 2)
        s.type("\n")
        self.assertEqual(s.finish(), 0, s.stderr)

    def test_a_later_page_that_fails_keeps_the_stations_found(self):
        # A wget that refuses the second result page as the site would.
        folder = tempfile.mkdtemp(prefix="paging-wget-")
        with open(os.path.join(folder, "wget"), "w") as f:
            f.write('#!/bin/sh\nfor a; do case "$a" in *"&pg="*) exit 8;; esac; done\nexec "%s" "$@"\n'
                    % shutil.which("wget"))
        os.chmod(os.path.join(folder, "wget"), 0o755)
        s = self.start(wget_dir=folder)
        station_list, report = self.search_and_view(s, "rock 23")
        self.assertIn("Não foi possível trazer a página 2 dos resultados.\n"
                      "Motivo: o site respondeu com um erro.\n"
                      "O relatório fica com as rádios das páginas anteriores.\n", s.read_output())
        self.assertEqual(station_list, expected_station_list(22, s.play_prefix))
        self.end_with_empty_search(s)
        shutil.rmtree(folder)

    def test_missing_download_tool(self):
        # The start of a program that is not there is refused, which stops
        # the run at the line that starts it.
        empty = tempfile.mkdtemp(prefix="no-wget-")
        s = self.start(wget_dir=empty)
        s.wait_output(PROMPT)
        s.type("rock 5\n")
        s.wait_speech("say Erro de execução na linha ")
        s.type("\n")
        self.assertEqual(s.finish(), 1, s.stderr)
        self.assertEqual(s.speech()[-1], "say 115")
        self.assertIn("115\n", s.read_output())
        shutil.rmtree(empty)


if __name__ == "__main__":
    KALDORIN = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
