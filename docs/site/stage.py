"""Stages the documentation site's sources into a build directory: the pages
of this folder, README.md split at its second-level headings into guide
pages, and the accuracy report with its plot. A README section without a
page here stops the build (so that nothing falls out of the site unnoticed).

usage: stage.py SOURCE_DIR STAGE_DIR
"""
import pathlib
import re
import shutil
import sys

# README section -> page (the sections of one page keep their order).
PAGES = {
    None: "start",   # the title's own text
    "Installing": "start",
    "What it is": "start",
    "Two commands": "start",
    "qorconvert": "qorconvert",
    "Using the library": "library",
    "Python": "python",
    "Heights above the geoid": "geoid",
    "Speed and accuracy": "speed-and-accuracy",
    "Things worth knowing": "things-worth-knowing",
    "Tests": "development",
    "Build options": "development",
    "Documentation": "development",
    "Debian packages": "start",
    "Layout": "development",
}
# Pages of several sections get a title of their own; a one-section page's
# heading becomes its title.
TITLES = {"start": "Getting started", "development": "Building, testing and the source tree"}
# Files the README links to, as the site names them.
LINKS = {"docs/accuracy.md": "accuracy.md", "docs/accuracy.png": "accuracy.png"}


def split(readme):
    sections, heading, lines = [], None, []
    fence = False
    for line in readme.splitlines():
        if line.startswith("```"):
            fence = not fence
        if not fence and line.startswith("## "):
            sections.append((heading, lines))
            heading, lines = line[3:].strip(), []
        elif not fence and line.startswith("# ") and heading is None and not lines:
            continue   # the README's title
        else:
            lines.append(line)
    sections.append((heading, lines))
    return sections


def relink(text):
    def fix(match):
        target = match.group(2)
        return f"{match.group(1)}({LINKS.get(target, target)})"
    return re.sub(r"(\]\s*)\(([^)\s]+)\)", fix, text)


def main(source, stage):
    source, stage = pathlib.Path(source), pathlib.Path(stage)
    if stage.exists():
        shutil.rmtree(stage)
    stage.mkdir(parents=True)
    here = pathlib.Path(__file__).resolve().parent
    for page in here.iterdir():
        if page.suffix in (".md", ".py") and page.name not in ("stage.py", "cpp-mainpage.md"):
            shutil.copy(page, stage / page.name)
    pages = {}
    for heading, lines in split((source / "README.md").read_text(encoding="utf-8")):
        if heading not in PAGES:
            sys.exit(f"stage.py: README section '{heading}' has no page in the site")
        pages.setdefault(PAGES[heading], []).append((heading, lines))
    for page, sections in pages.items():
        if page in TITLES:
            text = [f"# {TITLES[page]}", ""]
            for heading, lines in sections:
                text += ([f"## {heading}"] if heading else []) + lines
        else:
            (heading, lines), = sections
            text = [f"# {heading}"]
            fence = False
            for line in lines:   # one level up: the section is the page
                fence = fence != line.startswith("```")
                text.append(line[1:] if not fence and re.match(r"###+ ", line) else line)
        (stage / f"{page}.md").write_text(relink("\n".join(text)) + "\n", encoding="utf-8")
    shutil.copy(source / "docs" / "accuracy.md", stage / "accuracy.md")
    shutil.copy(source / "docs" / "accuracy.png", stage / "accuracy.png")


if __name__ == "__main__":
    main(*sys.argv[1:3])
