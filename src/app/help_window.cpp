#include "app/help_window.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/app_identity.h"
#include "app/qt_text.h"
#include "base/messages.h"
#include "version.h"

namespace tht::app {
namespace {

constexpr char kMapFile[] = "mapa.txt";

QUrl urlOf(const QString& file) {
    // A resource path (":/...") becomes a qrc: URL so that relative links between pages resolve.
    if (file.startsWith(u":/")) return QUrl(QStringLiteral("qrc") + file);
    return QUrl::fromLocalFile(file);
}

}  // namespace

HelpMap parseHelpMap(const QString& text) {
    HelpMap map;
    for (QString line : text.split(u'\n')) {
        if (const qsizetype hash = line.indexOf(u'#'); hash >= 0) line.truncate(hash);
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) continue;
        const QString key = line.left(eq).trimmed();
        const QString page = line.mid(eq + 1).trimmed();
        if (page.isEmpty()) continue;
        bool isNumber = false;
        const int context = key.toInt(&isNumber);
        if (isNumber)
            map.topics.insert(context, page);
        else if (key.compare(u"contenido", Qt::CaseInsensitive) == 0)
            map.contents = page;
    }
    return map;
}

std::optional<HelpMap> HelpSet::map(QString& problem) const {
    QFile file(folder_ + u'/' + QString::fromLatin1(kMapFile));
    if (!file.open(QIODevice::ReadOnly)) {
        problem = text(msg::window::helpMissing(kHelpFile, QDir::toNativeSeparators(file.fileName()).toStdString()));
        return std::nullopt;
    }
    return parseHelpMap(QString::fromUtf8(file.readAll()));
}

std::optional<QUrl> HelpSet::page(const QString& name, QString& problem) const {
    const QString path = folder_ + u'/' + name;
    if (!QFile::exists(path)) {
        problem = text(msg::window::helpPageMissing(name.toStdString(), kHelpFile));
        return std::nullopt;
    }
    return urlOf(path);
}

std::optional<QUrl> HelpSet::contentsPage(QString& problem) const {
    const auto helpMap = map(problem);
    if (!helpMap) return std::nullopt;
    if (helpMap->contents.isEmpty()) {
        problem = text(msg::window::helpWithoutContents(kHelpFile));
        return std::nullopt;
    }
    return page(helpMap->contents, problem);
}

std::optional<QUrl> HelpSet::contextPage(int context, QString& problem) const {
    const auto helpMap = map(problem);
    if (!helpMap) return std::nullopt;
    const auto topic = helpMap->topics.constFind(context);
    if (topic == helpMap->topics.constEnd()) {
        problem = text(msg::window::helpWithoutTopic(kHelpFile, context));
        return std::nullopt;
    }
    return page(*topic, problem);
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(text(msg::window::helpTitle(THT_VERSION)));
    resize(640, 480);
    browser_->setOpenExternalLinks(true);

    auto* contents = new QPushButton(text(msg::window::kHelpContents), this);
    auto* back = new QPushButton(text(msg::window::kHelpBack), this);
    auto* forward = new QPushButton(text(msg::window::kHelpForward), this);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(contents, &QPushButton::clicked, this, [this] { browser_->setSource(contents_); });
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);
}

void HelpWindow::showPage(const QUrl& page, const QUrl& contents) {
    contents_ = contents;
    browser_->setSource(page);
    show();
    raise();
    activateWindow();
}

QUrl HelpWindow::currentPage() const { return browser_->source(); }

}  // namespace tht::app
