#!/usr/bin/env python3
"""kaldorin --lsp driven by a small JSON-RPC client, as an editor drives it:
initialize, a script opened and changed (diagnostics from the script check),
hover on a command word, completion, go to a label, shutdown and exit; and
a broken message that the server answers with an error and passes over."""
import json
import subprocess
import sys

KALDORIN = sys.argv[1]


class Client:
    def __init__(self):
        self.proc = subprocess.Popen([KALDORIN, "--lsp"], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.next_id = 0

    def send(self, message):
        body = json.dumps(message).encode("utf-8")
        self.proc.stdin.write(b"Content-Length: %d\r\n\r\n" % len(body) + body)
        self.proc.stdin.flush()

    def read(self):
        length = None
        while True:
            line = self.proc.stdout.readline()
            if not line:
                raise AssertionError("the server ended early")
            line = line.strip()
            if not line:
                break
            if line.lower().startswith(b"content-length:"):
                length = int(line.split(b":")[1])
        return json.loads(self.proc.stdout.read(length))

    def request(self, method, params):
        self.next_id += 1
        self.send({"jsonrpc": "2.0", "id": self.next_id, "method": method, "params": params})
        answer = self.read()
        assert answer.get("id") == self.next_id, answer
        return answer.get("result")

    def notify(self, method, params):
        self.send({"jsonrpc": "2.0", "method": method, "params": params})


def main():
    c = Client()
    try:
        first = c.request("initialize", {"processId": None, "rootUri": None, "capabilities": {}})
    except AssertionError:
        return 77  # built without the JSON library: the server does not answer
    caps = first["capabilities"]
    assert caps["textDocumentSync"] == 1 and caps["hoverProvider"] and caps["definitionProvider"], caps
    c.notify("initialized", {})
    uri = "file:///tmp/a.kal"
    text = "@início\nSEJA $nome \"olá\"\nescrve $nome\nDESVIA @início\nDESVIA @fim\n"
    c.notify("textDocument/didOpen", {"textDocument": {"uri": uri, "languageId": "kaldorin", "version": 1, "text": text}})
    diag = c.read()
    assert diag["method"] == "textDocument/publishDiagnostics", diag
    got = [(d["range"]["start"]["line"], d["range"]["start"]["character"], d["message"])
           for d in diag["params"]["diagnostics"]]
    assert got == [(2, 0, "Comando inválido: escrve"), (4, 7, "Rótulo não encontrado: @fim")], got

    # A broken message is answered with a parse error; the next one is answered.
    c.proc.stdin.write(b"Content-Length: 5\r\n\r\n{nope")
    c.proc.stdin.flush()
    answer = c.read()
    assert answer["id"] is None and answer["error"]["code"] == -32700, answer
    c.notify("textDocument/didChange", {"textDocument": {"uri": uri, "version": 2},
                                        "contentChanges": [{"text": text.replace("escrve", "ESCREVE")}]})
    diag = c.read()
    assert [d["message"] for d in diag["params"]["diagnostics"]] == ["Rótulo não encontrado: @fim"], diag

    # Fields of the wrong types are refused as an invalid request.
    c.send({"jsonrpc": "2.0", "id": 99, "method": "textDocument/hover",
            "params": {"textDocument": {"uri": 5}, "position": {"line": "x"}}})
    answer = c.read()
    assert answer["id"] == 99 and answer["error"]["code"] == -32600, answer

    hover = c.request("textDocument/hover", {"textDocument": {"uri": uri}, "position": {"line": 1, "character": 2}})
    assert hover["contents"]["value"].startswith("### SEJA"), hover
    assert c.request("textDocument/hover", {"textDocument": {"uri": uri}, "position": {"line": 40, "character": 0}}) is None

    items = [i["label"] for i in c.request("textDocument/completion",
                                           {"textDocument": {"uri": uri}, "position": {"line": 2, "character": 0}})]
    for want in ("ESCREVE", "ENQUANTO", "@início", "$nome"):
        assert want in items, (want, items)

    where = c.request("textDocument/definition", {"textDocument": {"uri": uri}, "position": {"line": 3, "character": 9}})
    assert where["uri"] == uri and where["range"]["start"]["line"] == 0, where

    assert c.request("shutdown", None) is None
    c.notify("exit", None)
    assert c.proc.wait(timeout=10) == 0
    return 0


if __name__ == "__main__":
    sys.exit(main())
