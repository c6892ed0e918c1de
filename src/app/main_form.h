#pragma once
// The main window, MForm: the two transfer panels, the folder chooser, close
// and help. It drives the core runs and holds no transfer logic of its own.
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/message_sink.h"
#include "core/report.h"
#include "core/run_context.h"
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
    std::filesystem::path htemp = horalinaDataFolder();  // Horalina's data folder
    std::filesystem::path iniFile = defaultIniFile();    // where command-line mode leaves the status
    QString helpSet = defaultHelpSet();
    Clock clock = systemLocalTime;
    BoxRunner* boxes = nullptr;  // null: real modal boxes
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

    int ModoEjecucion() const { return ModoEjecucion_; }
    int EstadoTransformacion() const { return EstadoTransformacion_; }
    const std::string& dirTxt() const { return dirTxt_; }
    tht::app::HelpWindow* helpWindow() const { return help_; }

    void BExportarClick();
    void BImportarClick();
    void BCloseClick();
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    class BoxSink;
    using Run = tht::RunOutcome (*)(const tht::RunContext&, std::vector<tht::TableReport>&);

    void buildControls();
    void FormCreate(const QStringList& arguments);
    void FormShow();
    void FormClose();
    void runTransfer(Run run);
    void showFolder(const QString& folder);
    void showHelp(bool contents);
    void showBox(QMessageBox::Icon icon, const QString& text);
    void reportError(const QString& text);
    void alignToTop(QWidget* panel);
    void centreOnScreen();

    tht::app::FormOptions options_;
    std::unique_ptr<tht::app::BoxRunner> ownBoxes_;
    tht::app::BoxRunner* boxes_;
    std::unique_ptr<tht::MessageSink> sink_;

    int ModoEjecucion_ = 0;
    int EstadoTransformacion_ = 0;
    std::string dirTxt_;
    bool centred_ = false;

    tht::app::GradientPanel* Draw3D2 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* BExportar = nullptr;
    tht::app::GradientPanel* Draw3D3 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* BImportar = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label2 = nullptr;
    tht::app::DirectoryList* Directorios = nullptr;
    tht::app::DriveBox* Unidades = nullptr;
    QPushButton* BClose = nullptr;
    QPushButton* Button1 = nullptr;
    QLabel* Label1 = nullptr;
    tht::app::HelpWindow* help_ = nullptr;
};
