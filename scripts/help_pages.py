"""The help pages of help/ as the compiled help sees them: which page is the
contents, which page each help context number opens (help/mapa.txt, read as
the Qt help window reads it), each page's title and the order of the table of
contents (the contents page first, then the pages in the order it links them,
then any page it does not link, by name)."""

import html
import re
from pathlib import Path

MAP_FILE = "mapa.txt"


class HelpError(Exception):
    pass


class HelpPages:
    def __init__(self, folder):
        self.folder = Path(folder)
        self.contents, self.contexts = self._read_map()
        self.pages = sorted(p.name for p in self.folder.glob("*.html"))
        for page in [self.contents, *self.contexts.values()]:
            if page not in self.pages:
                raise HelpError(f"{self.folder / MAP_FILE} names {page}, which is not in {self.folder}")

    def _read_map(self):
        path = self.folder / MAP_FILE
        try:
            text = path.read_text(encoding="utf-8")
        except OSError as e:
            raise HelpError(f"cannot read {path}: {e.strerror}") from None
        contents, contexts = None, {}
        for number, line in enumerate(text.splitlines(), 1):
            line = line.split("#", 1)[0]
            if "=" not in line:
                continue
            key, page = (part.strip() for part in line.split("=", 1))
            if not page:
                continue
            if key.lower() == "contenido":
                contents = page
            elif re.fullmatch(r"\d+", key):
                contexts[int(key)] = page
            else:
                raise HelpError(f"{path}:{number}: '{key}' is neither 'contenido' nor a context number")
        if contents is None:
            raise HelpError(f"{path} names no contents page ('contenido = ...')")
        return contents, dict(sorted(contexts.items()))

    def text(self, page):
        return (self.folder / page).read_text(encoding="utf-8")

    def title(self, page):
        found = re.search(r"<title>(.*?)</title>", self.text(page), re.S | re.I)
        if not found or not found.group(1).strip():
            raise HelpError(f"{self.folder / page} has no <title>")
        return " ".join(html.unescape(found.group(1)).split())

    def heading(self, page):
        found = re.search(r"<h1[^>]*>(.*?)</h1>", self.text(page), re.S | re.I)
        if not found:
            return self.title(page)
        return " ".join(html.unescape(re.sub(r"<[^>]+>", "", found.group(1))).split())

    def toc_order(self):
        order = [self.contents]
        for link in re.findall(r'href="([^"#:]+\.html)', self.text(self.contents), re.I):
            if link in self.pages and link not in order:
                order.append(link)
        order += [p for p in self.pages if p not in order]
        return order
