#include "app/run_mode.h"

namespace tht::app {

QString lowerAsciiLetters(const QString& text) {
    QString lowered = text;
    for (QChar& c : lowered)
        if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + (u'a' - u'A'));
    return lowered;
}

StartMode startMode(const QStringList& arguments) {
    StartMode mode;
    // Only the calling product passes exactly two arguments; the second (the
    // folder it suggests) is not read: the user still picks the folder.
    if (arguments.size() != 2) return mode;
    mode.ModoEjecucion = 2;
    const QString direction = lowerAsciiLetters(arguments.front());
    if (direction == u"importar") mode.panels = Panels::ImportOnly;
    if (direction == u"exportar") mode.panels = Panels::ExportOnly;
    return mode;
}

}  // namespace tht::app
