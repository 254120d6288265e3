"""The documentation site, as a reader's browser sees it: a few pages loaded
in headless Chromium (their DOM after scripts ran) and every page reachable
from the index read from disk; fails on a missing page, a link to a file or
an anchor that is not there, a public C++ class without its page or a
Python function without its entry.

usage: check.py SITE_DIR SOURCE_DIR CHROMIUM
"""
import html.parser
import pathlib
import re
import subprocess
import sys
import urllib.parse

LOADED = {   # page -> text its title must hold
    "index.html": "qormatrix",
    "start.html": "Getting started",
    "python-reference.html": "Python reference",
    "library.html": "Using the library",
    "accuracy.html": "Accuracy",
    "cpp/index.html": "qormatrix",
    "cpp/classVorant_1_1DtObserver.html": "DtObserver",
}


class Page(html.parser.HTMLParser):
    def __init__(self, text):
        super().__init__()
        self.links, self.ids, self.title, self._in_title = [], set(), "", False
        self.feed(text)

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        for key in ("id", "name") if tag == "a" else ("id",):
            if attrs.get(key):
                self.ids.add(attrs[key])
        for key in ("href", "src"):
            if attrs.get(key) and (tag != "link" or attrs.get("rel") != "canonical"):
                self.links.append(attrs[key])
        self._in_title = tag == "title"

    def handle_endtag(self, tag):
        self._in_title = False

    def handle_data(self, data):
        if self._in_title:
            self.title += data


def local(link):
    parts = urllib.parse.urlsplit(link)
    return None if parts.scheme or parts.netloc or link.startswith("//") else parts


def main(site, source, chromium):
    site, source = pathlib.Path(site).resolve(), pathlib.Path(source)
    problems, parsed = [], {}

    def page(path):
        if path not in parsed:
            parsed[path] = Page(path.read_text(encoding="utf-8", errors="replace"))
        return parsed[path]

    def check_links(where, links):
        for link in links:
            parts = local(link)
            if parts is None:
                continue
            target = (where.parent / urllib.parse.unquote(parts.path)).resolve() if parts.path else where
            if not target.is_file():
                problems.append(f"{where.relative_to(site)}: broken link {link}")
            elif parts.fragment and target.suffix == ".html" and parts.fragment not in page(target).ids:
                problems.append(f"{where.relative_to(site)}: no anchor for {link}")

    # In the browser.
    for name, title in LOADED.items():
        path = site / name
        if not path.is_file():
            problems.append(f"missing page {name}")
            continue
        dom = subprocess.run([chromium, "--headless", "--no-sandbox", "--disable-gpu", "--dump-dom",
                              path.as_uri()], capture_output=True, text=True, timeout=120).stdout
        loaded = Page(dom)
        if title not in loaded.title:
            problems.append(f"{name}: the browser shows the title {loaded.title.strip()!r}")
        check_links(path, loaded.links)

    # Every page the index leads to, from disk.
    todo, seen = [site / "index.html"], set()
    while todo:
        path = todo.pop()
        if path in seen or not path.is_file():
            continue
        seen.add(path)
        links = page(path).links
        check_links(path, links)
        for link in links:
            parts = local(link)
            if parts and parts.path.endswith(".html"):
                todo.append((path.parent / urllib.parse.unquote(parts.path)).resolve())

    # Every exported C++ class has its page, reachable from the index.
    for header in sorted((source / "include").glob("*.h")):
        for cls in re.findall(r"^(?:class|struct) DT_EXPORT (\w+)", header.read_text(), re.M):
            if site / "cpp" / f"classVorant_1_1{cls}.html" not in seen and \
               site / "cpp" / f"structVorant_1_1{cls}.html" not in seen:
                problems.append(f"no page reachable for the C++ class {cls}")
    # Every public Python name has its entry.
    import qormatrix
    ids = page(site / "python-reference.html").ids
    for name in qormatrix.__all__:
        if name != "__version__" and f"qormatrix.{name}" not in ids:
            problems.append(f"python-reference.html: no entry for qormatrix.{name}")

    for p in problems:
        print(p)
    print(f"{len(seen)} pages reachable from the index, {len(LOADED)} loaded in the browser, "
          f"{len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
