#include "app/folder_chooser.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>

#include "front_end/shortened_folder.h"

namespace tht::app {
namespace {

constexpr int kDepthRole = Qt::UserRole + 1;
constexpr int kPathRole = Qt::UserRole;

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseSensitive;
#endif

QString absoluteClean(const QString& folder) { return QDir::cleanPath(QDir(folder).absolutePath()); }

// Indents each line by its depth, as the classic list draws its tree.
class IndentDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem indented(option);
        indented.rect.setLeft(option.rect.left() + index.data(kDepthRole).toInt() * DirectoryList::kIndent);
        QStyledItemDelegate::paint(painter, indented, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QSize hint = QStyledItemDelegate::sizeHint(option, index);
        return {hint.width() + index.data(kDepthRole).toInt() * DirectoryList::kIndent, DirectoryList::kLineHeight};
    }
};

bool isUnder(const QString& folder, const QString& root) {
    if (folder.compare(root, kPathCase) == 0) return true;
    const QString prefix = root.endsWith(u'/') ? root : root + u'/';
    return folder.startsWith(prefix, kPathCase);
}

}  // namespace

QList<FolderLine> folderLines(const QString& folder) {
    const QString current = absoluteClean(folder);
    QStringList chain{current};
    for (QString parent = QFileInfo(current).path(); parent != chain.front(); parent = QFileInfo(parent).path())
        chain.prepend(parent);

    QList<FolderLine> lines;
    for (int depth = 0; depth < chain.size(); ++depth) {
        const QString& path = chain[depth];
        const QString label = depth == 0 ? QDir::toNativeSeparators(path) : QFileInfo(path).fileName();
        lines.append({path, label, depth, true});
    }
    const QDir dir(current);
    const QStringList children = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& child : children)
        lines.append({QDir::cleanPath(dir.filePath(child)), child, static_cast<int>(chain.size()), false});
    return lines;
}

QString shortenFolder(const QString& nativeFolder, const QFontMetrics& metrics, int maxWidth) {
    const auto width = [&](const std::u32string& text) {
        return metrics.horizontalAdvance(QString::fromStdU32String(text));
    };
    return QString::fromStdU32String(tht::shortenFolder(nativeFolder.toStdU32String(),
                                                        static_cast<char32_t>(QDir::separator().unicode()), width,
                                                        maxWidth));
}

DirectoryList::DirectoryList(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new IndentDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(16, 16));
    // A double-click opens a folder whatever the desktop says about single-click activation.
    connect(this, &QListWidget::itemDoubleClicked, this, &DirectoryList::openLine);
}

void DirectoryList::setFolder(const QString& folder) {
    folder_ = absoluteClean(folder);
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    clear();
    int currentRow = 0;
    for (const FolderLine& line : folderLines(folder_)) {
        auto* item = new QListWidgetItem(line.open ? openIcon : closedIcon, line.label, this);
        item->setData(kPathRole, line.path);
        item->setData(kDepthRole, line.depth);
        item->setToolTip(QDir::toNativeSeparators(line.path));
        if (line.open) currentRow = count() - 1;
    }
    setCurrentRow(currentRow);
    scrollToItem(item(currentRow));
    emit folderChanged(folder_);
}

void DirectoryList::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        openLine(currentItem());
        return;
    }
    QListWidget::keyPressEvent(event);
}

void DirectoryList::openLine(QListWidgetItem* line) {
    if (line) setFolder(line->data(kPathRole).toString());
}

QList<Root> availableRoots() {
    QList<Root> roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady()) continue;
        const QString path = absoluteClean(volume.rootPath());
        if (!QFileInfo(path).isDir()) continue;  // files bind-mounted into a container
#ifndef Q_OS_WIN
        // The kernel's and the package manager's own mounts hold no school files.
        static const QStringList system = {"/proc", "/sys", "/dev", "/run", "/snap", "/boot"};
        const bool removable = isUnder(path, "/run/media");
        if (!removable && std::any_of(system.begin(), system.end(), [&](const QString& s) { return isUnder(path, s); }))
            continue;
#endif
        roots.append({path, QDir::toNativeSeparators(path), false});
    }
#ifndef Q_OS_WIN
    const QString home = absoluteClean(QDir::homePath());
    if (std::none_of(roots.begin(), roots.end(), [&](const Root& r) { return r.path == home; }))
        roots.append({home, QDir::toNativeSeparators(home), true});
#endif
    std::sort(roots.begin(), roots.end(),
              [](const Root& a, const Root& b) { return a.path.compare(b.path, kPathCase) < 0; });
    return roots;
}

int rootIndexFor(const QList<Root>& roots, const QString& folder) {
    const QString path = absoluteClean(folder);
    int best = -1;
    for (int i = 0; i < roots.size(); ++i)
        if (isUnder(path, roots[i].path) && (best < 0 || roots[i].path.size() > roots[best].path.size())) best = i;
    return best;
}

DriveBox::DriveBox(QWidget* parent) : QComboBox(parent) {
    setIconSize(QSize(16, 16));
    connect(this, &QComboBox::activated, this, &DriveBox::choose);
}

void DriveBox::setRoots(const QList<Root>& roots) {
    const QSignalBlocker quiet(this);
    roots_ = roots;
    clear();
    for (const Root& root : roots_)
        addItem(style()->standardIcon(root.home ? QStyle::SP_DirHomeIcon : QStyle::SP_DriveHDIcon), root.label);
}

void DriveBox::followFolder(const QString& folder) {
    const int index = rootIndexFor(roots_, folder);
    const QSignalBlocker quiet(this);
    setCurrentIndex(index);
    if (index >= 0) currentFolderOfRoot_[roots_[index].path] = absoluteClean(folder);
}

void DriveBox::choose(int index) {
    if (index < 0 || index >= roots_.size()) return;
    const QString root = roots_[index].path;
    QString folder = currentFolderOfRoot_.value(root, root);
    if (!QFileInfo(folder).isDir()) folder = root;  // the remembered folder has gone since
    emit folderChosen(folder);
}

}  // namespace tht::app
