"""A small copy of the radio directory site, for the end-to-end test.

Serves, on 127.0.0.1:
  - over HTTPS (a certificate for 127.0.0.1 from a CA made at start, whose
    certificate is CA_CERT once started):
      /busca?q=WORDS&qfilter=completo[&pg=N]  result pages, 22 stations each
  - over HTTP:
      /play/SEGMENT                           station pages

The number of results of a search is the first number in its words ("rock 45"
gives 45; no number gives 5); the word "semcontagem" gives a page without the
result-count line; "hostil" gives station 1 a link whose last segment is
HOSTILE_SEGMENT, text that a careless caller would turn into wget options;
"lento" makes the search page take SLOW_SECONDS to answer. Station k has its stream address on its page unless k is a
multiple of 4. Every request path is appended to the log file given with --log.
"""
import argparse
import http.server
import os
import re
import ssl
import subprocess
import tempfile
import threading
import time
import urllib.parse

PER_PAGE = 22
HOSTILE_SEGMENT = r"x -O C:\windows\Talven.ini -a C:\zelquora\temp\fonte.temp"
SLOW_SECONDS = 20
CA_CERT = None


def station_name(k):
    return "Rádio Estação %d FM" % k


def station_place(k):
    return "São Paulo - SP" if k % 2 else "Belém - PA"


def station_segment(k):
    return "estacao-%d" % k


def result_count(words):
    m = re.search(r"\d+", words)
    return int(m.group(0)) if m else 5


def link_segment(words, k):
    return HOSTILE_SEGMENT if "hostil" in words and k == 1 else station_segment(k)


def search_page(words, page):
    total = result_count(words)
    first = page * PER_PAGE + 1
    last = min(total, first + PER_PAGE - 1)
    out = ["<html><head><title>Busca</title></head><body>",
           '<div class="header">Rádios</div>']
    if "semcontagem" not in words:
        out.append('<p class="contagem">Mostrando %d - %d de %d resultados</p>'
                   % (first, last, total))
    out.append('<div class="panel-body">')
    for k in range(first, last + 1):
        out.append('<div class="radio"><img src="/logo/%d.png" alt="%s">' % (k, station_name(k)))
        out.append('<a class="localizacao" href="/local/%d">%s</a>' % (k, station_place(k)))
        out.append('<a class="btn btn-primary" href="https://radios.example/radio/%s">Ouvir</a></div>'
                   % link_segment(words, k))
    out.append('</div><div class="resultados-sidebar">Mais rádios</div></body></html>')
    return "\n".join(out)


def station_page(segment):
    k = int(segment.rsplit("-", 1)[-1]) if segment.rsplit("-", 1)[-1].isdigit() else 0
    out = ["<html><body><h1>%s</h1>" % station_name(k), "<script>", "var player = {"]
    if k % 4:
        out.append('  src:  "http://stream.example/%s.mp3",' % segment)
    out.append("  volume: 1 };</script></body></html>")
    return "\n".join(out)


class Handler(http.server.BaseHTTPRequestHandler):
    log_path = None

    def do_GET(self):
        if self.log_path:
            with open(self.log_path, "a") as f:
                f.write(self.path + "\n")
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query)
        if url.path == "/busca":
            words = query.get("q", [""])[0]
            if "lento" in words:
                time.sleep(SLOW_SECONDS)
            page = int(query.get("pg", ["0"])[0])
            body = search_page(words, page)
        elif url.path.startswith("/play/"):
            body = station_page(url.path[len("/play/"):])
        else:
            self.send_error(404)
            return
        data = body.encode("utf-8")
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        try:
            self.wfile.write(data)
        except (ConnectionError, ssl.SSLError):
            pass  # the client gave up (a stopped download)

    def log_message(self, *args):
        pass


def openssl(*args):
    subprocess.run(["openssl"] + list(args), check=True, capture_output=True)


def make_certificate(folder):
    """A CA made for this run and a server certificate for 127.0.0.1 signed
    by it; returns (ca_cert, cert, key)."""
    def path(name):
        return os.path.join(folder, name)
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj", "/CN=Radio Test CA",
            "-addext", "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign",
            "-keyout", path("ca-key.pem"), "-out", path("ca.pem"))
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=127.0.0.1",
            "-keyout", path("key.pem"), "-out", path("server.csr"))
    with open(path("server.ext"), "w") as f:
        f.write("subjectAltName=IP:127.0.0.1\nbasicConstraints=CA:FALSE\n")
    openssl("x509", "-req", "-in", path("server.csr"), "-CA", path("ca.pem"), "-CAkey", path("ca-key.pem"),
            "-CAcreateserial", "-days", "1", "-extfile", path("server.ext"), "-out", path("cert.pem"))
    return path("ca.pem"), path("cert.pem"), path("key.pem")


def start(log_path):
    """Starts both servers on free ports; returns (https_port, http_port)."""
    Handler.log_path = log_path
    folder = tempfile.mkdtemp(prefix="radio-site-")
    global CA_CERT
    CA_CERT, cert, key = make_certificate(folder)
    secure = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    ctx.load_cert_chain(cert, key)
    secure.socket = ctx.wrap_socket(secure.socket, server_side=True)
    plain = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    for server in (secure, plain):
        threading.Thread(target=server.serve_forever, daemon=True).start()
    return secure.server_address[1], plain.server_address[1]


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--log")
    args = parser.parse_args()
    https_port, http_port = start(args.log)
    print(https_port, http_port, flush=True)
    threading.Event().wait()
