#pragma once
// How the command line chooses the run mode and the panels, without a window.
#include <QString>
#include <QStringList>

namespace tht::app {

enum class Panels { Both, ExportOnly, ImportOnly };

struct StartMode {
    int ModoEjecucion = 0;  // 2 when the calling product started us
    Panels panels = Panels::Both;
};

// Lower-cases the letters A to Z and nothing else, so that "ÉXPORTAR" stays
// unlike "exportar" whatever the locale.
QString lowerAsciiLetters(const QString& text);

// arguments: the command line without the program itself.
StartMode startMode(const QStringList& arguments);

}  // namespace tht::app
