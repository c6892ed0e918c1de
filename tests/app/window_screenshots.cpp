// Pictures of the Qt window in each run mode, to be set beside the Win32
// window's (scripts/screenshots.sh):
//   window_screenshots START_FOLDER OUTPUT_FOLDER
// writes OUTPUT_FOLDER/qt-interactive.png, qt-exportar.png, qt-importar.png.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>

#include <cstdio>

#include "app/main_form.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "uso: window_screenshots CARPETA_INICIAL CARPETA_DE_SALIDA\n");
        return 2;
    }
    const QString start = QString::fromLocal8Bit(argv[1]);
    const QDir output(QString::fromLocal8Bit(argv[2]));
    const QTemporaryDir scratch;  // no run happens; the settings file and tables would go here
    const struct {
        const char* name;
        QStringList arguments;
    } modes[] = {{"interactive", {}}, {"exportar", {"exportar", "x"}}, {"importar", {"importar", "x"}}};
    for (const auto& mode : modes) {
        tht::app::FormOptions options;
        options.startFolder = start;
        options.htemp = QFile::encodeName(scratch.path()).toStdString();
        options.iniFile = QFile::encodeName(scratch.filePath("Horalina.ini")).toStdString();
        TMForm form(mode.arguments, options);
        form.show();
        QApplication::processEvents();
        const QString file = output.filePath(QStringLiteral("qt-%1.png").arg(QString::fromLatin1(mode.name)));
        if (!form.grab().save(file)) {
            std::fprintf(stderr, "no se puede escribir %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
