#include "app/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>

#include "app/app_identity.h"
#include "app/folder_chooser.h"
#include "app/gradient_panel.h"
#include "app/help_window.h"
#include "app/message_boxes.h"
#include "app/run_mode.h"
#include "core/ini_file.h"
#include "export/export_run.h"
#include "import/import_run.h"
#include "platform/locations.h"

namespace tht::app {

std::filesystem::path defaultIniFile() {
    std::filesystem::path folder = executablePath().parent_path();
    if (folder.empty()) folder = QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
    return folder / "Horalina.ini";
}

QString defaultHelpSet() { return QStringLiteral(":/") + QString::fromLatin1(kHelpFile); }

namespace {

constexpr int kClientWidth = 599;
constexpr int kClientHeight = 270;
constexpr int kFolderWidth = 287;  // Label2 never grows wider than the directory list
const char* const kHelpContextProperty = "helpContext";

QFont formFont(bool bold = false) {
    QFont font;
    // MS Sans Serif is rarely installed outside Windows; the fallbacks share its proportions closely enough
    // for the fixed bounds of the window.
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    font.setBold(bold);
    return font;
}

QFont directionFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(16);
    font.setBold(true);
    return font;
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QLabel* label(QWidget* parent, const char* name, const QString& text, const QRect& bounds) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(bounds);
    l->setMargin(0);
    l->setIndent(0);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

// A one-line caption keeps its stated bounds, and grows to its text where a
// fallback font is wider than the one the bounds were measured with: a cut
// caption would tell the user less than a slightly wider label.
void fitCaption(QLabel* caption) {
    const int needed = caption->fontMetrics().horizontalAdvance(caption->text());
    if (needed > caption->width()) caption->resize(needed, caption->height());
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, const QRect& bounds) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(bounds);
    return b;
}

// The hourglass for the length of a run, put back on every way out of it.
class Hourglass {
public:
    Hourglass() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Hourglass() { QGuiApplication::restoreOverrideCursor(); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

// A message box asks for a click: it gets the normal cursor, and the hourglass
// comes back once it is dismissed.
class NormalCursorForBox {
public:
    NormalCursorForBox() {
        while (QGuiApplication::overrideCursor()) {
            saved_.push_back(QGuiApplication::overrideCursor()->shape());
            QGuiApplication::restoreOverrideCursor();
        }
    }
    ~NormalCursorForBox() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) QGuiApplication::setOverrideCursor(*it);
    }
    NormalCursorForBox(const NormalCursorForBox&) = delete;
    NormalCursorForBox& operator=(const NormalCursorForBox&) = delete;

private:
    std::vector<Qt::CursorShape> saved_;
};

int helpContextOf(const QWidget* widget) {
    for (; widget; widget = widget->parentWidget())
        if (const int context = widget->property(kHelpContextProperty).toInt(); context > 0) return context;
    return kWindowHelpContext;
}

}  // namespace
}  // namespace tht::app

using namespace tht::app;

// The core's messages become modal boxes headed by the application title.
class TMForm::BoxSink final : public tht::MessageSink {
public:
    explicit BoxSink(TMForm& form) : form_(form) {}
    void show(const std::string& message) override { form_.showBox(QMessageBox::NoIcon, QString::fromStdString(message)); }

private:
    TMForm& form_;
};

TMForm::TMForm(const QStringList& arguments, FormOptions options, QWidget* parent)
    : QWidget(parent),
      options_(std::move(options)),
      ownBoxes_(options_.boxes ? nullptr : std::make_unique<ModalBoxRunner>()),
      boxes_(options_.boxes ? options_.boxes : ownBoxes_.get()),
      sink_(std::make_unique<BoxSink>(*this)) {
    buildControls();
    FormCreate(arguments);
}

TMForm::~TMForm() = default;

void TMForm::buildControls() {
    setObjectName(QStringLiteral("MForm"));
    setWindowTitle(QStringLiteral("Exportar e importar datos entre Horalina y TUXA"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, kClientHeight);
    setFont(formFont());
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    setAutoFillBackground(true);
    setProperty(kHelpContextProperty, kWindowHelpContext);

    const QColor gradientStart(249, 211, 125), gradientEnd(255, 238, 221);
    const QString directionCaptionExport = QStringLiteral("Transformar datos desde TUXA hacia Horalina ");
    const QString directionCaptionImport = QStringLiteral("Transformar datos desde Horalina hacia TUXA");
    const QIcon okGlyph = style()->standardIcon(QStyle::SP_DialogOkButton);

    Draw3D2 = new GradientPanel(gradientStart, gradientEnd, this);
    Draw3D2->setObjectName(QStringLiteral("Draw3D2"));
    Draw3D2->setGeometry(0, 0, 301, 106);
    Draw3D2->setProperty(kHelpContextProperty, kWindowHelpContext);
    Label3 = label(Draw3D2, "Label3", directionCaptionExport, {21, 5, 265, 57});
    BExportar = button(Draw3D2, "BExportar", QStringLiteral("OK"), {88, 72, 89, 25});

    Draw3D3 = new GradientPanel(gradientStart, gradientEnd, this);
    Draw3D3->setObjectName(QStringLiteral("Draw3D3"));
    Draw3D3->setGeometry(302, 0, 294, 106);
    Label4 = label(Draw3D3, "Label4", directionCaptionImport, {8, 5, 276, 57});
    BImportar = button(Draw3D3, "BImportar", QStringLiteral("OK"), {96, 72, 89, 25});

    for (QLabel* direction : {Label3, Label4}) {
        direction->setFont(directionFont());
        direction->setWordWrap(true);
    }
    Label4->setProperty(kHelpContextProperty, kWindowHelpContext);
    for (QPushButton* ok : {BExportar, BImportar}) {
        ok->setIcon(okGlyph);
        ok->setDefault(true);
        ok->setProperty(kHelpContextProperty, kWindowHelpContext);
    }

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 107, 596, 162);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);

    Label5 = label(Panel1, "Label5", QStringLiteral("Carpeta en la que se encuentran los Ficheros TXT de TUXA"),
                   {9, 5, 280, 13});
    Label6 = label(Panel1, "Label6", QStringLiteral("Ruta Actual:"), {9, 19, 59, 13});
    Label2 = label(Panel1, "Label2", QString(), {70, 20, 0, 13});
    for (QLabel* prompt : {Label5, Label6}) setTextColour(prompt, QColor(0, 0, 255));
    Label1 = label(Panel1, "Label1", QStringLiteral("TransHoralinaTUXA para HL18 V-1.0"), {368, 143, 212, 13});
    for (QLabel* red : {Label2, Label1}) {
        red->setFont(formFont(true));
        setTextColour(red, QColor(255, 0, 0));
    }
    for (QLabel* caption : {Label5, Label6, Label1}) fitCaption(caption);

    const QColor chooserBackground(240, 251, 255);
    Directorios = new DirectoryList(Panel1);
    Directorios->setObjectName(QStringLiteral("Directorios"));
    Directorios->setGeometry(9, 36, 287, 101);
    Unidades = new DriveBox(Panel1);
    Unidades->setObjectName(QStringLiteral("Unidades"));
    Unidades->setGeometry(9, 140, 137, 19);
    for (QWidget* chooser : {static_cast<QWidget*>(Directorios), static_cast<QWidget*>(Unidades)}) {
        QPalette palette = chooser->palette();
        palette.setColor(QPalette::Base, chooserBackground);
        palette.setColor(QPalette::Button, chooserBackground);
        chooser->setPalette(palette);
        chooser->setProperty(kHelpContextProperty, kWindowHelpContext);
    }

    BClose = button(Panel1, "BClose", QStringLiteral("&Salir"), {385, 106, 89, 25});
    BClose->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    Button1 = button(Panel1, "Button1", QStringLiteral("F1 AYUDA"), {188, 139, 109, 21});
    for (QPushButton* b : {BClose, Button1}) b->setProperty(kHelpContextProperty, kWindowHelpContext);

    setTabOrder(BExportar, BImportar);
    setTabOrder(BImportar, BClose);
    setTabOrder(BClose, Button1);
    setTabOrder(Button1, Directorios);
    setTabOrder(Directorios, Unidades);

    connect(BExportar, &QPushButton::clicked, this, &TMForm::BExportarClick);
    connect(BImportar, &QPushButton::clicked, this, &TMForm::BImportarClick);
    connect(BClose, &QPushButton::clicked, this, &TMForm::BCloseClick);
    connect(Button1, &QPushButton::clicked, this, &TMForm::Button1Click);
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::WindowShortcut);
    connect(f1, &QShortcut::activated, this, [this] { showHelp(false); });

    connect(Directorios, &DirectoryList::folderChanged, this, &TMForm::showFolder);
    connect(Unidades, &DriveBox::folderChosen, Directorios, &DirectoryList::setFolder);
    Unidades->setRoots(availableRoots());
    Directorios->setFolder(options_.startFolder.isEmpty() ? QDir::currentPath() : options_.startFolder);
}

void TMForm::FormCreate(const QStringList& arguments) {
    EstadoTransformacion_ = 0;
    const StartMode mode = startMode(arguments);
    ModoEjecucion_ = mode.ModoEjecucion;
    if (mode.panels == Panels::ImportOnly) {
        Draw3D2->hide();
        alignToTop(Draw3D3);
    }
    if (mode.panels == Panels::ExportOnly) {
        Draw3D3->hide();
        alignToTop(Draw3D2);
    }
}

void TMForm::alignToTop(QWidget* panel) { panel->setGeometry(0, 0, kClientWidth, panel->height()); }

void TMForm::showEvent(QShowEvent* event) {
    if (!centred_) {
        centreOnScreen();
        centred_ = true;
    }
    QWidget::showEvent(event);
    FormShow();
}

void TMForm::FormShow() {}

void TMForm::centreOnScreen() {
    const QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!where) return;
    const QRect area = where->geometry();
    move(area.center() - rect().center());
}

void TMForm::BExportarClick() { runTransfer(&tht::exportar); }

void TMForm::BImportarClick() { runTransfer(&tht::importar); }

void TMForm::runTransfer(Run run) {
    tht::RunContext ctx;
    ctx.dirTxt = tht::makeDirTxt(QFile::encodeName(QDir::toNativeSeparators(Directorios->folder())).toStdString());
    dirTxt_ = ctx.dirTxt;
    ctx.htemp = options_.htemp;
    ctx.messages = sink_.get();
    ctx.EstadoTransformacion = &EstadoTransformacion_;
    ctx.ModoEjecucion = ModoEjecucion_;
    ctx.clock = options_.clock;

    std::vector<tht::TableReport> reports;
    tht::RunOutcome outcome = tht::RunOutcome::FolderMissing;
    QString failure;
    {
        const Hourglass hourglass;
        try {
            outcome = run(ctx, reports);
        } catch (const std::exception& e) {
            failure = QString::fromStdString(e.what());
        } catch (...) {
            failure = QStringLiteral("Error inesperado");
        }
    }
    if (!failure.isEmpty()) {
        // The run stopped: the user may fix the cause and press the button again.
        reportError(failure);
        return;
    }
    if (outcome == tht::RunOutcome::Completed) {
        BExportar->setEnabled(false);
        BImportar->setEnabled(false);
    }
    if (ModoEjecucion_ == 2) close();
}

void TMForm::BCloseClick() { close(); }

void TMForm::Button1Click() { showHelp(true); }

void TMForm::showHelp(bool contents) {
    const HelpSet helpSet(options_.helpSet);
    QString problem;
    const auto page = contents ? helpSet.contentsPage(problem) : helpSet.contextPage(helpContextOf(focusWidget()), problem);
    if (!page) {
        reportError(problem);
        return;
    }
    QString noContents;
    const QUrl home = helpSet.contentsPage(noContents).value_or(*page);
    if (!help_) help_ = new HelpWindow(this);
    help_->showPage(*page, home);
}

void TMForm::showFolder(const QString& folder) {
    const QString native = QDir::toNativeSeparators(folder);
    const QString shown = shortenFolder(native, Label2->fontMetrics(), kFolderWidth);
    Label2->setText(shown);
    Label2->setToolTip(native);
    Label2->resize(Label2->fontMetrics().horizontalAdvance(shown), Label2->height());
    Unidades->followFolder(folder);
}

void TMForm::showBox(QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, QString::fromLatin1(kApplicationTitle), text, QMessageBox::Ok, this);
    box.setFont(font());  // a box is a window of its own and does not take the window's font by itself
    const NormalCursorForBox normalCursor;
    boxes_->run(box);
}

void TMForm::reportError(const QString& text) { showBox(QMessageBox::Critical, text); }

void TMForm::closeEvent(QCloseEvent* event) {
    FormClose();
    if (help_) help_->close();
    event->accept();
}

void TMForm::FormClose() {
    if (ModoEjecucion_ != 2) return;
    try {
        tht::writeIniValue(options_.iniFile, "Transformadores", "Transformado", std::to_string(EstadoTransformacion_));
    } catch (const std::exception& e) {
        // The window closes all the same: a window that cannot be closed would
        // leave the calling product waiting for ever.
        reportError(QString::fromStdString(e.what()));
    }
}
