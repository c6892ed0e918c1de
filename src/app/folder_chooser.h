#pragma once
// The classic folder chooser: a directory list (the path from the root down
// to the current folder, then its subfolders), a box of roots, and the
// shortening of a long folder for a label.
#include <QComboBox>
#include <QList>
#include <QListWidget>
#include <QMap>
#include <QString>

class QFontMetrics;

namespace tht::app {

struct FolderLine {
    QString path;   // absolute, with '/' separators
    QString label;  // what the line shows: the root in native form, else the folder's own name
    int depth = 0;  // indentation level
    bool open = false;  // on the path to the current folder (or the folder itself)
};

// The lines of the directory list whose current folder is `folder`. The path
// is split as text, so a folder deleted behind our back still lists its
// ancestors; it then simply has no subfolders.
QList<FolderLine> folderLines(const QString& folder);

// A folder (native separators) shortened to maxWidth pixels: middle folders
// give way to an ellipsis first, keeping the root and the folder's own name;
// only then is the text cut from the left.
QString shortenFolder(const QString& nativeFolder, const QFontMetrics& metrics, int maxWidth);

class DirectoryList : public QListWidget {
    Q_OBJECT
public:
    static constexpr int kIndent = 10;
    static constexpr int kLineHeight = 16;

    explicit DirectoryList(QWidget* parent = nullptr);
    // The current folder (absolute, '/' separators), never merely a highlighted line.
    QString folder() const { return folder_; }
    void setFolder(const QString& folder);

signals:
    void folderChanged(const QString& folder);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openLine(QListWidgetItem* item);
    QString folder_;
};

struct Root {
    QString path;   // absolute, '/' separators
    QString label;
    bool home = false;
};

// The roots a user can pick: the mounted volumes that hold folders, and the
// home folder (on Windows, the drives).
QList<Root> availableRoots();
// The root whose path is the longest prefix of `folder`, or -1.
int rootIndexFor(const QList<Root>& roots, const QString& folder);

class DriveBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveBox(QWidget* parent = nullptr);
    void setRoots(const QList<Root>& roots);
    const QList<Root>& roots() const { return roots_; }
    // Follows the directory list: shows the folder's root and remembers the
    // folder as that root's current folder.
    void followFolder(const QString& folder);

signals:
    // The user picked a root: its current folder, as a drive box hands it on.
    void folderChosen(const QString& folder);

private:
    void choose(int index);
    QList<Root> roots_;
    QMap<QString, QString> currentFolderOfRoot_;
};

}  // namespace tht::app
