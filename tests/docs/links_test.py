#!/usr/bin/env python3
"""Every relative link and picture in README.md and docs/*.md resolves.

  links_test.py ROOT

A link's file (or folder) must exist, relative to the document that names
it; a "#anchor" must name a heading of the target document (or of the same
document where no file is given), made into an anchor as GitHub does:
lower case, everything but letters, digits, blanks, "-" and "_" dropped,
blanks made "-", and "-1", "-2" ... added to a repeated one. Links to other
sites (http:, https:, mailto:) are not followed. Links inside code (fenced
blocks and `spans`) are not links.

Before the documents, the checker is tried on documents of its own with
known broken links: it must find exactly those, so that a checker that
finds nothing cannot pass. Prints each broken link with its file and line;
fails where there is one, or where the documents have no link at all.
"""
import re
import sys
import tempfile
import unicodedata
from pathlib import Path
from urllib.parse import unquote

FENCE = re.compile(r"^\s{0,3}(`{3,}|~{3,})")
CODE_SPAN = re.compile(r"(`+)(.+?)\1")
# [text](target) and ![alt](target); the target may be <in angle brackets>
# and may carry a "title". Text may hold one level of brackets (an image
# inside a link).
INLINE = re.compile(r"!?\[(?:[^\[\]]|\[[^\[\]]*\])*\]\(\s*(<[^>]*>|[^\s)]*)(?:\s+\"[^\"]*\")?\s*\)")
REFERENCE = re.compile(r"^\s{0,3}\[[^\]]+\]:\s*(<[^>]*>|\S+)")
HTML_TARGET = re.compile(r"<(?:a|img)\b[^>]*?\b(?:href|src)\s*=\s*\"([^\"]*)\"", re.IGNORECASE)
HTML_ANCHOR = re.compile(r"<[a-z]+\b[^>]*?\b(?:id|name)\s*=\s*\"([^\"]*)\"", re.IGNORECASE)
HEADING = re.compile(r"^\s{0,3}(#{1,6})\s+(.*?)\s*#*\s*$")
EXTERNAL = re.compile(r"^[a-z][a-z0-9+.-]*:", re.IGNORECASE)


def outside_code(text):
    """Each line of TEXT outside fenced code blocks, with its number, its code spans blanked."""
    fence = None
    for number, line in enumerate(text.splitlines(), 1):
        m = FENCE.match(line)
        if m:
            mark = m.group(1)
            if fence is None:
                fence = mark
            elif mark[0] == fence[0] and len(mark) >= len(fence):
                fence = None
            continue
        if fence is None:
            yield number, CODE_SPAN.sub(lambda s: " " * len(s.group(0)), line)


def slug(heading):
    """The anchor GitHub makes of a heading's text."""
    text = re.sub(r"!?\[([^\]]*)\]\([^)]*\)", r"\1", heading)  # a link's text stays
    text = re.sub(r"<[^>]+>", "", text)  # HTML tags go
    text = text.replace("`", "").lower()
    kept = []
    for ch in text:
        if ch in " -_" or unicodedata.category(ch)[0] in "LN":
            kept.append(ch)
    return "".join(kept).replace(" ", "-")


def anchors(path):
    """The anchors of a Markdown file: its headings' and its HTML ids and names."""
    found, seen = set(), {}
    for _, line in outside_code(path.read_text(encoding="utf-8")):
        m = HEADING.match(line)
        if m:
            base = slug(m.group(2))
            n = seen.get(base, 0)
            seen[base] = n + 1
            found.add(base if n == 0 else f"{base}-{n}")
        found.update(HTML_ANCHOR.findall(line))
    return found


def targets(path):
    """(line, target) of each link and picture in a Markdown file."""
    for number, line in outside_code(path.read_text(encoding="utf-8")):
        for m in INLINE.finditer(line):
            yield number, m.group(1)
        m = REFERENCE.match(line)
        if m:
            yield number, m.group(1)
        for target in HTML_TARGET.findall(line):
            yield number, target


def broken_links(root, documents):
    """(document, line, target, why) of each broken link; and how many links there were."""
    broken, count, cache = [], 0, {}
    for doc in documents:
        for number, target in targets(doc):
            target = target.strip("<>")
            if EXTERNAL.match(target):
                continue
            count += 1
            name, _, anchor = target.partition("#")
            file = (doc.parent / unquote(name)).resolve() if name else doc.resolve()
            where = doc.relative_to(root)
            if not file.exists():
                broken.append((where, number, target, "no such file"))
            elif not file.resolve().is_relative_to(root.resolve()):
                broken.append((where, number, target, "outside the repository"))
            elif anchor:
                if file.suffix.lower() != ".md":
                    broken.append((where, number, target, "an anchor into a file that is not Markdown"))
                    continue
                if file not in cache:
                    cache[file] = anchors(file)
                if unquote(anchor) not in cache[file]:
                    broken.append((where, number, target, f"no heading \"#{anchor}\" in {file.name}"))
    return broken, count


def documents_of(root):
    return [root / "README.md", *sorted((root / "docs").glob("*.md"))]


SELF_README = """# Top

A [good link](docs/a.md), a [good anchor](docs/a.md#second-part-one),
[one of its own](#top), [a repeated heading](docs/a.md#same-1) and
![a picture](docs/p.png "title"), a [folder](docs/), <https://example.com>
and [a site](https://example.com/x#y) are fine.
Broken: [a file](docs/missing.md), [an anchor](docs/a.md#nowhere),
![a picture](docs/missing.png), [an anchor of its own](#bottom),
<img src="docs/gone.png"> and [a reference].

[a reference]: docs/also-missing.md

`[not a link](nowhere.md)`

```
[not a link either](nowhere.md)
```
"""
SELF_DOC = """# A

## Second part: one

## Same

## Same

```
# Not a heading
```

[Back](../README.md#top) and [not back](../README.md#not-a-heading).
"""
SELF_BROKEN = {
    ("README.md", 7, "docs/missing.md"),
    ("README.md", 7, "docs/a.md#nowhere"),
    ("README.md", 8, "docs/missing.png"),
    ("README.md", 8, "#bottom"),
    ("README.md", 9, "docs/gone.png"),
    ("README.md", 11, "docs/also-missing.md"),
    ("docs/a.md", 13, "../README.md#not-a-heading"),
}


def self_check():
    """The checker on documents of its own: exactly the known broken links found."""
    with tempfile.TemporaryDirectory() as tmp:
        root = Path(tmp)
        (root / "docs").mkdir()
        (root / "README.md").write_text(SELF_README, encoding="utf-8")
        (root / "docs" / "a.md").write_text(SELF_DOC, encoding="utf-8")
        (root / "docs" / "p.png").write_bytes(b"\x89PNG")
        broken, count = broken_links(root, documents_of(root))
        found = {(str(doc), line, target) for doc, line, target, _ in broken}
        if found != SELF_BROKEN or count != 14:
            print("FAIL: the checker itself: on its own documents it found", file=sys.stderr)
            for item in sorted(found ^ SELF_BROKEN):
                print(f"  {'not expected' if item in found else 'missed'}: {item}", file=sys.stderr)
            print(f"  ({count} links checked, 14 expected)", file=sys.stderr)
            return False
    return True


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: links_test.py ROOT")
    if not self_check():
        return 2
    root = Path(sys.argv[1]).resolve()
    documents = documents_of(root)
    missing = [d for d in documents if not d.is_file()]
    if missing:
        print(f"FAIL: no {', '.join(str(d) for d in missing)}", file=sys.stderr)
        return 1
    broken, count = broken_links(root, documents)
    for doc, line, target, why in broken:
        print(f"FAIL: {doc}:{line}: {target}: {why}", file=sys.stderr)
    if count == 0:
        print("FAIL: the documents have no relative link at all", file=sys.stderr)
        return 1
    print(f"{count} links in {len(documents)} documents, {len(broken)} broken")
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main())
