#include "app/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QUrl>

#include "app/app_identity.h"
#include "app/folder_chooser.h"
#include "app/gradient_panel.h"
#include "app/help_window.h"
#include "app/message_boxes.h"
#include "app/qt_text.h"
#include "base/messages.h"
#include "front_end/ini_file.h"
#include "platform/files.h"
#include "platform/locations.h"

namespace tht::app {

std::filesystem::path defaultIniFile() {
    std::filesystem::path folder = executablePath().parent_path();
    if (folder.empty()) folder = QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
    return folder / kSettingsFileName;
}

QString defaultHelpSet() { return QStringLiteral(":/") + QString::fromLatin1(kHelpFile); }

namespace {

using form::kClientHeight;
using form::kClientWidth;
const char* const kHelpContextProperty = "helpContext";

QFont formFont(bool bold = false) {
    QFont font;
    // MS Sans Serif is rarely installed outside Windows; the fallbacks share its proportions closely enough
    // for the fixed bounds of the window.
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(form::kFormFontPixels);
    font.setBold(bold);
    return font;
}

QFont directionFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(form::kDirectionFontPixels);
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

QRect rectOf(const form::Bounds& b) { return {b.left, b.top, b.width, b.height}; }

QColor colourOf(const form::Colour& c) { return {c.red, c.green, c.blue}; }

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
namespace form = tht::form;

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
      sink_(std::make_unique<BoxSink>(*this)),
      model_(utf8Arguments(arguments), {options_.htemp, options_.iniFile, options_.clock}) {
    buildControls();
    FormCreate();
}

TMForm::~TMForm() = default;

void TMForm::buildControls() {
    setObjectName(QStringLiteral("MForm"));
    setWindowTitle(text(tht::msg::window::kCaption));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, kClientHeight);
    setFont(formFont());
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    setAutoFillBackground(true);
    setProperty(kHelpContextProperty, kWindowHelpContext);

    const QColor gradientStart = colourOf(form::kGradientStart), gradientEnd = colourOf(form::kGradientEnd);
    const QString directionCaptionExport = text(tht::msg::window::kExportDirection);
    const QString directionCaptionImport = text(tht::msg::window::kImportDirection);
    const QIcon okGlyph = style()->standardIcon(QStyle::SP_DialogOkButton);

    exportPanel_ = new GradientPanel(gradientStart, gradientEnd, this);
    exportPanel_->setObjectName(QStringLiteral("Draw3D2"));
    exportPanel_->setGeometry(rectOf(form::kExportPanel));
    exportPanel_->setProperty(kHelpContextProperty, kWindowHelpContext);
    exportCaption_ = label(exportPanel_, "Label3", directionCaptionExport, rectOf(form::kExportCaption));
    exportButton_ = button(exportPanel_, "BExportar", text(tht::msg::window::kOk), rectOf(form::kExportButton));

    importPanel_ = new GradientPanel(gradientStart, gradientEnd, this);
    importPanel_->setObjectName(QStringLiteral("Draw3D3"));
    importPanel_->setGeometry(rectOf(form::kImportPanel));
    importCaption_ = label(importPanel_, "Label4", directionCaptionImport, rectOf(form::kImportCaption));
    importButton_ = button(importPanel_, "BImportar", text(tht::msg::window::kOk), rectOf(form::kImportButton));

    for (QLabel* direction : {exportCaption_, importCaption_}) {
        direction->setFont(directionFont());
        direction->setWordWrap(true);
    }
    importCaption_->setProperty(kHelpContextProperty, kWindowHelpContext);
    for (QPushButton* ok : {exportButton_, importButton_}) {
        ok->setIcon(okGlyph);
        ok->setDefault(true);
        ok->setProperty(kHelpContextProperty, kWindowHelpContext);
    }

    folderPanel_ = new QFrame(this);
    folderPanel_->setObjectName(QStringLiteral("Panel1"));
    folderPanel_->setGeometry(rectOf(form::kFolderPanel));
    folderPanel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    folderPanel_->setLineWidth(1);

    folderPrompt_ = label(folderPanel_, "Label5", text(tht::msg::window::kFolderPrompt),
                   rectOf(form::kFolderPrompt));
    currentFolderPrompt_ = label(folderPanel_, "Label6", text(tht::msg::window::kCurrentFolder),
                                 rectOf(form::kCurrentFolderPrompt));
    currentFolder_ = label(folderPanel_, "Label2", QString(), rectOf(form::kCurrentFolder));
    for (QLabel* prompt : {folderPrompt_, currentFolderPrompt_}) setTextColour(prompt, colourOf(form::kPromptText));
    productLabel_ = label(folderPanel_, "Label1", text(tht::msg::window::kProductLabel), rectOf(form::kProductLabel));
    for (QLabel* red : {currentFolder_, productLabel_}) {
        red->setFont(formFont(true));
        setTextColour(red, colourOf(form::kEmphasisText));
    }
    for (QLabel* caption : {folderPrompt_, currentFolderPrompt_, productLabel_}) fitCaption(caption);

    const QColor chooserBackground = colourOf(form::kChooserBackground);
    directories_ = new DirectoryList(folderPanel_);
    directories_->setObjectName(QStringLiteral("Directorios"));
    directories_->setGeometry(rectOf(form::kDirectories));
    drives_ = new DriveBox(folderPanel_);
    drives_->setObjectName(QStringLiteral("Unidades"));
    drives_->setGeometry(rectOf(form::kDrives));
    for (QWidget* chooser : {static_cast<QWidget*>(directories_), static_cast<QWidget*>(drives_)}) {
        QPalette palette = chooser->palette();
        palette.setColor(QPalette::Base, chooserBackground);
        palette.setColor(QPalette::Button, chooserBackground);
        chooser->setPalette(palette);
        chooser->setProperty(kHelpContextProperty, kWindowHelpContext);
    }

    closeButton_ = button(folderPanel_, "BClose", text(tht::msg::window::kClose), rectOf(form::kCloseButton));
    closeButton_->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    helpButton_ = button(folderPanel_, "Button1", text(tht::msg::window::kHelp), rectOf(form::kHelpButton));
    for (QPushButton* b : {closeButton_, helpButton_}) b->setProperty(kHelpContextProperty, kWindowHelpContext);

    setTabOrder(exportButton_, importButton_);
    setTabOrder(importButton_, closeButton_);
    setTabOrder(closeButton_, helpButton_);
    setTabOrder(helpButton_, directories_);
    setTabOrder(directories_, drives_);

    connect(exportButton_, &QPushButton::clicked, this, &TMForm::BExportarClick);
    connect(importButton_, &QPushButton::clicked, this, &TMForm::BImportarClick);
    connect(closeButton_, &QPushButton::clicked, this, &TMForm::BCloseClick);
    connect(helpButton_, &QPushButton::clicked, this, &TMForm::Button1Click);
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::WindowShortcut);
    connect(f1, &QShortcut::activated, this, [this] { showHelp(false); });

    connect(directories_, &DirectoryList::folderChanged, this, &TMForm::showFolder);
    connect(drives_, &DriveBox::folderChosen, directories_, &DirectoryList::setFolder);
    drives_->setRoots(availableRoots());
    directories_->setFolder(options_.startFolder.isEmpty() ? QDir::currentPath() : options_.startFolder);
}

void TMForm::FormCreate() {
    const tht::Panels panels = model_.start().panels;
    if (panels == tht::Panels::ImportOnly) {
        exportPanel_->hide();
        alignToTop(importPanel_);
    }
    if (panels == tht::Panels::ExportOnly) {
        importPanel_->hide();
        alignToTop(exportPanel_);
    }
}

void TMForm::alignToTop(QWidget* panel) { panel->setGeometry(0, 0, kClientWidth, panel->height()); }

void TMForm::showEvent(QShowEvent* event) {
    if (!centred_) {
        centreOnScreen();
        centred_ = true;
    }
    QWidget::showEvent(event);
}

void TMForm::centreOnScreen() {
    const QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!where) return;
    const QRect area = where->geometry();
    move(area.center() - rect().center());
}

void TMForm::BExportarClick() { runTransfer(tht::FrontEnd::Direction::Export); }

void TMForm::BImportarClick() { runTransfer(tht::FrontEnd::Direction::Import); }

void TMForm::runTransfer(tht::FrontEnd::Direction direction) {
    const std::string folder = QFile::encodeName(QDir::toNativeSeparators(directories_->folder())).toStdString();
    tht::FrontEnd::Click click;
    {
        const Hourglass hourglass;
        click = model_.run(direction, folder, *sink_);
    }
    if (click.error) {
        reportError(text(click.errorText()));
        return;
    }
    exportButton_->setEnabled(model_.transfersEnabled());
    importButton_->setEnabled(model_.transfersEnabled());
    // What the run dropped or warned about is told before the window may close.
    if (click.problems) showProblems(*click.problems);
    if (click.closeWindow) close();
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
    const QString shown = shortenFolder(native, currentFolder_->fontMetrics(), form::kCurrentFolderMaxWidth);
    currentFolder_->setText(shown);
    currentFolder_->setToolTip(native);
    currentFolder_->resize(currentFolder_->fontMetrics().horizontalAdvance(shown), currentFolder_->height());
    drives_->followFolder(folder);
}

void TMForm::showBox(QMessageBox::Icon icon, const QString& message) {
    QMessageBox box(icon, text(tht::msg::window::kApplicationTitle), message, QMessageBox::Ok, this);
    box.setFont(font());  // a box is a window of its own and does not take the window's font by itself
    const NormalCursorForBox normalCursor;
    boxes_->run(box);
}

void TMForm::reportError(const QString& text) { showBox(QMessageBox::Critical, text); }

void TMForm::showProblems(const tht::FrontEnd::Click::Problems& problems) {
    QMessageBox box(problems.reportWritten ? QMessageBox::Information : QMessageBox::Warning,
                    text(tht::msg::report::kProblemsTitle), text(problems.text), QMessageBox::NoButton, this);
    box.setFont(font());
    QPushButton* open =
        problems.reportWritten ? box.addButton(text(tht::msg::report::kOpenReport), QMessageBox::AcceptRole) : nullptr;
    box.addButton(text(tht::msg::window::kCloseBox), QMessageBox::RejectRole);
    if (open) box.setDefaultButton(open);
    {
        const NormalCursorForBox normalCursor;
        boxes_->run(box);
    }
    if (!open || box.clickedButton() != open) return;
    const bool opened = options_.openDocument
                            ? options_.openDocument(problems.report)
                            : QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(
                                  QByteArray::fromStdString(problems.report.string()))));
    if (!opened)
        reportError(text(tht::msg::report::notOpened(tht::displayPath(problems.report), std::string(tht::msg::report::kNoViewer))));
}

void TMForm::closeEvent(QCloseEvent* event) {
    FormClose();
    if (help_) help_->close();
    event->accept();
}

void TMForm::FormClose() {
    // The window closes all the same: a window that cannot be closed would
    // leave the calling product waiting for ever.
    if (const auto problem = model_.closing()) reportError(text(problem->what()));
}
