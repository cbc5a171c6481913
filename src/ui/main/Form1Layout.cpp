// The main window's controls, menus, tab order and placement. Positions and sizes are kept in
// twips, the unit the window was laid out in; 15 twips make one pixel at 96 dpi.
#include "ui/main/Form1.h"

#include "ui/controls/FormLayout.h"
#include "ui/controls/Images.h"

#include <QApplication>
#include <QMenuBar>

namespace pedalwise::ui {
namespace {

const QColor kPeach(255, 224, 192);
const QColor kHeadingRed(192, 64, 0);
const QColor kHeaderGrey(224, 224, 224);
const QColor kHelpDarkRed(64, 0, 0);
const QColor kHelpYellow(255, 255, 192);

void SetBackground(QWidget* control, const QColor& colour) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::Window, colour);
    control->setPalette(palette);
    control->setAutoFillBackground(true);
}

void SetTextColour(QWidget* control, const QColor& colour) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, colour);
    control->setPalette(palette);
}

Label* MakeLabel(QWidget* parent, const char* name, const QString& text, Twips at,
                 Qt::Alignment alignment = Qt::AlignLeft) {
    auto* label = new Label(text, parent);
    Place(label, name, at);
    // Label text starts at the top. A one-line label clips rather than wraps: with a font a
    // shade wider than the one it was laid out for, a wrapped second line would vanish.
    label->setAlignment(alignment | Qt::AlignTop);
    return label;
}

TextBox* MakeTextBox(QWidget* parent, const char* name, Twips at, Label* caption) {
    auto* box = new TextBox(parent);
    Place(box, name, at);
    // Screen readers name a box by the label beside it.
    box->setAccessibleName(caption->text());
    caption->setBuddy(box);
    return box;
}

CommandButton* MakeButton(QWidget* parent, const char* name, const QString& caption, Twips at) {
    return Place(new CommandButton(caption, parent), name, at);
}

Frame* MakeFrame(QWidget* parent, const char* name, const QString& caption, Twips at) {
    auto* frame = new Frame(caption, parent);
    Place(frame, name, at);
    return frame;
}

} // namespace

void Form1::buildControls() {
    const QColor systemBackground = QApplication::palette().color(QPalette::Window);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("Form1Client"));
    client->setFont(SansSerif(11));
    SetBackground(client, kPeach);
    setCentralWidget(client);
    Form1Controls& c = m_ui;

    c.Label1 = MakeLabel(client, "Label1", QStringLiteral("Bicycle Pedalwise Calculator"),
                         {570, 60, 6360, 345}, Qt::AlignHCenter);
    c.Label1->setFont(SansSerif(18));
    SetTextColour(c.Label1, kHeadingRed);
    c.Label7 = MakeLabel(client, "Label7", QStringLiteral("Wheel Outside Diameter:"),
                         {2235, 705, 1845, 285}, Qt::AlignRight);
    c.txtWheel = MakeTextBox(client, "txtWheel", {4185, 660, 885, 285}, c.Label7);

    c.Frame1 = MakeFrame(client, "Frame1", QStringLiteral("Chain # 1 "), {210, 1215, 3420, 1275});
    c.Label2 = MakeLabel(c.Frame1, "Label2", QStringLiteral("Drive Sprocket (A): #Teeth:"),
                         {45, 390, 2205, 255}, Qt::AlignRight);
    c.txtDrive1 = MakeTextBox(c.Frame1, "txtDrive1", {2415, 345, 765, 285}, c.Label2);
    c.Label3 = MakeLabel(c.Frame1, "Label3", QStringLiteral("Driven Sprocket (B): # Teeth:"),
                         {120, 825, 2115, 300}, Qt::AlignRight);
    c.txtDriven1 = MakeTextBox(c.Frame1, "txtDriven1", {2415, 765, 780, 285}, c.Label3);

    c.Frame2 = MakeFrame(client, "Frame2", QStringLiteral("Chain # 2 "), {3855, 1215, 3450, 1275});
    c.Label4 = MakeLabel(c.Frame2, "Label4", QStringLiteral("Drive Sprocket (C): #Teeth:"),
                         {150, 390, 2145, 255}, Qt::AlignRight);
    c.txtDrive2 = MakeTextBox(c.Frame2, "txtDrive2", {2340, 330, 840, 285}, c.Label4);
    c.Label5 = MakeLabel(c.Frame2, "Label5", QStringLiteral("Driven Sprocket (D): # Teeth:"),
                         {30, 765, 2235, 300}, Qt::AlignRight);
    c.txtDriven2 = MakeTextBox(c.Frame2, "txtDriven2", {2355, 705, 840, 285}, c.Label5);

    c.cmdCalculate =
        MakeButton(client, "cmdCalculate", QStringLiteral("Calculate!"), {1230, 2895, 1410, 345});
    c.Label6 =
        MakeLabel(client, "Label6", QStringLiteral("Gear Inches ="), {4605, 2880, 1575, 270});
    c.Label6->setFont(SansSerif(16));
    c.lblInches = MakeLabel(client, "lblInches", QString(), {6240, 2880, 1095, 315});
    c.lblInches->setFont(SansSerif(16));

    c.lblSpeedHeader1 =
        MakeLabel(client, "lblSpeedHeader1",
                  QStringLiteral("Approximate Speed (mph) at Cadence..."), {4515, 3495, 2850, 270});
    SetBackground(c.lblSpeedHeader1, kHeaderGrey);
    {
        // The substitute sans is a few pixels too wide for this, the longest, text.
        QFont tighter = c.lblSpeedHeader1->font();
        tighter.setLetterSpacing(QFont::PercentageSpacing, 96);
        c.lblSpeedHeader1->setFont(tighter);
    }
    // Each number stands above its speed label; the blanks are part of the text.
    c.lblSpeedHeader2 =
        MakeLabel(client, "lblSpeedHeader2",
                  QStringLiteral("   60         70          80         90        100"),
                  {4515, 3735, 2895, 225});
    SetBackground(c.lblSpeedHeader2, kHeaderGrey);

    const struct {
        Label* Form1Controls::*member;
        const char* name;
        int left;
        const char* description;
    } speeds[] = {{&Form1Controls::lblSpeed60, "lblSpeed60", 4530, "Speed at 60"},
                  {&Form1Controls::lblSpeed70, "lblSpeed70", 5130, "Speed at 70"},
                  {&Form1Controls::lblSpeed80, "lblSpeed80", 5730, "Speed at 80"},
                  {&Form1Controls::lblSpeed90, "lblSpeed90", 6330, "Speed at 90"},
                  {&Form1Controls::lblSpeed100, "lblSpeed100", 6930, "Speed at 100"}};
    for (const auto& speed : speeds) {
        Label* label = MakeLabel(client, speed.name, QString(), {speed.left, 3960, 435, 330},
                                 Qt::AlignHCenter);
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setLineWidth(1);
        SetBackground(label, systemBackground);
        // A result label's accessible name is its current text, as Qt gives it; what the
        // result is goes in the description, where screen readers and the end-to-end tests
        // find it.
        label->setAccessibleDescription(QString::fromLatin1(speed.description));
        c.*speed.member = label;
    }
    c.lblInches->setAccessibleDescription(QStringLiteral("Gear Inches"));

    c.Picture1 = new PictureBox(kBannerPng, client);
    Place(c.Picture1, "Picture1", {345, 3600, 3735, 1545});
    c.Picture1->setAccessibleName(QStringLiteral("Tandem Bike Chain/Sprocket Layout"));
    c.Picture1->setAccessibleDescription(QStringLiteral(
        "Drive sprocket A with the cranks turns B through chain 1; C on B's shaft turns D "
        "through chain 2. Non-tandem bikes: enter 1 for B and C."));

    c.cmdExit = MakeButton(client, "cmdExit", QStringLiteral("E&xit"), {6390, 4635, 870, 345});

    // The defaults panel, in the system's colours.
    c.frmDefaults = MakeFrame(client, "frmDefaults", QStringLiteral("Set Default Values "),
                              {690, 1695, 5085, 3120});
    SetBackground(c.frmDefaults, systemBackground);
    QWidget* d = c.frmDefaults;
    c.lblDefWheel = MakeLabel(d, "lblDefWheel", QStringLiteral("Wheel Outside Diameter..."),
                              {240, 360, 1935, 255});
    c.txtDefWheel = MakeTextBox(d, "txtDefWheel", {3180, 300, 975, 285}, c.lblDefWheel);
    c.lblDefChain1 =
        MakeLabel(d, "lblDefChain1", QStringLiteral("Chain # 1"), {180, 690, 1545, 195});
    c.lblDefDrive1 = MakeLabel(d, "lblDefDrive1", QStringLiteral("Drive Sprocket (A): # Teeth:"),
                               {720, 975, 2355, 315});
    c.txtDefDrive1 = MakeTextBox(d, "txtDefDrive1", {3210, 900, 945, 285}, c.lblDefDrive1);
    c.Label8 = MakeLabel(d, "Label8", QStringLiteral("Driven Sprocket (B): # Teeth:"),
                         {720, 1260, 2265, 270});
    c.txtDefDriven1 = MakeTextBox(d, "txtDefDriven1", {3210, 1245, 945, 285}, c.Label8);
    c.lblDefChain2 =
        MakeLabel(d, "lblDefChain2", QStringLiteral("Chain # 2"), {180, 1545, 945, 240});
    c.lblDefDriveC = MakeLabel(d, "lblDefDriveC", QStringLiteral("Drive Sprocket (C): #Teeth:"),
                               {720, 1815, 2190, 240});
    c.txtDefDrive2 = MakeTextBox(d, "txtDefDrive2", {3210, 1740, 945, 285}, c.lblDefDriveC);
    c.lblDefDrivenD = MakeLabel(d, "lblDefDrivenD", QStringLiteral("Driven Sprocket (D): # Teeth:"),
                                {720, 2115, 2265, 225});
    c.txtDefDriven2 = MakeTextBox(d, "txtDefDriven2", {3210, 2085, 945, 270}, c.lblDefDrivenD);
    for (Label* chain : {c.lblDefChain1, c.lblDefChain2}) {
        QFont italic = chain->font();
        italic.setItalic(true);
        chain->setFont(italic);
    }
    // On the panel only the place of a box says which chain it belongs to, and screen readers
    // read a box by its own label alone; its description names the chain.
    for (TextBox* box : {c.txtDefDrive1, c.txtDefDriven1}) {
        box->setAccessibleDescription(c.lblDefChain1->text());
    }
    for (TextBox* box : {c.txtDefDrive2, c.txtDefDriven2}) {
        box->setAccessibleDescription(c.lblDefChain2->text());
    }
    c.cmdDefaultCancel =
        MakeButton(d, "cmdDefaultCancel", QStringLiteral("&Cancel"), {1710, 2670, 975, 300});
    c.cmdDefaultSave =
        MakeButton(d, "cmdDefaultSave", QStringLiteral("&Save Defaults"), {2955, 2670, 1815, 315});
    c.frmDefaults->hide();

    // The help contact panel: light yellow on dark red; its caption and button keep the
    // system's colours.
    c.frmHelpContact =
        MakeFrame(client, "frmHelpContact", QStringLiteral("Frame3"), {1845, 240, 3735, 1650});
    SetBackground(c.frmHelpContact, kHelpDarkRed);
    QWidget* h = c.frmHelpContact;
    c.lblHelpContact1 = MakeLabel(
        h, "lblHelpContact1", QStringLiteral("For assistance with this program please contact:"),
        {180, 75, 3540, 270});
    // Name and address, separated by a blank, break onto two lines in the narrow label.
    c.lblHelpContact2 =
        MakeLabel(h, "lblHelpContact2", QStringLiteral("Pedalwise Support help@example.org"),
                  {1245, 480, 1515, 465});
    c.lblHelpContact2->setWordWrap(true);
    for (Label* line : {c.lblHelpContact1, c.lblHelpContact2}) {
        SetBackground(line, kHelpDarkRed);
        SetTextColour(line, kHelpYellow);
    }
    c.cmdHelpOK = MakeButton(h, "cmdHelpOK", QStringLiteral("OK"), {1650, 1065, 510, 345});
    c.cmdHelpOK->setPalette(QApplication::palette());
    // The panel puts the focus on its "OK", and screen readers read the focused control, not
    // the labels around it: the button's description carries the notice.
    c.cmdHelpOK->setAccessibleDescription(c.lblHelpContact1->text() + QLatin1Char(' ') +
                                          c.lblHelpContact2->text());
    c.frmHelpContact->hide();

    // The panels lie above every other control, the help panel above the defaults panel.
    c.frmDefaults->raise();
    c.frmHelpContact->raise();
}

void Form1::buildMenus() {
    QMenuBar* bar = menuBar();
    const auto menu = [bar](const char* name, const QString& caption) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        return m;
    };
    const auto item = [](QMenu* m, const char* name, const QString& caption) {
        QAction* action = m->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    Form1Controls& c = m_ui;
    c.mnuFile = menu("mnuFile", QStringLiteral("&File"));
    c.mnuFileExit = item(c.mnuFile, "mnuFileExit", QStringLiteral("E&xit"));
    c.mnuSetup = menu("mnuSetup", QStringLiteral("Se&tup"));
    c.mnuSetupDefaults = item(c.mnuSetup, "mnuSetupDefaults", QStringLiteral("Set Defaults"));
    c.mnuHelp = menu("mnuHelp", QStringLiteral("&Help"));
    c.mnuHelpContact = item(c.mnuHelp, "mnuHelpContact", QStringLiteral("Program Help Contact"));
    c.mnuHelpAbout = item(c.mnuHelp, "mnuHelpAbout", QStringLiteral("A&bout Pedalwise"));
}

void Form1::setTabOrder() {
    const Form1Controls& c = m_ui;
    // Tab goes through the controls that can hold the focus in this order, skipping those
    // of a hidden panel, and from the last back to the first.
    QWidget* const order[] = {c.txtWheel,         c.txtDrive1,      c.txtDriven1,   c.txtDrive2,
                              c.txtDriven2,       c.cmdCalculate,   c.cmdExit,      c.txtDefWheel,
                              c.txtDefDrive1,     c.txtDefDriven1,  c.txtDefDrive2, c.txtDefDriven2,
                              c.cmdDefaultCancel, c.cmdDefaultSave, c.cmdHelpOK};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

void Form1::placeWindow() {
    // The client area, below the menu bar, is 508 x 370 with its top-left corner at 171, 142
    // on the screen; the window's geometry includes the menu bar but not the frame.
    const int clientWidth = Px(7620);
    const int menuHeight =
        std::max(menuBar()->sizeHint().height(), menuBar()->heightForWidth(clientWidth));
    setGeometry(Px(2565), Px(2130) - menuHeight, clientWidth, Px(5550) + menuHeight);
}

} // namespace pedalwise::ui
