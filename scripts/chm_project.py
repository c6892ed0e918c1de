#!/usr/bin/env python3
"""Writes the HTML Help project of TUXA.chm into a build folder: the project
file (.hhp), the table of contents (.hhc) and a link to each page of help/, so
that the compiler stores the pages under their own names without a copy.

  chm_project.py HELP_DIR OUT_DIR CHM_NAME

The help viewer reads the table of contents in the code page of the help
file's language (Spanish: Windows-1252), so titles are written in it. The
context map is not part of the project: chm_context_map.py adds it to the
compiled file (see there why)."""

import html
import sys
from pathlib import Path

from help_pages import HelpError, HelpPages

LANGUAGE = "0xc0a"  # Spanish, international sort: Windows-1252
CODE_PAGE = "cp1252"


def attribute(text):
    return html.escape(text, quote=True)


def toc(pages):
    lines = [
        '<!DOCTYPE HTML PUBLIC "-//IETF//DTD HTML//EN">',
        "<HTML>",
        "<HEAD>",
        '<meta http-equiv="Content-Type" content="text/html; charset=Windows-1252">',
        "</HEAD>",
        "<BODY>",
        '<OBJECT type="text/site properties">',
        "</OBJECT>",
        "<UL>",
    ]
    for page in pages.toc_order():
        lines += [
            '<LI> <OBJECT type="text/sitemap">',
            f'<param name="Name" value="{attribute(pages.title(page))}">',
            f'<param name="Local" value="{attribute(page)}">',
            "</OBJECT>",
        ]
    lines += ["</UL>", "</BODY>", "</HTML>", ""]
    text = "\r\n".join(lines)
    try:
        return text.encode(CODE_PAGE)
    except UnicodeEncodeError as e:
        raise HelpError(f"a page title has '{e.object[e.start:e.end]}', which Windows-1252 cannot hold") from None


def project(pages, chm_name, toc_name):
    options = [
        "[OPTIONS]",
        "Compatibility=1.1 or later",
        f"Compiled file={chm_name}",
        f"Contents file={toc_name}",
        f"Default topic={pages.contents}",
        "Display compile progress=No",
        f"Language={LANGUAGE}",
        f"Title={pages.heading(pages.contents)}",
        "",
        "[FILES]",
        *pages.toc_order(),
        "",
    ]
    text = "\r\n".join(options)
    try:
        return text.encode(CODE_PAGE)
    except UnicodeEncodeError:
        raise HelpError("the contents page's heading cannot be written in Windows-1252") from None


def link_pages(pages, out):
    for old in out.glob("*.html"):
        old.unlink()
    for page in pages.pages:
        (out / page).symlink_to((pages.folder / page).resolve())


def main(argv):
    if len(argv) != 4:
        print(__doc__, file=sys.stderr)
        return 64
    help_dir, out, chm_name = Path(argv[1]), Path(argv[2]), argv[3]
    stem = Path(chm_name).stem
    try:
        pages = HelpPages(help_dir)
        out.mkdir(parents=True, exist_ok=True)
        link_pages(pages, out)
        (out / f"{stem}.hhc").write_bytes(toc(pages))
        (out / f"{stem}.hhp").write_bytes(project(pages, chm_name, f"{stem}.hhc"))
    except HelpError as e:
        print(f"chm_project: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
