#include <QApplication>
#include <QMessageBox>
#include <QStringList>

#include <cstdio>
#include <string>
#include <string_view>

#include "app/app_icon.h"
#include "app/app_identity.h"
#include "app/main_form.h"
#include "app/qt_text.h"
#include "base/messages.h"
#include "front_end/run_driver.h"
#include "version.h"
#include "platform/temporary_files.h"

namespace {

// --help and --version are answered before any Qt object exists, so that they
// work without a display: in a terminal, over ssh, and when the package's
// manual page is generated. Any other single argument opens the window.
bool answeredWithoutWindow(int argc, char** argv) {
    if (argc != 2) return false;
    const std::string_view option = argv[1];
    std::string answer;
    if (option == "--help")
        answer = tht::msg::window_usage::help();
    else if (option == "--version")
        answer = tht::msg::window_usage::version(THT_VERSION);
    else
        return false;
    std::fwrite(answer.data(), 1, answer.size(), stdout);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (answeredWithoutWindow(argc, argv)) return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    tht::installSignalCleanup();
    // Taken before Qt removes the options it knows (-style, -display...), so
    // that the calling product's two arguments always count as two.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);

    QApplication application(argc, argv);
    QApplication::setApplicationVersion(QString::fromLatin1(THT_VERSION));
    QApplication::setApplicationName(tht::app::text(tht::msg::window::kApplicationTitle));
    QApplication::setWindowIcon(tht::app::applicationIcon());
    // Wayland desktops take the window's icon from its desktop entry.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(tht::app::kDesktopName));
    try {
        TMForm form(arguments);
        form.show();
        return application.exec();
    } catch (const std::exception& e) {  // the window itself failed: a run reports its own errors
        QMessageBox::critical(nullptr, tht::app::text(tht::msg::window::kApplicationTitle),
                              tht::app::text(tht::userError(e).what()));
        return 1;
    }
}
