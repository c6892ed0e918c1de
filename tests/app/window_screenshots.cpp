// Pictures of the Qt window in each run mode, to be set beside the Win32
// window's (scripts/screenshots.sh):
//   window_screenshots START_FOLDER OUTPUT_FOLDER
// writes OUTPUT_FOLDER/qt-interactive.png, qt-exportar.png, qt-importar.png:
// the window's client area. On a display with a window manager (platform
// xcb) it writes qt-MODE-frame.png instead: the window as the desktop shows
// it, title bar and icon included.
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

#include "app/app_icon.h"
#include "app/main_form.h"

namespace {

// The window with the frame its window manager gives it, once it has one.
QPixmap framed(QWidget& window) {
    const QDeadlineTimer deadline(5000);
    while (window.frameGeometry() == window.geometry() && !deadline.hasExpired()) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
    // The window manager paints its title bar after it has framed the window.
    for (int i = 0; i < 25; ++i) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
    const QRect frame = window.frameGeometry();
    return window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "uso: window_screenshots CARPETA_INICIAL CARPETA_DE_SALIDA\n");
        return 2;
    }
    QApplication::setWindowIcon(tht::app::applicationIcon());
    const bool withFrame = QApplication::platformName() == u"xcb";
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
        const QString file = output.filePath(
            QString::fromLatin1(withFrame ? "qt-%1-frame.png" : "qt-%1.png").arg(QString::fromLatin1(mode.name)));
        if (!(withFrame ? framed(form) : form.grab()).save(file)) {
            std::fprintf(stderr, "no se puede escribir %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
