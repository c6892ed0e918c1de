#pragma once
// The main window, MForm: the two transfer panels, the folder chooser, close
// and help. It drives the core runs and holds no transfer logic of its own.
#include <QString>
#include <QStringList>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "front_end/form.h"
#include "front_end/form_steps.h"
#include "front_end/form_view.h"
#include "front_end/front_end.h"
#include "platform/clock.h"
#include "platform/locations.h"

class QLabel;

namespace tht::app {
class BoxRunner;
class DirectoryList;
class DriveBox;
class HelpWindow;

// "Horalina.ini", where the window that the calling product starts leaves the
// status: beside the executable, unless the program is installed (then in the
// user's state folder, made when missing). Throws Error when that folder is
// unknown or cannot be made.
std::filesystem::path defaultIniFile();
// The same for a program whose folder is programFolder.
std::filesystem::path defaultIniFile(const std::filesystem::path& programFolder);
// The help set compiled into the program.
QString defaultHelpSet();

// What the window takes from outside; tests point these at temporary folders.
struct FormOptions {
    std::filesystem::path htemp{};  // Horalina's data folder; empty: the platform's, found when a run starts
    // Where command-line mode leaves the status; empty: defaultIniFile(),
    // decided in that mode only, so that no other start makes a folder or fails.
    std::filesystem::path iniFile{};
    QString helpSet = defaultHelpSet();
    Clock clock = systemLocalTime;
    BoxRunner* boxes = nullptr;  // null: real modal boxes
    // Opens a document in the desktop's viewer; false when it could not.
    // Empty: the desktop's own; tests record the call instead.
    std::function<bool(const std::filesystem::path&)> openDocument{};
    QString startFolder{};       // empty: the process's current folder
};

}  // namespace tht::app

// Outside the namespace so that the window's class is called TMForm, as the
// calling product and its scripts know it.
class TMForm : public QWidget, private tht::form::FormView {
    Q_OBJECT
public:
    // arguments: the command line without the program itself.
    explicit TMForm(const QStringList& arguments, tht::app::FormOptions options = {}, QWidget* parent = nullptr);
    ~TMForm() override;

    // ModoEjecucion as the calling product knows it: 2 in command-line mode, else 0.
    int ModoEjecucion() const { return model_.commandLineMode() ? 2 : 0; }
    int EstadoTransformacion() const { return model_.status(); }
    const std::string& dirTxt() const { return model_.dirTxt(); }
    tht::app::HelpWindow* helpWindow() const { return help_; }

    void BExportarClick() { steps_.press(tht::form::Action::Export); }
    void BImportarClick() { steps_.press(tht::form::Action::Import); }
    void BCloseClick() { steps_.press(tht::form::Action::Close); }
    void Button1Click() { steps_.press(tht::form::Action::Help); }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void setUpWindow();
    void buildControls();
    QWidget* makeControl(const tht::form::Control& control, QWidget* parent);
    void FormCreate();
    void FormClose() { steps_.closing(); }
    void showFolder(const QString& folder);
    void centreOnScreen();
    QWidget* widget(tht::form::ControlId id) const;
    const tht::form::Control* controlOf(const QWidget* widget) const;

    // What the shared steps ask of the window.
    std::string chosenFolder() override;
    void setBusy(bool busy) override;
    void showBox(tht::form::Box kind, const std::string& text) override;
    tht::form::ProblemsAnswer offerReport(const tht::FrontEnd::Click::Problems& problems) override;
    bool openReport(const std::filesystem::path& report) override;
    std::optional<std::string> openHelp(std::optional<int> context) override;
    void setEnabled(tht::form::ControlId id, bool enabled) override;
    void closeWindow() override { close(); }

    tht::app::FormOptions options_;
    std::unique_ptr<tht::app::BoxRunner> ownBoxes_;
    tht::app::BoxRunner* boxes_;

    tht::FrontEnd model_;
    tht::form::FormSteps steps_;
    bool centred_ = false;

    // Each control by its place in the table, under the object name the
    // calling product's users and the help know (Draw3D2, BExportar, ...).
    std::vector<QWidget*> controls_;
    tht::app::DirectoryList* directories_ = nullptr;
    tht::app::DriveBox* drives_ = nullptr;
    QLabel* currentFolder_ = nullptr;
    tht::app::HelpWindow* help_ = nullptr;
};
