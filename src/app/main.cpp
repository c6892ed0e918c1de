#include <QApplication>
#include <QStringList>

#include "app/app_identity.h"
#include "app/main_form.h"
#include "app/qt_text.h"
#include "base/messages.h"
#include "version.h"
#include "platform/temporary_files.h"

int main(int argc, char** argv) {
    tht::installSignalCleanup();
    // Taken before Qt removes the options it knows (-style, -display...), so
    // that the calling product's two arguments always count as two.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);

    QApplication application(argc, argv);
    QApplication::setApplicationVersion(QString::fromLatin1(THT_VERSION));
    QApplication::setApplicationName(tht::app::text(tht::msg::window::kApplicationTitle));
    TMForm form(arguments);
    form.show();
    return application.exec();
}
