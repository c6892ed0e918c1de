#include "app/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QUrl>

#include <algorithm>

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
    return defaultIniFile(folder);
}

std::filesystem::path defaultIniFile(const std::filesystem::path& programFolder) {
    return statusFolder(programFolder) / kSettingsFileName;
}

QString defaultHelpSet() { return QStringLiteral(":/") + QString::fromLatin1(kHelpFile); }

namespace {

using form::Control;
using form::Role;

QFont qtFont(form::Font which) {
    const form::FontLook look = form::fontLook(which);
    // MS Sans Serif is rarely installed outside Windows; the fallbacks share
    // its proportions closely enough for the fixed bounds of the window.
    QStringList families{QString::fromLatin1(look.face)};
    if (families.front() == QStringLiteral("MS Sans Serif")) families << QStringLiteral("Microsoft Sans Serif");
    families << QStringLiteral("Liberation Sans");
    if (!families.contains(QStringLiteral("Arial"))) families << QStringLiteral("Arial");
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(look.pixels);
    font.setBold(look.bold);
    return font;
}

// The status file is decided when the window is made, so that a folder that
// cannot hold it stops the window before anything is done; an error here
// reaches the application's error report.
FormOptions withIniFile(FormOptions options, const QStringList& arguments) {
    if (options.iniFile.empty() && startMode(utf8Arguments(arguments)).mode == InvocationMode::CommandLine)
        options.iniFile = defaultIniFile();
    return options;
}

QRect rectOf(const form::Bounds& b) { return {b.left, b.top, b.width, b.height}; }

QColor colourOf(const form::Colour& c) { return {c.red, c.green, c.blue}; }

void setColour(QWidget* widget, std::initializer_list<QPalette::ColorRole> roles, const form::Colour& colour) {
    QPalette palette = widget->palette();
    for (QPalette::ColorRole role : roles) palette.setColor(role, colourOf(colour));
    widget->setPalette(palette);
}

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

}  // namespace
}  // namespace tht::app

using namespace tht::app;
namespace form = tht::form;

TMForm::TMForm(const QStringList& arguments, FormOptions options, QWidget* parent)
    : QWidget(parent),
      options_(withIniFile(std::move(options), arguments)),
      ownBoxes_(options_.boxes ? nullptr : std::make_unique<ModalBoxRunner>()),
      boxes_(options_.boxes ? options_.boxes : ownBoxes_.get()),
      model_(utf8Arguments(arguments), {options_.htemp, options_.iniFile, options_.clock}),
      steps_(model_, *this) {
    setUpWindow();
    buildControls();
    FormCreate();
}

TMForm::~TMForm() = default;

void TMForm::setUpWindow() {
    setObjectName(text(form::kFormName));
    setWindowTitle(text(tht::msg::window::kCaption));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(form::kClientWidth, form::kClientHeight);
    setFont(qtFont(form::Font::Form));
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    setAutoFillBackground(true);
}

// Created in the table's order, each with the tab position the table gives it.
void TMForm::buildControls() {
    QWidget* lastTab = nullptr;
    for (const Control& c : form::kControls) {
        QWidget* w = makeControl(c, c.parent == form::kNoControl ? this : widget(c.parent));
        controls_.push_back(w);
        w->setObjectName(text(c.name));
        if (c.font != form::Font::Form) w->setFont(qtFont(c.font));
        if (c.text) setColour(w, {QPalette::WindowText}, *c.text);
        if (c.background) setColour(w, {QPalette::Base, QPalette::Button}, *c.background);
        const auto* label = qobject_cast<QLabel*>(w);
        w->setGeometry(rectOf(label ? form::fitted(c, label->fontMetrics().horizontalAdvance(label->text())) : c.bounds));
        if (c.tabPosition == 0) continue;
        if (lastTab) setTabOrder(lastTab, w);
        lastTab = w;
    }

    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::WindowShortcut);
    connect(f1, &QShortcut::activated, this, [this] { steps_.helpFor(controlOf(focusWidget())); });
    connect(directories_, &DirectoryList::folderChanged, this, &TMForm::showFolder);
    connect(drives_, &DriveBox::folderChosen, directories_, &DirectoryList::setFolder);
    drives_->setRoots(availableRoots());
    directories_->setFolder(options_.startFolder.isEmpty() ? QDir::currentPath() : options_.startFolder);
}

// The toolkit's widget for each role of the table.
QWidget* TMForm::makeControl(const Control& c, QWidget* parent) {
    switch (c.role) {
        case Role::GradientPanel:
            return new GradientPanel(colourOf(form::kGradientStart), colourOf(form::kGradientEnd), parent);
        case Role::RaisedPanel: {
            auto* panel = new QFrame(parent);
            panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
            panel->setLineWidth(1);
            return panel;
        }
        case Role::Caption:
        case Role::Label:
        case Role::FolderLabel: {
            auto* label = new QLabel(text(c.caption), parent);
            label->setMargin(0);
            label->setIndent(0);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setWordWrap(c.role == Role::Caption);
            if (c.role == Role::FolderLabel) currentFolder_ = label;
            return label;
        }
        case Role::Button: {
            auto* button = new QPushButton(text(c.caption), parent);
            if (c.glyph != form::Glyph::None)
                button->setIcon(style()->standardIcon(c.glyph == form::Glyph::Ok ? QStyle::SP_DialogOkButton
                                                                                 : QStyle::SP_DialogCloseButton));
            button->setDefault(c.defaultButton);
            connect(button, &QPushButton::clicked, this, [this, action = c.action] { steps_.press(action); });
            return button;
        }
        case Role::DirectoryList:
            return directories_ = new DirectoryList(parent);
        case Role::DriveBox:
            return drives_ = new DriveBox(parent);
    }
    return nullptr;
}

QWidget* TMForm::widget(form::ControlId id) const {
    return controls_.at(static_cast<std::size_t>(form::find(id) - std::begin(form::kControls)));
}

// The table's control that holds this widget, if any.
const form::Control* TMForm::controlOf(const QWidget* w) const {
    for (; w && w != this; w = w->parentWidget())
        if (const auto at = std::find(controls_.begin(), controls_.end(), w); at != controls_.end())
            return &form::kControls[at - controls_.begin()];
    return nullptr;
}

void TMForm::FormCreate() {
    const tht::Panels panels = model_.start().panels;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const form::Placement placed = form::place(form::kControls[i], panels);
        if (placed.hidden) controls_[i]->hide();
        if (placed.bounds != form::kControls[i].bounds) controls_[i]->setGeometry(rectOf(placed.bounds));
    }
}

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

void TMForm::showFolder(const QString& folder) {
    const form::Control& label = form::control(form::kCurrentFolderId);
    const QString native = QDir::toNativeSeparators(folder);
    const QString shown = shortenFolder(native, currentFolder_->fontMetrics(), label.bounds.width);
    currentFolder_->setText(shown);
    currentFolder_->setToolTip(native);
    currentFolder_->setGeometry(rectOf(form::fitted(label, currentFolder_->fontMetrics().horizontalAdvance(shown))));
    drives_->followFolder(folder);
}

std::string TMForm::chosenFolder() {
    return QFile::encodeName(QDir::toNativeSeparators(directories_->folder())).toStdString();
}

void TMForm::setBusy(bool busy) {
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

void TMForm::setEnabled(form::ControlId id, bool enabled) { widget(id)->setEnabled(enabled); }

void TMForm::showBox(form::Box kind, const std::string& message) {
    QMessageBox box(kind == form::Box::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                    text(tht::msg::window::kApplicationTitle), text(message), QMessageBox::Ok, this);
    box.setFont(font());  // a box is a window of its own and does not take the window's font by itself
    const NormalCursorForBox normalCursor;
    boxes_->run(box);
}

tht::form::ProblemsAnswer TMForm::offerReport(const tht::FrontEnd::Click::Problems& problems) {
    QMessageBox box(problems.reportWritten ? QMessageBox::Information : QMessageBox::Warning,
                    text(tht::msg::report::kProblemsTitle), text(problems.text), QMessageBox::NoButton, this);
    box.setFont(font());
    QPushButton* open =
        problems.reportWritten ? box.addButton(text(tht::msg::report::kOpenReport), QMessageBox::AcceptRole) : nullptr;
    QPushButton* undo =
        problems.undoOffered ? box.addButton(text(tht::msg::report::kUndoExport), QMessageBox::DestructiveRole) : nullptr;
    box.addButton(text(tht::msg::window::kCloseBox), QMessageBox::RejectRole);
    // Enter never undoes: the default stays the harmless choice.
    if (open) box.setDefaultButton(open);
    const NormalCursorForBox normalCursor;
    boxes_->run(box);
    if (open && box.clickedButton() == open) return tht::form::ProblemsAnswer::OpenReport;
    if (undo && box.clickedButton() == undo) return tht::form::ProblemsAnswer::UndoExport;
    return tht::form::ProblemsAnswer::Close;
}

bool TMForm::openReport(const std::filesystem::path& report) {
    if (options_.openDocument) return options_.openDocument(report);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(report.string()))));
}

std::optional<std::string> TMForm::openHelp(std::optional<int> context) {
    const HelpSet helpSet(options_.helpSet);
    QString problem;
    const auto page = context ? helpSet.contextPage(*context, problem) : helpSet.contentsPage(problem);
    if (!page) return problem.toStdString();
    QString noContents;
    const QUrl home = helpSet.contentsPage(noContents).value_or(*page);
    if (!help_) help_ = new HelpWindow(this);
    help_->showPage(*page, home);
    return std::nullopt;
}

void TMForm::closeEvent(QCloseEvent* event) {
    FormClose();
    if (help_) help_->close();
    event->accept();
}
