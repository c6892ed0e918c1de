#pragma once
// The main window, MForm: the two transfer panels, the folder chooser, close
// and help. It drives the core runs and holds no transfer logic of its own.
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "front_end/front_end.h"
#include "run/message_sink.h"
#include "platform/clock.h"
#include "platform/locations.h"

class QLabel;
class QPushButton;
class QFrame;

namespace tht::app {
class BoxRunner;
class DirectoryList;
class DriveBox;
class GradientPanel;
class HelpWindow;

// "Horalina.ini" beside the executable, where the calling product reads the status.
std::filesystem::path defaultIniFile();
// The help set compiled into the program.
QString defaultHelpSet();

// What the window takes from outside; tests point these at temporary folders.
struct FormOptions {
    std::filesystem::path htemp{};  // Horalina's data folder; empty: the platform's, found when a run starts
    std::filesystem::path iniFile = defaultIniFile();    // where command-line mode leaves the status
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
class TMForm : public QWidget {
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

    void BExportarClick();
    void BImportarClick();
    void BCloseClick();
    void Button1Click();  // the help button

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    class BoxSink;

    void buildControls();
    void FormCreate();
    void FormClose();
    void runTransfer(tht::FrontEnd::Direction direction);
    void showFolder(const QString& folder);
    void showHelp(bool contents);
    void showBox(QMessageBox::Icon icon, const QString& message);
    void reportError(const QString& text);
    void showProblems(const tht::FrontEnd::Click::Problems& problems);
    void alignToTop(QWidget* panel);
    void centreOnScreen();

    tht::app::FormOptions options_;
    std::unique_ptr<tht::app::BoxRunner> ownBoxes_;
    tht::app::BoxRunner* boxes_;
    std::unique_ptr<tht::MessageSink> sink_;

    tht::FrontEnd model_;
    bool centred_ = false;

    // Each control keeps the object name the calling product's users and the
    // help know (Draw3D2, BExportar, ...); the members are named by role.
    tht::app::GradientPanel* exportPanel_ = nullptr;      // Draw3D2
    QLabel* exportCaption_ = nullptr;                     // Label3
    QPushButton* exportButton_ = nullptr;                 // BExportar
    tht::app::GradientPanel* importPanel_ = nullptr;      // Draw3D3
    QLabel* importCaption_ = nullptr;                     // Label4
    QPushButton* importButton_ = nullptr;                 // BImportar
    QFrame* folderPanel_ = nullptr;                       // Panel1
    QLabel* folderPrompt_ = nullptr;                      // Label5
    QLabel* currentFolderPrompt_ = nullptr;               // Label6
    QLabel* currentFolder_ = nullptr;                     // Label2
    tht::app::DirectoryList* directories_ = nullptr;      // Directorios
    tht::app::DriveBox* drives_ = nullptr;                // Unidades
    QPushButton* closeButton_ = nullptr;                  // BClose
    QPushButton* helpButton_ = nullptr;                   // Button1
    QLabel* productLabel_ = nullptr;                      // Label1
    tht::app::HelpWindow* help_ = nullptr;
};
