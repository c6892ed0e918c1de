// The window's logic that needs no window: run mode, folder lines, shortened
// folders, roots, the help map and the help pages' links.
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "app/folder_chooser.h"
#include "app/help_window.h"
#include "front_end/front_end.h"

using namespace tht::app;

class TestChooser : public QObject {
    Q_OBJECT

private slots:
    void directionWord_data();
    void directionWord();
    void linesOfAFolder();
    void shortenedFolder_data();
    void shortenedFolder();
    void rootOfAFolder();
    void helpMap();
    void helpPagesAndLinks();
};

void TestChooser::directionWord_data() {
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("panels");
    QTest::newRow("exportar") << "exportar" << int(tht::Panels::ExportOnly);
    QTest::newRow("EXPORTAR") << "EXPORTAR" << int(tht::Panels::ExportOnly);
    QTest::newRow("ImPoRtAr") << "ImPoRtAr" << int(tht::Panels::ImportOnly);
    QTest::newRow("accented capital") << "IMPORTÁR" << int(tht::Panels::Both);
    QTest::newRow("dotted capital I") << QString::fromUtf8("\u0130MPORTAR") << int(tht::Panels::Both);
    QTest::newRow("trailing blank") << "exportar " << int(tht::Panels::Both);
    QTest::newRow("empty") << "" << int(tht::Panels::Both);
}

void TestChooser::directionWord() {
    QFETCH(QString, word);
    QFETCH(int, panels);
    const tht::StartMode mode = tht::startMode({word.toStdString(), "C:\\TUXA"});
    QVERIFY(mode.mode == tht::InvocationMode::CommandLine);
    QCOMPARE(int(mode.panels), panels);
}

void TestChooser::linesOfAFolder() {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("x/Beta/hijo");
    QDir(dir.path()).mkpath("x/alfa");
    QDir(dir.path()).mkpath("x/.oculta");
    QFile(dir.path() + "/x/fichero.txt").open(QIODevice::WriteOnly);
    const QString x = dir.path() + "/x";

    const QList<FolderLine> lines = folderLines(x + "/");
    QCOMPARE(lines.front().path, QString("/"));
    QCOMPARE(lines.front().label, QDir::toNativeSeparators("/"));
    const int at = lines.size() - 3;  // x, then its two visible subfolders
    QCOMPARE(lines[at].path, x);
    QVERIFY(lines[at].open);
    QCOMPARE(lines[at + 1].label, QString("alfa"));
    QCOMPARE(lines[at + 2].label, QString("Beta"));
    QCOMPARE(lines[at + 2].path, x + "/Beta");
    QVERIFY(!lines[at + 2].open);
    QCOMPARE(lines[at + 2].depth, lines[at].depth + 1);
    for (int i = 0; i <= at; ++i) QCOMPARE(lines[i].depth, i);

    // A folder that has gone still shows the way to it, and nothing below.
    const QList<FolderLine> gone = folderLines(x + "/borrada");
    QCOMPARE(gone.back().path, x + "/borrada");
    QCOMPARE(gone.back().label, QString("borrada"));
    QVERIFY(gone.back().open);
}

void TestChooser::shortenedFolder_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("shown");
    const QString e = QChar(0x2026);
    QTest::newRow("fits") << "/aa/bb/cc" << 100 << "/aa/bb/cc";
    QTest::newRow("one middle folder goes") << "/aaaa/bbbb/cccc/dd" << 15 << "/" + e + "/bbbb/cccc/dd";
    QTest::newRow("all middle folders go") << "/aaaa/bbbb/cccc/dd" << 6 << "/" + e + "/dd";
    QTest::newRow("cut from the left at last") << "/aaaa/bbbb/cccc/dddddddd" << 6 << QString();  // see below
}

void TestChooser::shortenedFolder() {
    QFETCH(QString, folder);
    QFETCH(int, width);
    QFETCH(QString, shown);
    // A font where every character is as wide as a digit makes the widths countable.
    QFont mono(QStringLiteral("Liberation Mono"));
    mono.setPixelSize(10);
    const QFontMetrics metrics(mono);
    const int w = metrics.horizontalAdvance(QChar(u'a'));
    const QString result = shortenFolder(QDir::toNativeSeparators(folder), metrics, width * w);
    if (!shown.isEmpty()) {
        QCOMPARE(result, QDir::toNativeSeparators(shown));
    } else {
        // Not even root, ellipsis and name fit: the end of the name is what stays.
        QVERIFY2(result.startsWith(QChar(0x2026)) && result.endsWith("ddd"), qPrintable(result));
        QVERIFY(metrics.horizontalAdvance(result) <= width * w);
    }
}

void TestChooser::rootOfAFolder() {
    const QList<Root> roots = {{"/", "/", false}, {"/home/ana", "/home/ana", true}, {"/media/usb", "usb", false}};
    QCOMPARE(rootIndexFor(roots, "/home/ana/tuxa"), 1);
    QCOMPARE(rootIndexFor(roots, "/home/ana"), 1);
    QCOMPARE(rootIndexFor(roots, "/home/anabel"), 0);  // a name that merely starts alike
    QCOMPARE(rootIndexFor(roots, "/media/usb/curso"), 2);
    QCOMPARE(rootIndexFor(roots, "/"), 0);
    QCOMPARE(rootIndexFor(roots.mid(1), "/srv"), -1);

    const QList<Root> found = availableRoots();
    QVERIFY(std::any_of(found.begin(), found.end(), [](const Root& r) { return r.path == QDir::homePath(); }) ||
            rootIndexFor(found, QDir::homePath()) >= 0);
    for (const Root& r : found) {
        QVERIFY2(QFileInfo(r.path).isDir(), qPrintable(r.path));
        QVERIFY2(!r.path.startsWith("/proc") && !r.path.startsWith("/sys"), qPrintable(r.path));
    }
}

void TestChooser::helpMap() {
    const HelpMap map = parseHelpMap("# comentario\ncontenido = index.html\n3=ventana.html  # F1\n\n7 =\nbasura\n");
    QCOMPARE(map.contents, QString("index.html"));
    QCOMPARE(map.topics.size(), 1);
    QCOMPARE(map.topics.value(3), QString("ventana.html"));

    QString problem;
    QVERIFY(!HelpSet(":/TUXA.chm").contextPage(4, problem));
    QVERIFY2(problem.contains("TUXA.chm") && problem.contains('4'), qPrintable(problem));
    QTemporaryDir dir;
    QFile file(dir.path() + "/mapa.txt");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("contenido = falta.html\n");
    file.close();
    QVERIFY(!HelpSet(dir.path()).contentsPage(problem));
    QVERIFY2(problem.contains("falta.html"), qPrintable(problem));
}

// Every page of the shipped help set is reachable from the contents, and
// every link between pages leads to a page that is there.
void TestChooser::helpPagesAndLinks() {
    QString problem;
    const auto contents = HelpSet(":/TUXA.chm").contentsPage(problem);
    QVERIFY2(contents, qPrintable(problem));
    QVERIFY2(HelpSet(":/TUXA.chm").contextPage(3, problem), qPrintable(problem));

    QStringList pages;
    for (QDirIterator it(":/TUXA.chm", {"*.html"}); it.hasNext();) pages << QFileInfo(it.next()).fileName();
    QVERIFY(pages.size() >= 6);
    QSet<QString> linked{"index.html"};
    const QRegularExpression href(R"(href="([^"#]+)(#[^"]*)?")");
    for (const QString& page : pages) {
        QFile file(":/TUXA.chm/" + page);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        QVERIFY2(html.contains("<title>"), qPrintable(page));
        for (auto m = href.globalMatch(html); m.hasNext();) {
            const QString target = m.next().captured(1);
            QVERIFY2(QFile::exists(":/TUXA.chm/" + target), qPrintable(page + " -> " + target));
            linked.insert(target);
        }
    }
    for (const QString& page : pages) QVERIFY2(linked.contains(page), qPrintable(page + " is linked from nowhere"));
}

QTEST_MAIN(TestChooser)
#include "chooser_test.moc"
