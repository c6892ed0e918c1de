#include "app/app_icon.h"

#include <QDirIterator>

namespace tht::app {

QIcon applicationIcon() {
    QIcon compiledIn;
    QDirIterator sizes(QStringLiteral(":/icon"), QDir::Files, QDirIterator::Subdirectories);
    while (sizes.hasNext()) compiledIn.addFile(sizes.next());
    return QIcon::fromTheme(QString::fromLatin1(kDesktopName), compiledIn);
}

}  // namespace tht::app
