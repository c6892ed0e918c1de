#pragma once
// The code pages the system knows, by name, and the one TUXA's files are in.
#include <string>
#include <string_view>

#include "charset/codepage.h"

namespace tht {

// A page by name ("windows-1252", "ibm-850", "ISO-8859-15", "UTF-8", ...):
// any ICU converter on Linux, the names of Windows' own code pages on Windows.
// Throws Error(CodePageUnknown) for a name the system does not know.
CodePage openCodePage(std::string_view name);

// The code page of TUXA files and "TUXA_HORARIO.TXT": the environment
// variable TUXA_CODEPAGE when set, else the system's ANSI code page
// (windows-1252 on Linux). Built once.
const CodePage& systemCodePage();
// Whether TUXA_CODEPAGE names the page: then no file's page is guessed.
bool systemCodePageIsNamed();
// windows-1252, the code page of the tables we write. Built once.
const CodePage& windows1252();

namespace detail {
// What the system says of its page: TUXA_CODEPAGE's value when set, else
// the name of its ANSI page. Each system's implementation gives it; the
// functions above read it once.
struct SystemPageSetting {
    std::string name;
    bool named = false;
};
SystemPageSetting readSystemPageSetting();
}  // namespace detail

}  // namespace tht
