// The main window driven as a user drives it: real clicks, keys and closes,
// with message boxes recorded instead of shown.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "app/folder_chooser.h"
#include "app/gradient_panel.h"
#include "app/help_window.h"
#include "app/main_form.h"
#include "app/message_boxes.h"
#include "front_end/form.h"
#include "store/table.h"
#include "support/tuxa_builder.h"
#include "text/tuxa_files.h"

using tht::app::DirectoryList;
using tht::app::FormOptions;
namespace fs = std::filesystem;
namespace form = tht::form;

namespace {

struct Box {
    QString title;
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    bool hourglassUnder;  // an override cursor was still set while the box was up
    QStringList buttonTexts{};
};

class BoxRecorder final : public tht::app::BoxRunner {
public:
    void run(QMessageBox& box) override {
        boxes.push_back({box.windowTitle(), box.text(), box.icon(), box.standardButtons(),
                         QGuiApplication::overrideCursor() != nullptr});
        for (QAbstractButton* b : box.buttons()) {
            boxes.back().buttonTexts << b->text();
            if (!press.isEmpty() && b->text() == press) b->click();
        }
    }
    QString press;  // the button to press in a box that has it, as the user would
    QStringList texts() const {
        QStringList out;
        for (const Box& b : boxes) out << b.text;
        return out;
    }
    std::vector<Box> boxes;
};

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& p, const std::string& bytes) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
}

const QStringList kMissingFileMessages = {
    "No existe archivo de asignaturas (TUXA_ASIGNAT.TXT)", "No existe archivo de profesores (TUXA_PROF.TXT)",
    "No existe archivo de aulas (TUXA_AULAS.TXT)",         "No existe archivo de grupos (TUXA_GRUPO.TXT)",
    "No existe archivo de grupos (TUXA_ASIGNATGRUPO.TXT)", "No existe archivo de grupos (TUXA_SESIONES.TXT)"};

// A tiny school: every TUXA file framed and empty, Horalina's folder and
// "Horalina.ini" beside them, all in a fresh temporary folder.
struct Fixture {
    QTemporaryDir dir;
    fs::path root{QFile::encodeName(dir.path()).toStdString()};
    fs::path tuxa = root / "tuxa";
    fs::path htemp = root / "HTEMP";
    fs::path ini = root / "Horalina.ini";
    BoxRecorder boxes;
    std::vector<bool> hourglassWhenClockRead;
    std::vector<fs::path> opened;  // documents the window asked the desktop to open

    Fixture() {
        fs::create_directories(tuxa);
        for (const tht::TuxaFile* file : tht::tuxa::all)
            writeFile(tuxa / std::string(file->fileName),
                      tht::test::tuxaFile(std::string(file->tag.begin(), file->tag.end()), {}));
    }

    FormOptions options(const fs::path& folder) {
        FormOptions o;
        o.htemp = htemp;
        o.iniFile = ini;
        o.boxes = &boxes;
        o.openDocument = [this](const fs::path& p) {
            opened.push_back(p);
            return true;
        };
        o.startFolder = QString::fromStdString(folder.string());
        o.clock = [this] {
            hourglassWhenClockRead.push_back(QGuiApplication::overrideCursor() &&
                                             QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor);
            return tht::LocalDateTime{2024, 9, 2, 8, 30, 0};
        };
        return o;
    }

    // One SOLUC entry whose codes are in none of the (empty) exported tables.
    void writeSoluc() const {
        using tht::FieldType;
        tht::Table soluc = tht::Table::create(
            htemp, "SOLUC",
            {{"DIA", FieldType::Integer}, {"HORA", FieldType::Integer}, {"MARCO", FieldType::String, 1},
             {"PROF", FieldType::String, 10}, {"CODGRUPO", FieldType::String, 12}, {"TAREA", FieldType::String, 10},
             {"ASIG", FieldType::String, 10}, {"AULA", FieldType::String, 10}});
        soluc.append();
        soluc.writeInteger(soluc.field("DIA"), 3);
        soluc.writeInteger(soluc.field("HORA"), 2);
        soluc.writeString(soluc.field("MARCO"), "0");
        soluc.writeString(soluc.field("PROF"), "P12");
        soluc.writeString(soluc.field("CODGRUPO"), "2BACH-B");
        soluc.writeString(soluc.field("TAREA"), "T01");
        soluc.writeString(soluc.field("ASIG"), "MAT1");
        soluc.writeString(soluc.field("AULA"), "A14");
        soluc.post();
        soluc.close();
    }
};

// A painted colour, allowing for the gradient being sampled at pixel centres.
bool near(QRgb painted, const QColor& expected) {
    const QColor p(painted);
    return std::abs(p.red() - expected.red()) <= 3 && std::abs(p.green() - expected.green()) <= 3 &&
           std::abs(p.blue() - expected.blue()) <= 3;
}

QPushButton* buttonOf(QWidget& form, const char* name) { return form.findChild<QPushButton*>(name); }
QWidget* widgetOf(QWidget& form, const char* name) { return form.findChild<QWidget*>(name); }

QColor colourOf(const form::Colour& c) { return {c.red, c.green, c.blue}; }

void click(QWidget& form, const char* name) {
    QPushButton* b = buttonOf(form, name);
    QVERIFY2(b, name);
    QTest::mouseClick(b, Qt::LeftButton);
}

const std::string kIniBefore = "[Otra]\r\nclave=valor\r\n[Transformadores]\r\nAnterior=7\r\nTransformado=5\r\n";
std::string iniAfter(int status) {
    return "[Otra]\r\nclave=valor\r\n[Transformadores]\r\nAnterior=7\r\nTransformado=" + std::to_string(status) +
           "\r\n";
}

}  // namespace

class TestMainForm : public QObject {
    Q_OBJECT

private slots:
    void panelsInEachMode_data();
    void panelsInEachMode();
    void layoutToThePixel();
    void exportThenImportThroughClicks();
    void missingFolder_data();
    void missingFolder();
    void statusWrittenOnEveryClose_data();
    void statusWrittenOnEveryClose();
    void problemsShownBeforeClosing_data();
    void problemsShownBeforeClosing();
    void undoOfferedAfterAnExportThatReplacedASet();
    void unwritableIniRefusesTheRun();
    void iniFileOfAnInstalledProgram();
    void runThatStopsIsReported_data();
    void runThatStopsIsReported();
    void folderChooserAndLabel2();
    void longFolderIsShortenedButRunUsesItWhole();
    void rootFolderGivesDoubleSeparator();
    void helpFromButtonAndF1_data();
    void helpFromButtonAndF1();
    void missingHelpIsReported();
};

void TestMainForm::panelsInEachMode_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("modo");
    QTest::addColumn<int>("panels");
    QTest::addColumn<bool>("exportShown");
    QTest::addColumn<bool>("importShown");
    const int both = int(tht::Panels::Both), exportOnly = int(tht::Panels::ExportOnly),
              importOnly = int(tht::Panels::ImportOnly);
    QTest::newRow("no argument") << QStringList{} << 0 << both << true << true;
    QTest::newRow("one") << QStringList{"exportar"} << 0 << both << true << true;
    QTest::newRow("three") << QStringList{"importar", "C:\\x", "y"} << 0 << both << true << true;
    QTest::newRow("EXPORTAR") << QStringList{"EXPORTAR", "C:\\TUXA"} << 2 << exportOnly << true << false;
    QTest::newRow("importar") << QStringList{"importar", "x"} << 2 << importOnly << false << true;
    QTest::newRow("ImPoRtAr") << QStringList{"ImPoRtAr", "x"} << 2 << importOnly << false << true;
    QTest::newRow("another word") << QStringList{"transformar", "x"} << 2 << both << true << true;
    // Only A to Z are lowered: an accented capital is another word.
    QTest::newRow("accented") << QStringList{"ÉXPORTAR", "x"} << 2 << both << true << true;
}

// Every control of the table where the table puts it in that run mode.
void expectPlaced(QWidget& form, tht::Panels panels) {
    for (const form::Control& c : form::kControls) {
        const QString name = QString::fromLatin1(c.name.data(), qsizetype(c.name.size()));
        QWidget* w = form.findChild<QWidget*>(name);
        QVERIFY2(w, qPrintable(name));
        QCOMPARE(w->isVisible(), form::shown(c, panels));
        const QString parent = c.parent == form::kNoControl ? QString("MForm") : QString::fromLatin1(form::control(c.parent).name.data());
        QCOMPARE(w->parentWidget()->objectName(), parent);
        const form::Bounds b = form::place(c, panels).bounds;
        const QRect bounds(b.left, b.top, b.width, b.height);
        auto* label = qobject_cast<QLabel*>(w);
        if (!label) {
            QCOMPARE(w->geometry(), bounds);
            continue;
        }
        QCOMPARE(label->wordWrap(), c.role == form::Role::Caption);
        // A one-line caption may only grow, and only as far as its text needs;
        // the folder is as wide as its text, and never wider than its bounds.
        const int textWidth = label->fontMetrics().horizontalAdvance(label->text());
        QCOMPARE(w->pos(), bounds.topLeft());
        QCOMPARE(w->height(), bounds.height());
        if (c.role == form::Role::Caption) QCOMPARE(w->width(), bounds.width());
        if (c.role == form::Role::Label) QCOMPARE(w->width(), std::max(bounds.width(), textWidth));
        if (c.role == form::Role::FolderLabel) QCOMPARE(w->width(), std::min(bounds.width(), textWidth));
    }
}

void TestMainForm::panelsInEachMode() {
    QFETCH(QStringList, arguments);
    QFETCH(int, modo);
    QFETCH(int, panels);
    QFETCH(bool, exportShown);
    QFETCH(bool, importShown);
    Fixture f;
    TMForm form(arguments, f.options(f.tuxa));
    form.show();
    QCOMPARE(form.ModoEjecucion(), modo);
    QCOMPARE(form.EstadoTransformacion(), 0);
    QCOMPARE(widgetOf(form, "Draw3D2")->isVisible(), exportShown);
    QCOMPARE(widgetOf(form, "Draw3D3")->isVisible(), importShown);
    // A lone panel spans the window; the lower panel and every panel's contents stay.
    if (exportShown != importShown)
        QCOMPARE(widgetOf(form, exportShown ? "Draw3D2" : "Draw3D3")->width(), form.width());
    expectPlaced(form, tht::Panels(panels));
}

void TestMainForm::layoutToThePixel() {
    Fixture f;
    TMForm form({}, f.options(f.tuxa));
    form.show();
    QCOMPARE(form.objectName(), QString("MForm"));
    QCOMPARE(QString(form.metaObject()->className()), QString("TMForm"));
    QCOMPARE(form.windowTitle(), QString("Exportar e importar datos entre Horalina y TUXA"));
    QCOMPARE(form.size(), QSize(form::kClientWidth, form::kClientHeight));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(!(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(form.windowFlags() & Qt::WindowCloseButtonHint);
    expectPlaced(form, tht::Panels::Both);

    const QColor start = colourOf(form::kGradientStart), end = colourOf(form::kGradientEnd);
    QWidget* lastTab = nullptr;
    for (const form::Control& c : form::kControls) {
        QWidget* w = widgetOf(form, c.name.data());
        QString caption;
        if (auto* l = qobject_cast<QLabel*>(w)) caption = l->text();
        if (auto* b = qobject_cast<QPushButton*>(w)) {
            caption = b->text();
            QCOMPARE(b->icon().isNull(), c.glyph == form::Glyph::None);
            QCOMPARE(b->isDefault(), c.defaultButton);
        }
        if (!c.caption.empty()) QCOMPARE(caption, QString::fromUtf8(c.caption.data(), qsizetype(c.caption.size())));
        const form::FontLook look = form::fontLook(c.font);
        QCOMPARE(w->font().pixelSize(), look.pixels);
        QCOMPARE(w->font().bold(), look.bold);
        if (c.text) QCOMPARE(w->palette().color(QPalette::WindowText), colourOf(*c.text));
        if (c.background) QCOMPARE(w->palette().color(QPalette::Base), colourOf(*c.background));
        if (c.role == form::Role::GradientPanel) {
            auto* panel = qobject_cast<tht::app::GradientPanel*>(w);
            QCOMPARE(panel->startColor(), start);
            QCOMPARE(panel->endColor(), end);
            // The painted panel shows the start at the top, white in the middle and the end at the bottom.
            const QImage shot = panel->grab().toImage();
            QVERIFY(near(shot.pixel(2, 0), start));
            QVERIFY(near(shot.pixel(2, panel->height() / 2), Qt::white));
            QVERIFY(near(shot.pixel(2, panel->height() - 1), end));
        }
        // Tab goes through the focusable controls in their table order.
        if (c.tabPosition == 0) continue;
        if (lastTab) {
            QWidget* next = lastTab;
            do next = next->nextInFocusChain();
            while (!(next->focusPolicy() & Qt::TabFocus) || !next->isVisible());
            QCOMPARE(next, w);
        }
        lastTab = w;
    }
    // The fonts found are the ones asked for, or fallbacks of their proportions.
    QVERIFY(QStringList({"Arial", "Liberation Sans"}).contains(QFontInfo(widgetOf(form, "Label3")->font()).family()));
    QVERIFY(QStringList({"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arial"})
                .contains(QFontInfo(widgetOf(form, "Label5")->font()).family()));
}

void TestMainForm::exportThenImportThroughClicks() {
    Fixture f;
    {
        TMForm form({}, f.options(f.tuxa));
        form.show();
        click(form, "BExportar");
        QCOMPARE(f.boxes.texts(), QStringList{"Proceso finalizado"});
        const Box& done = f.boxes.boxes.front();
        QCOMPARE(done.title, QString("transHoraloTuxa"));
        QCOMPARE(done.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(!done.hourglassUnder);
        QCOMPARE(form.EstadoTransformacion(), 1);
        for (const char* table : {"ASIGNOMT", "PROFT", "AULAT", "GRUPOST", "ASIGT", "DIASHORAST"})
            QVERIFY2(fs::exists(f.htemp / (std::string(table) + ".DBF")), table);
        // One completed run per window: both transfer buttons stay disabled, the window stays open.
        QVERIFY(!buttonOf(form, "BExportar")->isEnabled());
        QVERIFY(!buttonOf(form, "BImportar")->isEnabled());
        QVERIFY(form.isVisible());
        QVERIFY(!QGuiApplication::overrideCursor());
        click(form, "BImportar");
        QCOMPARE(f.boxes.boxes.size(), std::size_t(1));
        QVERIFY(!fs::exists(f.tuxa / "TUXA_HORARIO.TXT"));
        form.close();
        QVERIFY(!fs::exists(f.ini));  // interactive mode never writes the status
    }

    f.writeSoluc();
    f.boxes.boxes.clear();
    TMForm form({}, f.options(f.tuxa));
    form.show();
    click(form, "BImportar");
    // The entry's codes are in none of the empty tables: the run says so after it ends.
    QCOMPARE(f.boxes.boxes.size(), std::size_t(2));
    QCOMPARE(f.boxes.boxes[0].text, QString("Proceso finalizado"));
    QVERIFY2(f.boxes.boxes[1].text.startsWith("Datos con problemas: 5 líneas o registros y 0 avisos."),
             qPrintable(f.boxes.boxes[1].text));
    QVERIFY(f.opened.empty());  // nobody pressed "Abrir el informe"
    QVERIFY(fs::exists(f.htemp / "INFORME_TRANSHORALOTUXA.TXT"));
    QCOMPARE(form.EstadoTransformacion(), 1);
    const std::string timetable = readFile(f.tuxa / "TUXA_HORARIO.TXT");
    const std::string title = "0" + std::string("TUXA_HORARIO.TXT").append(34, ' ') + "CENTRO01" + "020920240830";
    QCOMPARE(timetable.substr(0, timetable.find("\r\n")), title);
    QVERIFY(timetable.find("\r\n1    XP12 2BACH-B   LEC MAT1") != std::string::npos);
    QVERIFY(!f.hourglassWhenClockRead.empty());
    for (bool hourglass : f.hourglassWhenClockRead) QVERIFY(hourglass);
    QVERIFY(!QGuiApplication::overrideCursor());
    QVERIFY(!buttonOf(form, "BExportar")->isEnabled());
    QVERIFY(!buttonOf(form, "BImportar")->isEnabled());
}

void TestMainForm::missingFolder_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("status");  // -99: interactive, nothing written
    QTest::newRow("export, interactive") << QStringList{} << "BExportar" << -99;
    QTest::newRow("import, interactive") << QStringList{} << "BImportar" << -99;
    QTest::newRow("export, command line") << QStringList{"exportar", "x"} << "BExportar" << -1;
    QTest::newRow("import, command line") << QStringList{"importar", "x"} << "BImportar" << 0;
}

void TestMainForm::missingFolder() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, button);
    QFETCH(int, status);
    Fixture f;
    writeFile(f.ini, kIniBefore);
    const fs::path gone = f.root / "borrada";
    fs::create_directories(gone);
    TMForm form(arguments, f.options(gone));
    form.show();
    fs::remove(gone);  // the folder goes away while the window shows it
    click(form, button.toLatin1().constData());
    QCOMPARE(f.boxes.texts(), QStringList{"No existe la carpeta"});
    QVERIFY(!QGuiApplication::overrideCursor());
    if (status == -99) {
        QCOMPARE(form.EstadoTransformacion(), 0);
        QVERIFY(form.isVisible());
        QVERIFY(buttonOf(form, "BExportar")->isEnabled());
        QVERIFY(buttonOf(form, "BImportar")->isEnabled());
        QCOMPARE(readFile(f.ini), kIniBefore);
    } else {
        QCOMPARE(form.EstadoTransformacion(), status);
        QVERIFY(!form.isVisible());
        QCOMPARE(readFile(f.ini), iniAfter(status));
    }
}

void TestMainForm::statusWrittenOnEveryClose_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("withFiles");
    QTest::addColumn<int>("status");  // -99: interactive, the file stays as it was
    QTest::newRow("Salir before a run") << QStringList{"exportar", "x"} << "BClose" << true << 0;
    QTest::newRow("title bar before a run") << QStringList{"importar", "x"} << "title bar" << true << 0;
    QTest::newRow("after a completed export") << QStringList{"EXPORTAR", "x"} << "BExportar" << true << 1;
    QTest::newRow("after an export missing files") << QStringList{"exportar", "x"} << "BExportar" << false << -1;
    QTest::newRow("another word, after an export") << QStringList{"otra", "x"} << "BExportar" << true << 1;
    QTest::newRow("interactive, Salir") << QStringList{} << "BClose" << true << -99;
    QTest::newRow("interactive, after an export") << QStringList{} << "BExportar" << true << -99;
}

void TestMainForm::statusWrittenOnEveryClose() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, how);
    QFETCH(bool, withFiles);
    QFETCH(int, status);
    Fixture f;
    if (!withFiles) fs::remove(f.tuxa / "tuxa_aulas.txt");
    writeFile(f.ini, kIniBefore);
    TMForm form(arguments, f.options(f.tuxa));
    form.show();
    if (how == "title bar") {
        form.close();
    } else {
        click(form, how.toLatin1().constData());
        if (status == -99 && how != "BClose") form.close();
    }
    QVERIFY(!form.isVisible());
    if (status != -99) QCOMPARE(form.EstadoTransformacion(), status);
    QCOMPARE(readFile(f.ini), status == -99 ? kIniBefore : iniAfter(status));
}

void TestMainForm::problemsShownBeforeClosing_data() {
    QTest::addColumn<bool>("exampleSchool");
    QTest::addColumn<bool>("reportBlocked");  // a folder where the report should be
    QTest::newRow("example school, planted problems") << true << false;
    QTest::newRow("clean school, closes as ever") << false << false;
    QTest::newRow("example school, report not written") << true << true;
    QTest::newRow("clean school, report not written") << false << true;
}

void TestMainForm::problemsShownBeforeClosing() {
    QFETCH(bool, exampleSchool);
    QFETCH(bool, reportBlocked);
    Fixture f;
    if (exampleSchool) {
        fs::remove_all(f.tuxa);
        fs::copy(fs::path(THT_SOURCE_DIR) / "examples" / "escuela", f.tuxa);
    }
    const fs::path report = f.htemp / "INFORME_TRANSHORALOTUXA.TXT";
    if (reportBlocked) fs::create_directories(report);
    f.boxes.press = "Abrir el informe";
    TMForm form({"exportar", "x"}, f.options(f.tuxa));
    form.show();
    click(form, "BExportar");
    QVERIFY(!form.isVisible());
    // A report that cannot be written changes nothing of the run's status.
    QCOMPARE(readFile(f.ini), "[Transformadores]\r\nTransformado=1\r\n");
    if (reportBlocked) {
        // It is itself something to tell: a warning, with no report to open.
        QCOMPARE(f.boxes.boxes.size(), std::size_t(2));
        QCOMPARE(f.boxes.boxes[0].text, QString("Proceso finalizado"));
        const Box& warning = f.boxes.boxes[1];
        QCOMPARE(warning.icon, QMessageBox::Warning);
        const QString count = exampleSchool ? "6 líneas o registros y 1 aviso." : "0 líneas o registros y 1 aviso.";
        QVERIFY2(warning.text.startsWith("Datos con problemas: " + count), qPrintable(warning.text));
        QVERIFY2(warning.text.contains("no se ha podido escribir el informe " + QString::fromStdString(report.string())),
                 qPrintable(warning.text));
        QCOMPARE(warning.buttonTexts, QStringList{"Cerrar"});
        QVERIFY(f.opened.empty());
        QVERIFY(fs::is_directory(report));
        return;
    }
    QVERIFY(fs::exists(report));
    if (!exampleSchool) {
        QCOMPARE(f.boxes.texts(), QStringList{"Proceso finalizado"});
        QVERIFY(f.opened.empty());
        return;
    }
    QCOMPARE(f.boxes.boxes.size(), std::size_t(2));
    QCOMPARE(f.boxes.boxes[0].text, QString("Proceso finalizado"));
    const Box& problems = f.boxes.boxes[1];
    QCOMPARE(problems.text, "Datos con problemas: 6 líneas o registros y 0 avisos.\nLos detalles están en el informe " +
                                QString::fromStdString(report.string()) + ".");
    QCOMPARE(problems.buttonTexts, (QStringList{"Abrir el informe", "Cerrar"}));
    // Pressed in the box, before the window closed.
    QCOMPARE(f.opened, std::vector<fs::path>{report});
}

// Horalina's tables as they are, by name, for a byte-for-byte comparison.
std::map<std::string, std::string> horalinaTables(const fs::path& htemp) {
    std::map<std::string, std::string> tables;
    for (const auto& entry : fs::directory_iterator(htemp))
        if (entry.path().extension() == ".DBF") tables[entry.path().filename().string()] = readFile(entry.path());
    return tables;
}

void TestMainForm::undoOfferedAfterAnExportThatReplacedASet() {
    Fixture f;
    fs::remove_all(f.tuxa);
    fs::copy(fs::path(THT_SOURCE_DIR) / "examples" / "escuela", f.tuxa);
    {
        TMForm first({}, f.options(f.tuxa));
        first.show();
        click(first, "BExportar");
        // A first export replaced nothing: there is nothing to undo.
        QCOMPARE(f.boxes.boxes.back().buttonTexts, (QStringList{"Abrir el informe", "Cerrar"}));
        first.close();
    }
    const auto before = horalinaTables(f.htemp);
    // Last year's teachers file, with most of them gone: a big change.
    std::istringstream teachers(readFile(f.tuxa / "tuxa_prof.txt"));
    std::string kept, line;
    for (int n = 0; n < 10 && std::getline(teachers, line); ++n) kept += line + "\n";
    writeFile(f.tuxa / "tuxa_prof.txt", kept);

    f.boxes.boxes.clear();
    f.boxes.press = "Deshacer la exportación";
    TMForm form({"exportar", "x"}, f.options(f.tuxa));
    form.show();
    click(form, "BExportar");
    QVERIFY(!form.isVisible());
    QCOMPARE(f.boxes.boxes.size(), std::size_t(3));
    QCOMPARE(f.boxes.boxes[0].text, QString("Proceso finalizado"));
    const Box& problems = f.boxes.boxes[1];
    QVERIFY2(!problems.text.contains(" y 0 avisos"), qPrintable(problems.text));  // the big change is a warning
    QVERIFY2(problems.text.contains("puede deshacer la exportación"), qPrintable(problems.text));
    QVERIFY(problems.buttonTexts.contains("Deshacer la exportación"));
    QVERIFY(problems.buttonTexts.contains("Abrir el informe"));
    QVERIFY2(f.boxes.boxes[2].text.startsWith("Exportación deshecha"), qPrintable(f.boxes.boxes[2].text));
    QVERIFY(f.opened.empty());
    QVERIFY(horalinaTables(f.htemp) == before);
    // Horalina has nothing new to load.
    QCOMPARE(readFile(f.ini), "[Transformadores]\r\nTransformado=0\r\n");
}

void TestMainForm::unwritableIniRefusesTheRun() {
    Fixture f;
    fs::create_directories(f.ini);  // a folder where the file should be
    TMForm form({"exportar", "x"}, f.options(f.tuxa));
    form.show();
    click(form, "BExportar");
    // Status 0 could not be left first: nothing is done, and the user may fix it.
    QCOMPARE(f.boxes.boxes.size(), std::size_t(1));
    QCOMPARE(f.boxes.boxes[0].icon, QMessageBox::Critical);
    QVERIFY2(f.boxes.boxes[0].text.contains("Horalina.ini"), qPrintable(f.boxes.boxes[0].text));
    QVERIFY(!fs::exists(f.htemp / "ASIGT.DBF"));
    QVERIFY(form.isVisible());
}

// Installed in a "bin" folder, the window writes nothing beside itself: the
// status goes to the user's state folder, made for it; in a build tree it
// stays beside the program.
void TestMainForm::iniFileOfAnInstalledProgram() {
    QTemporaryDir dir;
    const fs::path root = QFile::encodeName(dir.path()).toStdString();
    fs::create_directories(root / "usr/bin");
    fs::create_directories(root / "build/src/app");
    const bool hadStateHome = qEnvironmentVariableIsSet("XDG_STATE_HOME");
    const QByteArray stateHome = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", QFile::encodeName(dir.filePath("state")));
    const fs::path installed = tht::app::defaultIniFile(root / "usr/bin");
    const fs::path built = tht::app::defaultIniFile(root / "build/src/app");
    if (hadStateHome)
        qputenv("XDG_STATE_HOME", stateHome);
    else
        qunsetenv("XDG_STATE_HOME");
    QCOMPARE(installed.string(), (root / "state/transhoralotuxa/Horalina.ini").string());
    QVERIFY(fs::is_directory(installed.parent_path()));
    QCOMPARE(built.string(), (root / "build/src/app/Horalina.ini").string());
    QVERIFY(fs::is_empty(root / "usr/bin"));
}

void TestMainForm::runThatStopsIsReported_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("estado");
    QTest::addColumn<bool>("reportBlocked");  // the report cannot be written either
    QTest::newRow("import with no tables") << QStringList{} << "BImportar" << "No existe la tabla" << 0 << false;
    // Told under the error: the user is not left thinking the report holds this run.
    QTest::newRow("import with no tables, report not written")
        << QStringList{} << "BImportar" << "No existe la tabla" << 0 << true;
    QTest::newRow("import with no tables, command line")
        << QStringList{"importar", "x"} << "BImportar" << "No existe la tabla" << 0 << false;
    // A stopped export replaced no table: Horalina is told nothing was transformed.
    QTest::newRow("export, Horalina folder is a file")
        << QStringList{"exportar", "x"} << "BExportar" << "No se encuentra la carpeta de las tablas de Horalina " << 0
        << true;
}

void TestMainForm::runThatStopsIsReported() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, button);
    QFETCH(QString, error);
    QFETCH(int, estado);
    QFETCH(bool, reportBlocked);
    Fixture f;
    if (button == "BExportar") writeFile(f.htemp, "not a folder");
    const fs::path reportFile = f.htemp / "INFORME_TRANSHORALOTUXA.TXT";
    if (button == "BImportar") fs::create_directories(reportBlocked ? reportFile : f.htemp);
    TMForm form(arguments, f.options(f.tuxa));
    form.show();
    click(form, button.toLatin1().constData());
    QCOMPARE(f.boxes.boxes.size(), std::size_t(1));
    const Box& report = f.boxes.boxes.front();
    QCOMPARE(report.title, QString("transHoraloTuxa"));
    QCOMPARE(report.icon, QMessageBox::Critical);
    QCOMPARE(report.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY2(report.text.startsWith(error), qPrintable(report.text));
    QCOMPARE(report.text.contains("\n\nno se ha podido escribir el informe " + QString::fromStdString(reportFile.string())),
             reportBlocked);
    QVERIFY(!report.hourglassUnder);
    QVERIFY(!QGuiApplication::overrideCursor());
    // The run stopped: the user may try again, and the window does not close by itself.
    QVERIFY(form.isVisible());
    QVERIFY(buttonOf(form, "BExportar")->isEnabled());
    QVERIFY(buttonOf(form, "BImportar")->isEnabled());
    QCOMPARE(form.EstadoTransformacion(), estado);
    QVERIFY(!fs::exists(f.tuxa / "TUXA_HORARIO.TXT"));
    // Started by Horalina, the window left 0 before the run began.
    if (form.ModoEjecucion() == 2)
        QCOMPARE(readFile(f.ini), "[Transformadores]\r\nTransformado=0\r\n");
    else
        QVERIFY(!fs::exists(f.ini));
    click(form, "BClose");
    if (form.ModoEjecucion() == 2)
        QCOMPARE(readFile(f.ini), "[Transformadores]\r\nTransformado=" + std::to_string(estado) + "\r\n");
}

void TestMainForm::folderChooserAndLabel2() {
    Fixture f;
    for (const char* sub : {"b", "A", "c"}) fs::create_directories(f.tuxa / sub);
    TMForm form({}, f.options(f.tuxa));
    form.show();
    auto* list = form.findChild<DirectoryList*>("Directorios");
    auto* label2 = form.findChild<QLabel*>("Label2");
    const QString tuxa = QString::fromStdString(f.tuxa.string());
    QCOMPARE(list->folder(), tuxa);
    QCOMPARE(label2->text(), QDir::toNativeSeparators(tuxa));
    QCOMPARE(label2->width(), label2->fontMetrics().horizontalAdvance(label2->text()));
    // The path from the root down, then the subfolders sorted without regard to case.
    QStringList lines;
    for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
    QCOMPARE(lines.mid(lines.size() - 4), (QStringList{"tuxa", "A", "b", "c"}));
    QCOMPARE(lines.front(), QDir::toNativeSeparators("/"));
    QCOMPARE(list->currentItem()->text(), QString("tuxa"));

    // A single click only highlights; the run uses the current folder.
    QListWidgetItem* b = list->item(lines.indexOf("b"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(b).center());
    QCOMPARE(list->currentItem(), b);
    QCOMPARE(list->folder(), tuxa);
    click(form, "BExportar");
    QCOMPARE(form.dirTxt(), f.tuxa.string() + "/");

    // A double-click opens the folder.
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(b).center());
    QCOMPARE(list->folder(), tuxa + "/b");
    QCOMPARE(label2->text(), QDir::toNativeSeparators(tuxa + "/b"));
    QCOMPARE(list->item(list->count() - 1)->text(), QString("b"));
    // Enter opens the highlighted line, as a double-click does.
    list->setCurrentRow(list->count() - 2);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(list->folder(), tuxa);

    // Choosing a root in Unidades shows its current folder; back on the first root, the folder left there.
    auto* drives = form.findChild<tht::app::DriveBox*>("Unidades");
    drives->setRoots({{tuxa + "/A", "A", false}, {QString::fromStdString(f.root.string()), "root", false}});
    drives->followFolder(list->folder());
    QCOMPARE(drives->currentIndex(), 1);
    drives->activated(0);
    QCOMPARE(list->folder(), tuxa + "/A");
    QCOMPARE(drives->currentIndex(), 0);
    drives->activated(1);
    QCOMPARE(list->folder(), tuxa);
}

void TestMainForm::longFolderIsShortenedButRunUsesItWhole() {
    Fixture f;
    fs::path deep = f.root;
    for (const char* part : {"una carpeta con un nombre bastante largo", "otra carpeta que tampoco es corta",
                             "y una tercera", "datos de TUXA del curso"})
        deep /= part;
    fs::create_directories(deep);
    TMForm form({}, f.options(deep));
    form.show();
    auto* label2 = form.findChild<QLabel*>("Label2");
    const QString full = QString::fromStdString(deep.string());
    QVERIFY(label2->text() != full);
    QVERIFY2(label2->text().contains(QChar(0x2026)), qPrintable(label2->text()));
    QVERIFY2(label2->text().endsWith("/datos de TUXA del curso"), qPrintable(label2->text()));
    QVERIFY(label2->width() <= form::control(form::kCurrentFolderId).bounds.width);
    QCOMPARE(label2->toolTip(), full);
    click(form, "BExportar");
    QCOMPARE(f.boxes.texts(), kMissingFileMessages + QStringList{"Proceso finalizado"});
    QCOMPARE(form.dirTxt(), deep.string() + "/");
}

void TestMainForm::rootFolderGivesDoubleSeparator() {
    Fixture f;
    TMForm form({}, f.options("/"));
    form.show();
    click(form, "BExportar");
    QCOMPARE(form.dirTxt(), std::string("//"));
    QCOMPARE(f.boxes.texts().last(), QString("Proceso finalizado"));
}

void TestMainForm::helpFromButtonAndF1_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("key");  // "Button1": click it; otherwise F1 with the focus there
    QTest::addColumn<QString>("page");
    QTest::newRow("Button1") << "Button1" << "click" << "qrc:/TUXA.chm/index.html";
    for (const form::Control& c : form::kControls)
        if (c.tabPosition > 0) QTest::newRow(c.name.data()) << QString::fromLatin1(c.name.data()) << "F1" << "qrc:/TUXA.chm/ventana.html";
}

void TestMainForm::helpFromButtonAndF1() {
    QFETCH(QString, focus);
    QFETCH(QString, key);
    QFETCH(QString, page);
    Fixture f;
    TMForm form({}, f.options(f.tuxa));
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QWidget* target = widgetOf(form, focus.toLatin1().constData());
    if (key == "click") {
        QTest::mouseClick(target, Qt::LeftButton);
    } else {
        target->setFocus();
        QTest::keyClick(target, Qt::Key_F1);
    }
    QVERIFY(f.boxes.boxes.empty());
    QVERIFY(form.helpWindow());
    QVERIFY(form.helpWindow()->isVisible());
    QCOMPARE(form.helpWindow()->currentPage().toString(), page);
    // Both pages name the window's page: its accents arrive as written.
    QVERIFY(form.helpWindow()->browser()->toPlainText().contains(QStringLiteral("Cómo se usa la ventana")));
    // The help window goes with the main window.
    form.close();
    QVERIFY(!form.helpWindow()->isVisible());
}

void TestMainForm::missingHelpIsReported() {
    Fixture f;
    FormOptions options = f.options(f.tuxa);
    options.helpSet = QString::fromStdString((f.root / "no-help").string());
    TMForm form({}, options);
    form.show();
    click(form, "Button1");
    QCOMPARE(f.boxes.boxes.size(), std::size_t(1));
    QVERIFY2(f.boxes.boxes.front().text.contains("TUXA.chm"), qPrintable(f.boxes.boxes.front().text));
    QCOMPARE(f.boxes.boxes.front().icon, QMessageBox::Critical);
    QVERIFY(!form.helpWindow());
    QVERIFY(form.isVisible());
}

QTEST_MAIN(TestMainForm)
#include "main_form_test.moc"
