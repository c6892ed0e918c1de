#pragma once
// Our help set: Spanish HTML pages in a folder named after the help file,
// a map from help context numbers to pages, and a window that shows them.
#include <QMap>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <optional>

class QTextBrowser;

namespace tht::app {

// The help set's map file ("mapa.txt"): "contenido = PAGE" names the
// default topic, "NUMBER = PAGE" the topic of a help context; '#' starts a comment.
struct HelpMap {
    QString contents;
    QMap<int, QString> topics;
};
HelpMap parseHelpMap(const QString& text);

// A help set at a folder: ":/TUXA.chm" (the one compiled in) or a folder on disk.
class HelpSet {
public:
    explicit HelpSet(QString folder) : folder_(std::move(folder)) {}
    const QString& folder() const { return folder_; }
    // The page to show, or an explanation in Spanish of what is missing.
    std::optional<QUrl> contentsPage(QString& problem) const;
    std::optional<QUrl> contextPage(int context, QString& problem) const;

private:
    std::optional<HelpMap> map(QString& problem) const;
    std::optional<QUrl> page(const QString& name, QString& problem) const;
    QString folder_;
};

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    void showPage(const QUrl& page, const QUrl& contents);
    QUrl currentPage() const;
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
    QUrl contents_;
};

}  // namespace tht::app
