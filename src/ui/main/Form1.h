#pragma once

#include "ui/controls/CommandButton.h"
#include "ui/controls/Controls.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>

namespace pedalwise::runtime {
class Announcer;
}

namespace pedalwise::ui {

// Every control of the main window, each under its own name (also its objectName). The
// window owns them; handlers reach them only through the window.
struct Form1Controls {
    // On the window itself.
    Label* Label1 = nullptr;
    Label* Label7 = nullptr;
    TextBox* txtWheel = nullptr;
    Frame* Frame1 = nullptr;
    Frame* Frame2 = nullptr;
    CommandButton* cmdCalculate = nullptr;
    Label* Label6 = nullptr;
    Label* lblInches = nullptr;
    Label* lblSpeedHeader1 = nullptr;
    Label* lblSpeedHeader2 = nullptr;
    Label* lblSpeed60 = nullptr;
    Label* lblSpeed70 = nullptr;
    Label* lblSpeed80 = nullptr;
    Label* lblSpeed90 = nullptr;
    Label* lblSpeed100 = nullptr;
    PictureBox* Picture1 = nullptr;
    CommandButton* cmdExit = nullptr;
    Frame* frmDefaults = nullptr;
    Frame* frmHelpContact = nullptr;

    // In Frame1 (chain 1) and Frame2 (chain 2).
    Label* Label2 = nullptr;
    TextBox* txtDrive1 = nullptr;
    Label* Label3 = nullptr;
    TextBox* txtDriven1 = nullptr;
    Label* Label4 = nullptr;
    TextBox* txtDrive2 = nullptr;
    Label* Label5 = nullptr;
    TextBox* txtDriven2 = nullptr;

    // In the defaults panel frmDefaults.
    Label* lblDefWheel = nullptr;
    TextBox* txtDefWheel = nullptr;
    Label* lblDefChain1 = nullptr;
    Label* lblDefDrive1 = nullptr;
    TextBox* txtDefDrive1 = nullptr;
    Label* Label8 = nullptr;
    TextBox* txtDefDriven1 = nullptr;
    Label* lblDefChain2 = nullptr;
    TextBox* txtDefDrive2 = nullptr;
    Label* lblDefDriveC = nullptr;
    TextBox* txtDefDriven2 = nullptr;
    Label* lblDefDrivenD = nullptr;
    CommandButton* cmdDefaultCancel = nullptr;
    CommandButton* cmdDefaultSave = nullptr;

    // In the help contact panel frmHelpContact.
    Label* lblHelpContact1 = nullptr;
    Label* lblHelpContact2 = nullptr;
    CommandButton* cmdHelpOK = nullptr;

    // The menu bar.
    QMenu* mnuFile = nullptr;
    QAction* mnuFileExit = nullptr;
    QMenu* mnuSetup = nullptr;
    QAction* mnuSetupDefaults = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpContact = nullptr;
    QAction* mnuHelpAbout = nullptr;
};

// The calculator's main window: five inputs, the calculation, its results, the defaults and
// help panels and the menus. Its state is only what its controls show.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);

    const Form1Controls& controls() const { return m_ui; }

public slots:
    // Each handler runs for the event its name gives, through the runtime's handler dispatch.
    void cmdCalculate_Click();
    void cmdExit_Click();
    void mnuFileExit_Click();
    void txtDriven1_LostFocus();
    void txtDrive2_LostFocus();
    void txtDriven2_LostFocus();

    void Form_Paint();
    void mnuSetupDefaults_Click();
    void cmdDefaultSave_Click();
    void cmdDefaultCancel_Click();

    void mnuHelpContact_Click();
    void cmdHelpOK_Click();
    void frmHelpContact_Click();
    void lblHelpContact1_Click();
    void lblHelpContact2_Click();

    void mnuHelpAbout_Click();

private:
    void buildControls();
    void buildMenus();
    void setTabOrder();
    void placeWindow();
    void connectHandlers();

    Form1Controls m_ui;
    // Speaks the results of a calculation to a screen reader.
    runtime::Announcer* m_announcer = nullptr;
};

} // namespace pedalwise::ui
