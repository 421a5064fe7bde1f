#!/usr/bin/python3
"""Renders a Brazilian Portuguese document of docs/pt_BR (the user's guide,
the language reference) as an HTML page, for reading in a browser with a
screen reader's heading keys.

The page says it is in Brazilian Portuguese (lang="pt-BR"), every heading
gets an anchor, and a table of contents ("Sumário", a list of links to the
parts) follows the title. Links to the other Markdown documents of the
folder lead to their HTML pages. Uses Python-Markdown (Debian's
python3-markdown) with its table of contents, table and fenced code
extensions. The page is written beside its final name and renamed.

Usage: render_manual.py IN.md OUT.html
"""
import html
import os
import re
import sys

import markdown

STYLE = """
body { max-width: 50em; margin: 1em auto; padding: 0 1em; font-family: sans-serif; line-height: 1.5; }
table { border-collapse: collapse; }
th, td { border: 1px solid #888; padding: 0.2em 0.5em; text-align: left; vertical-align: top; }
pre { background: #f2f2f2; padding: 0.5em; overflow-x: auto; }
nav ul { list-style: none; padding-left: 1em; }
"""


def render(text):
    md = markdown.Markdown(extensions=["toc", "tables", "fenced_code"],
                           extension_configs={"toc": {"toc_depth": "2-3", "permalink": False}})
    body = md.convert(text)
    # Links to the folder's other documents go to their pages.
    body = re.sub(r'href="([A-Za-z0-9_-]+)\.md(#[^"]*)?"', lambda m: 'href="%s.html%s"' % (m.group(1), m.group(2) or ""),
                  body)
    title_match = re.search(r"<h1[^>]*>(.*?)</h1>", body, re.S)
    title = re.sub(r"<[^>]+>", "", title_match.group(1)) if title_match else "kaldorin"
    toc = md.toc_tokens
    nav = ""
    if md.toc.strip() and toc:
        inner = re.sub(r'^<div class="toc">\s*|\s*</div>\s*$', "", md.toc.strip())
        nav = '<nav aria-labelledby="sumario">\n<h2 id="sumario">Sumário</h2>\n%s\n</nav>\n' % inner
    if title_match:
        end = title_match.end()
        body = body[:end] + "\n" + nav + body[end:]
    else:
        body = nav + body
    return ('<!DOCTYPE html>\n<html lang="pt-BR">\n<head>\n<meta charset="utf-8">\n'
            '<meta name="viewport" content="width=device-width, initial-scale=1">\n'
            "<title>%s</title>\n<style>%s</style>\n</head>\n<body>\n<main>\n%s\n</main>\n</body>\n</html>\n"
            % (html.escape(html.unescape(title), quote=False), STYLE, body))


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    source, target = sys.argv[1], sys.argv[2]
    with open(source, encoding="utf-8") as f:
        page = render(f.read())
    temporary = target + ".tmp"
    with open(temporary, "w", encoding="utf-8") as f:
        f.write(page)
    os.replace(temporary, target)
    return 0


if __name__ == "__main__":
    sys.exit(main())
