#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace pedalwise::ui {

// Every control of the About window under its own name (also its objectName).
struct frmAboutControls {
    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QPushButton* cmdOK = nullptr;
    QLabel* blCopyright = nullptr;
    QPushButton* cmdSysInfo = nullptr;
};

// The About window: what the program is, its version, a warning to check its results, and a
// button that starts the system's information viewer. Modeless, and at most one at a time.
// It is a window of its own, not a child of the main window: while it is open the program
// keeps running after the main window is closed.
class frmAbout final : public QDialog {
    Q_OBJECT
public:
    // Opens the About window: creates the one instance if none is loaded, then shows it. If it
    // is already open, it only comes to the front.
    static void Open();

    // The loaded instance, or nullptr when the window is not loaded.
    static frmAbout* Loaded();

    const frmAboutControls& controls() const { return m_ui; }

    void setVisible(bool visible) override;

public slots:
    // Closes and unloads the window: the next Open creates a fresh one.
    void cmdOK_Click();
    void cmdSysInfo_Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Enter with Alt, Ctrl or Shift presses no button here either.
    void keyPressEvent(QKeyEvent* event) override;

    // Esc presses "OK", the cancel button.
    void reject() override;

private:
    frmAbout();

    void buildControls();
    void connectHandlers();

    frmAboutControls m_ui;
};

} // namespace pedalwise::ui
