// The About window. Positions and sizes are kept in twips, the unit the window was laid out
// in; 15 twips make one pixel at 96 dpi.
#include "ui/about/frmAbout.h"

#include "runtime/qt/Dispatch.h"
#include "runtime/qt/Taskbar.h"
#include "ui/about/SysInfo.h"
#include "ui/controls/CommandButton.h"
#include "ui/controls/FormLayout.h"
#include "ui/controls/Images.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>

namespace pedalwise::ui {
namespace {

const QString kVersion = QStringLiteral("Version 1.2") + QString(32, QLatin1Char(' ')) +
                         QStringLiteral("Updated 10/19/2005");

const QString kDescription = QStringLiteral(
    "This application will calculate the number of 'Gear Inches' and approximate ground speed "
    "from user supplied chain ring and sprocket sizes.  The major difference between this and "
    "other similar applications is the ability to factor in two chains as might be used with a "
    "tandem or special-use vehicle.");

const QString kDisclaimer = QStringLiteral(
    "Warning: ... Although I have checked the results of this application it is recommeded "
    "that you double check gearing before investing in expensive components. No warranty is "
    "implied.");

const QString kCopyright = QStringLiteral("Copyright \u00A9 2005-2026 Pedalwise developers");

// The etched separators: a grey line with a white one under it between the description and
// the warning, and a grey line above the bottom row. Ends in twips, widths in pixels.
struct SeparatorLine {
    int x1;
    int x2;
    int y;
    QColor colour;
    int width;
};

const SeparatorLine kLine1[] = {
    {90, 5654, 2445, QColor(128, 128, 128), 1},  // Line1(1)
    {105, 5654, 2460, QColor(255, 255, 255), 2}, // Line1(0)
    {120, 5684, 3330, QColor(128, 128, 128), 1}, // Line1(2)
};

// The window whose controls the handlers reach through the name frmAbout; null while no About
// window is loaded.
QPointer<frmAbout>& Instance() {
    static QPointer<frmAbout> instance;
    return instance;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, Twips at) {
    auto* label = Place(new QLabel(text, parent), name, at);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

void SetBlackText(QWidget* control) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    control->setPalette(palette);
}

} // namespace

frmAbout::frmAbout()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint) {
    InitImages();
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Pedalwise Calculator"));
    // No icon: a blank one, so that the window does not take on the program's.
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    setWindowIcon(QIcon(blank));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFont(SansSerif(11));

    buildControls();
    connectHandlers();

    // The client area at its fixed place on the screen, wherever the main window is.
    setFixedSize(Px(5730), Px(4380));
    setGeometry(Px(2850), Px(2325), Px(5730), Px(4380));
    m_ui.cmdOK->setFocus(Qt::OtherFocusReason);
}

void frmAbout::buildControls() {
    frmAboutControls& c = m_ui;

    c.picIcon = Place(new QLabel(this), "picIcon", {240, 240, 540, 540});
    c.picIcon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    c.picIcon->setLineWidth(2);
    c.picIcon->setAlignment(Qt::AlignCenter);
    c.picIcon->setPixmap(ChainringIcon().pixmap(QSize(32, 32)));
    // A picture box is a tab stop.
    c.picIcon->setFocusPolicy(Qt::TabFocus);
    c.picIcon->setAccessibleName(QStringLiteral("Pedalwise Calculator icon"));

    c.lblTitle =
        MakeLabel(this, "lblTitle", QStringLiteral("Pedalwise Calculator"), {1050, 240, 3885, 480});
    c.lblTitle->setFont(SansSerif(18));
    SetBlackText(c.lblTitle);
    c.lblVersion = MakeLabel(this, "lblVersion", kVersion, {1050, 780, 3885, 225});
    c.lblDescription = MakeLabel(this, "lblDescription", kDescription, {1050, 1125, 3885, 1170});
    c.lblDescription->setWordWrap(true);
    SetBlackText(c.lblDescription);
    c.lblDisclaimer = MakeLabel(this, "lblDisclaimer", kDisclaimer, {255, 2625, 5295, 645});
    c.lblDisclaimer->setWordWrap(true);
    SetBlackText(c.lblDisclaimer);

    c.cmdOK =
        Place(new CommandButton(QStringLiteral("OK"), this), "cmdOK", {4320, 3570, 1260, 345});
    // Enter presses it unless the focus is on the other button; Esc presses it too (reject).
    c.cmdOK->setDefault(true);
    c.blCopyright = MakeLabel(this, "blCopyright", kCopyright, {495, 3750, 3375, 255});
    c.cmdSysInfo = Place(new CommandButton(QStringLiteral("&System Info..."), this), "cmdSysInfo",
                         {4335, 3975, 1245, 345});

    for (QLabel* label :
         {c.lblTitle, c.lblVersion, c.lblDescription, c.lblDisclaimer, c.blCopyright}) {
        label->setFocusPolicy(Qt::NoFocus);
    }
    setTabOrder(c.cmdOK, c.picIcon);
    setTabOrder(c.picIcon, c.cmdSysInfo);
}

void frmAbout::connectHandlers() {
    using runtime::ConnectHandler;
    ConnectHandler(m_ui.cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    ConnectHandler(m_ui.cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

void frmAbout::Open() {
    QPointer<frmAbout>& about = Instance();
    if (about.isNull()) {
        about = new frmAbout;
    }
    about->setVisible(true);
    about->raise();
    about->activateWindow();
}

frmAbout* frmAbout::Loaded() {
    return Instance().data();
}

void frmAbout::setVisible(bool visible) {
    // The window has no taskbar button of its own.
    if (visible) {
        runtime::ShowWithoutTaskbarButton(*this, [this] { QDialog::setVisible(true); });
        return;
    }
    QDialog::setVisible(false);
}

void frmAbout::cmdOK_Click() {
    close();
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

void frmAbout::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    for (const SeparatorLine& line : kLine1) {
        painter.fillRect(QRect(QPoint(Px(line.x1), Px(line.y)),
                               QPoint(Px(line.x2), Px(line.y) + line.width - 1)),
                         line.colour);
    }
}

void frmAbout::closeEvent(QCloseEvent* event) {
    // Closing always unloads; QDialog would turn it into a rejection instead. From here on the
    // name stands for no window, even before this one is deleted.
    event->accept();
    if (Instance() == this) {
        Instance() = nullptr;
    }
}

void frmAbout::keyPressEvent(QKeyEvent* event) {
    // Qt 6.4's dialog passes over Enter with modifiers, but presses its default button for the
    // keypad's Enter with any.
    // Listed in docs/workarounds.md ("Enter with modifiers in a dialog").
    if (IsModifiedEnter(*event)) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmAbout::reject() {
    m_ui.cmdOK->click();
}

} // namespace pedalwise::ui
