#!/usr/bin/env python3
"""kaldorin --lsp in Neovim (0.7 or later), headless, set up as the guide
sets it up for 0.7: the findings reach the buffer's diagnostics, hover
answers, a rename past a character outside the plane (two UTF-16 units)
lands in the right columns, a quick fix the editor applies corrects a
misspelt word, and formatting indents the block. Skipped (77) without
Neovim 0.7 or later."""
import os
import re
import subprocess
import sys
import tempfile

KALDORIN = sys.argv[1]

# The guide's set-up for Neovim 0.7, with the program's path filled in.
SETUP = r'''
vim.cmd("autocmd BufRead,BufNewFile *.kal setfiletype kaldorin")
local kaldorin_client = nil
vim.api.nvim_create_autocmd("FileType", {
  pattern = "kaldorin",
  callback = function(args)
    kaldorin_client = kaldorin_client or vim.lsp.start_client({ name = "kaldorin", cmd = { "KALDORIN", "--lsp" } })
    vim.lsp.buf_attach_client(args.buf, kaldorin_client)
  end,
})
'''

STEPS = r'''
local out = {}
local function say(s) table.insert(out, s) end
local function lines() return vim.api.nvim_buf_get_lines(0, 0, -1, false) end
vim.cmd("edit SCRIPT")
vim.bo.expandtab = true
vim.bo.shiftwidth = 2
vim.wait(10000, function() return #vim.diagnostic.get(0) > 0 end, 20)
for _, d in ipairs(vim.diagnostic.get(0)) do say(string.format("diag %d %d %s", d.lnum, d.col, d.message)) end
local doc = vim.lsp.util.make_text_document_params()
local hover = vim.lsp.buf_request_sync(0, "textDocument/hover", { textDocument = doc, position = { line = 1, character = 1 } }, 5000)
for _, r in pairs(hover or {}) do say("hover " .. vim.split(r.result.contents.value, "\n")[1]) end
vim.api.nvim_win_set_cursor(0, { 3, 16 })
vim.lsp.buf.rename("total")
vim.wait(5000, function() return lines()[3]:find("total") ~= nil end, 20)
local range = { start = { line = 3, character = 0 }, ["end"] = { line = 3, character = 0 } }
local actions = vim.lsp.buf_request_sync(0, "textDocument/codeAction",
  { textDocument = doc, range = range, context = { diagnostics = {} } }, 5000)
for _, r in pairs(actions or {}) do
  say("action " .. r.result[1].title)
  vim.lsp.util.apply_workspace_edit(r.result[1].edit, "utf-16")
end
vim.lsp.buf.formatting_sync(nil, 5000)
for _, l in ipairs(lines()) do say("line " .. l) end
vim.fn.writefile(out, "RESULT")
vim.cmd("qa!")
'''

SCRIPT = '@início\nSE $x = 1\nescreve "😀" $x\nescrve 2\nFIM SE\n'

WANT = [
    "diag 3 0 Comando inválido: escrve",
    "hover **SE** `condição [comando]`",
    "action Trocar por escreve",
    "line @início",
    "line SE $total = 1",
    'line   escreve "😀" $total',
    "line   escreve 2",
    "line FIM SE",
]


def nvim_version():
    try:
        text = subprocess.run(["nvim", "--version"], capture_output=True, text=True, timeout=20).stdout
    except (OSError, subprocess.TimeoutExpired):
        return None
    m = re.match(r"NVIM v(\d+)\.(\d+)", text)
    return (int(m.group(1)), int(m.group(2))) if m else None


def main():
    version = nvim_version()
    if version is None or version < (0, 7):
        return 77
    with tempfile.TemporaryDirectory() as tmp:
        script, result = os.path.join(tmp, "a.kal"), os.path.join(tmp, "result.txt")
        with open(script, "w", encoding="utf-8") as f:
            f.write(SCRIPT)
        init, steps = os.path.join(tmp, "init.lua"), os.path.join(tmp, "steps.lua")
        with open(init, "w") as f:
            f.write(SETUP.replace("KALDORIN", KALDORIN))
        with open(steps, "w", encoding="utf-8") as f:
            f.write(STEPS.replace("SCRIPT", script).replace("RESULT", result))
        env = dict(os.environ, XDG_CONFIG_HOME=tmp, XDG_DATA_HOME=tmp, XDG_STATE_HOME=tmp, XDG_CACHE_HOME=tmp)
        subprocess.run(["nvim", "--headless", "-n", "-i", "NONE", "-u", init, "-c", "luafile " + steps],
                       env=env, stdin=subprocess.DEVNULL, timeout=60, check=False)
        with open(result, encoding="utf-8") as f:
            got = f.read().splitlines()
    got = [g for g in got if not g.startswith("diag ") or "escrve" in g]  # warnings may come and go
    assert got == WANT, got
    return 0


if __name__ == "__main__":
    sys.exit(main())
