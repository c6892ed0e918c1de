// The pages built once per process: the one TUXA's files are in, which the
// environment or the system names, and the one our tables are in.
#include "platform/code_pages.h"

namespace tht {
namespace {

const detail::SystemPageSetting& systemPageSetting() {
    static const detail::SystemPageSetting setting = detail::readSystemPageSetting();
    return setting;
}

}  // namespace

const CodePage& systemCodePage() {
    static const CodePage page = openCodePage(systemPageSetting().name);
    return page;
}

bool systemCodePageIsNamed() { return systemPageSetting().named; }

const CodePage& windows1252() {
    static const CodePage page = openCodePage("windows-1252");
    return page;
}

}  // namespace tht
