#!/usr/bin/env python3
"""kaldorin --lsp driven by a small JSON-RPC client, as an editor drives it:
initialize, a script opened and changed (diagnostics from the script check),
hover on a command word, completion, go to a label, shutdown and exit; and
a broken message that the server answers with an error and passes over.
Then every other feature on a second script: columns in UTF-16 units past
characters outside Latin-1, hover on labels and $names, completion in the
author's case, signature help, references, rename, the outline, formatting,
quick fixes, and a script longer than the line limit."""
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


def at(uri, line, character):
    return {"textDocument": {"uri": uri}, "position": {"line": line, "character": character}}


def open_script(c, uri, text):
    c.notify("textDocument/didOpen", {"textDocument": {"uri": uri, "languageId": "kaldorin", "version": 1, "text": text}})
    diag = c.read()
    assert diag["method"] == "textDocument/publishDiagnostics" and diag["params"]["uri"] == uri, diag
    return diag["params"]["diagnostics"]


def apply(text, edits):
    """The text with the edits made (UTF-16 columns), last first."""
    lines = text.split("\n")
    for e in sorted(edits, key=lambda e: (e["range"]["start"]["line"], e["range"]["start"]["character"]), reverse=True):
        s, t = e["range"]["start"], e["range"]["end"]
        units = [l.encode("utf-16-le") for l in lines]
        if s["line"] >= len(lines):
            lines.append("")
            units.append(b"")
        head = units[s["line"]][:2 * s["character"]].decode("utf-16-le")
        tail = units[t["line"]][2 * t["character"]:].decode("utf-16-le")
        lines[s["line"]:t["line"] + 1] = (head + e["newText"] + tail).split("\n")
    return "\n".join(lines)


def features(c):
    uri = "file:///tmp/b.kal"
    # "😀" is two UTF-16 units and one stored character; "é" one of each.
    text = ("@início\n"
            "seja $nome \"😀é\" \n"
            "se $nome = \"x\"\n"
            "escreve \"😀\" $nome\n"
            "chama @sub\n"
            "escrve 1\n"
            "@sub\n"
            "repete $i 2\n"
            "desvia @falta\n")
    diags = open_script(c, uri, text)
    got = [(d["range"]["start"]["line"], d["range"]["start"]["character"], d["range"]["end"]["character"], d["message"])
           for d in diags]
    assert (5, 0, 6, "Comando inválido: escrve") in got, got
    assert (8, 7, 13, "Rótulo não encontrado: @falta") in got, got

    # $nome after the emoji on line 3: stored column 12, UTF-16 column 13.
    hover = c.request("textDocument/hover", at(uri, 3, 14))["contents"]["value"]
    assert hover.startswith("**$nome**\n\nRecebe valor na linha 2 (SEJA). Usada nas linhas 3 e 4."), hover
    hover = c.request("textDocument/hover", at(uri, 4, 8))["contents"]["value"]
    assert hover == "**@sub**\n\nRótulo da linha 7. CHAMA vem na linha 5.", hover
    where = c.request("textDocument/definition", at(uri, 3, 15))
    assert where["range"] == {"start": {"line": 1, "character": 5}, "end": {"line": 1, "character": 10}}, where
    refs = c.request("textDocument/references", dict(at(uri, 1, 6), context={"includeDeclaration": True}))
    assert [(r["range"]["start"]["line"], r["range"]["start"]["character"]) for r in refs] == [(1, 5), (2, 3), (3, 13)], refs
    refs = c.request("textDocument/references", dict(at(uri, 6, 1), context={"includeDeclaration": False}))
    assert [r["range"]["start"]["line"] for r in refs] == [4], refs

    items = c.request("textDocument/completion", at(uri, 5, 3))
    assert [i["label"] for i in items] == ["escreve", "escrevebyte"], items
    assert items[0]["textEdit"]["range"] == {"start": {"line": 5, "character": 0}, "end": {"line": 5, "character": 3}}, items
    items = c.request("textDocument/completion", at(uri, 3, 15))
    assert [i["label"] for i in items] == ["$nome"], items

    sig = c.request("textDocument/signatureHelp", at(uri, 1, 11))
    assert sig["signatures"][0]["label"] == "SEJA v valor" and sig["activeParameter"] == 1, sig

    symbols = c.request("textDocument/documentSymbol", {"textDocument": {"uri": uri}})
    assert [s["name"] for s in symbols] == ["@início", "@sub"], symbols
    assert [s["name"] for s in symbols[0]["children"]] == ["se $nome = \"x\""], symbols
    assert symbols[1]["children"][0]["name"] == "repete $i 2", symbols

    edit = c.request("textDocument/rename", dict(at(uri, 3, 14), newName="$titulo"))
    renamed = apply(text, edit["changes"][uri])
    assert renamed.split("\n")[1:4] == ["seja $titulo \"😀é\" ", "se $titulo = \"x\"", "escreve \"😀\" $titulo"], renamed
    c.send({"jsonrpc": "2.0", "id": 500, "method": "textDocument/rename", "params": dict(at(uri, 3, 14), newName="dois nomes")})
    answer = c.read()
    assert answer["id"] == 500 and "error" in answer, answer

    # The quick fixes, each taken on the text the one before left.
    fixed, titles = text, []
    for _ in range(10):
        actions = c.request("textDocument/codeAction", {"textDocument": {"uri": uri},
                                                        "range": {"start": {"line": 0, "character": 0},
                                                                  "end": {"line": 99, "character": 0}},
                                                        "context": {"diagnostics": []}})
        if not actions:
            break
        assert actions[0]["kind"] == "quickfix" and actions[0]["diagnostics"], actions
        titles.append(actions[0]["title"])
        fixed = apply(fixed, actions[0]["edit"]["changes"][uri])
        c.notify("textDocument/didChange", {"textDocument": {"uri": uri, "version": 2}, "contentChanges": [{"text": fixed}]})
        diags = c.read()["params"]["diagnostics"]
    assert titles == ["Fechar o bloco com fim se", "Trocar por escreve", "Fechar o bloco com fim repete",
                      "Criar o rótulo @falta"], titles
    assert fixed.split("\n")[5:12] == ["escreve 1", "fim se", "@sub", "repete $i 2", "desvia @falta", "fim repete",
                                       "@falta"], fixed
    assert [d["message"] for d in diags if d.get("severity") == 1] == [], diags

    edits = c.request("textDocument/formatting", {"textDocument": {"uri": uri}, "options": {"tabSize": 2, "insertSpaces": True}})
    formatted = apply(fixed, edits).split("\n")
    assert formatted[2:7] == ["se $nome = \"x\"", "  escreve \"😀\" $nome", "  chama @sub", "  escreve 1", "fim se"], formatted
    assert formatted[9] == "  desvia @falta", formatted

    # Over the line limit: the limit is a finding, and so are the others.
    long_text = "escrve 1\n" + "escreve 1\n" * 5000 + "escrve 2\n"
    diags = open_script(c, "file:///tmp/long.kal", long_text)
    assert [(d["range"]["start"]["line"], d["message"]) for d in diags if d["severity"] == 1] == [
        (0, "Comando inválido: escrve"), (5000, "O script tem mais de 5000 linhas")], diags


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
           for d in diag["params"]["diagnostics"] if d["severity"] == 1]
    assert got == [(2, 0, "Comando inválido: escrve"), (4, 7, "Rótulo não encontrado: @fim")], got

    # A broken message is answered with a parse error; the next one is answered.
    c.proc.stdin.write(b"Content-Length: 5\r\n\r\n{nope")
    c.proc.stdin.flush()
    answer = c.read()
    assert answer["id"] is None and answer["error"]["code"] == -32700, answer
    c.notify("textDocument/didChange", {"textDocument": {"uri": uri, "version": 2},
                                        "contentChanges": [{"text": text.replace("escrve", "ESCREVE")}]})
    diag = c.read()
    assert [d["message"] for d in diag["params"]["diagnostics"] if d["severity"] == 1] == ["Rótulo não encontrado: @fim"], diag

    # Fields of the wrong types are refused as an invalid request.
    c.send({"jsonrpc": "2.0", "id": 99, "method": "textDocument/hover",
            "params": {"textDocument": {"uri": 5}, "position": {"line": "x"}}})
    answer = c.read()
    assert answer["id"] == 99 and answer["error"]["code"] == -32600, answer

    hover = c.request("textDocument/hover", {"textDocument": {"uri": uri}, "position": {"line": 1, "character": 2}})
    assert hover["contents"]["value"].startswith("**SEJA** `v valor`"), hover
    assert "### SEJA" in hover["contents"]["value"], hover
    assert c.request("textDocument/hover", {"textDocument": {"uri": uri}, "position": {"line": 40, "character": 0}}) is None

    items = [i["label"] for i in c.request("textDocument/completion",
                                           {"textDocument": {"uri": uri}, "position": {"line": 2, "character": 0}})]
    for want in ("ESCREVE", "ENQUANTO"):
        assert want in items, (want, items)
    assert "$nome" not in items and "@início" not in items, items  # command words only at a line's start
    items = [i["label"] for i in c.request("textDocument/completion",
                                           {"textDocument": {"uri": uri}, "position": {"line": 3, "character": 8}})]
    assert items == ["@início"], items
    items = [i["label"] for i in c.request("textDocument/completion",
                                           {"textDocument": {"uri": uri}, "position": {"line": 2, "character": 8}})]
    assert items == ["$nome"], items

    where = c.request("textDocument/definition", {"textDocument": {"uri": uri}, "position": {"line": 3, "character": 9}})
    assert where["uri"] == uri and where["range"]["start"]["line"] == 0, where

    features(c)
    assert c.request("shutdown", None) is None
    c.notify("exit", None)
    assert c.proc.wait(timeout=10) == 0
    return 0


if __name__ == "__main__":
    sys.exit(main())
