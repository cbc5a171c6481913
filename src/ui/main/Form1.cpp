#include "ui/main/Form1.h"

#include "calc/GearCalc.h"
#include "defaults/DefaultsFile.h"
#include "runtime/platform/MessageBox.h"
#include "runtime/qt/Announcer.h"
#include "runtime/qt/Dispatch.h"
#include "runtime/qt/Focus.h"
#include "runtime/qt/PaintEvents.h"
#include "runtime/qt/ProgramEnd.h"
#include "ui/about/frmAbout.h"
#include "ui/controls/Images.h"

#include <QFont>

#include <array>
#include <optional>

namespace pedalwise::ui {
namespace {

// A line of the defaults file fills a box as if it had been read whole: a character takes at
// most four bytes, and the last one kept may be cut.
static_assert(defaults::kLongestLine >= 4 * (std::size_t{TextBox::kMaxLength} + 1));

std::string TextOf(const QLineEdit* box) {
    return box->text().toStdString();
}

// The five inputs of the window or of its defaults panel, in the order the defaults file keeps
// them: the wheel, then chain 1's sprockets, then chain 2's.
class InputBoxes {
public:
    InputBoxes(TextBox* wheel, TextBox* drive1, TextBox* driven1, TextBox* drive2, TextBox* driven2)
        : m_boxes{wheel, drive1, driven1, drive2, driven2} {}

    defaults::DefaultValues values() const {
        defaults::DefaultValues values;
        for (std::size_t i = 0; i < m_boxes.size(); ++i) {
            values.*kFields[i] = TextOf(m_boxes[i]);
        }
        return values;
    }

    void show(const defaults::DefaultValues& values) const {
        for (std::size_t i = 0; i < m_boxes.size(); ++i) {
            m_boxes[i]->setText(QString::fromStdString(values.*kFields[i]));
        }
    }

    // Each box takes the text of its namesake in `other` as it stands.
    void showTextOf(const InputBoxes& other) const {
        for (std::size_t i = 0; i < m_boxes.size(); ++i) {
            m_boxes[i]->setText(other.m_boxes[i]->text());
        }
    }

private:
    static constexpr std::array kFields{
        &defaults::DefaultValues::Wheel, &defaults::DefaultValues::Drive1,
        &defaults::DefaultValues::Driven1, &defaults::DefaultValues::Drive2,
        &defaults::DefaultValues::Driven2};

    std::array<TextBox*, kFields.size()> m_boxes;
};

InputBoxes MainInputs(const Form1Controls& c) {
    return {c.txtWheel, c.txtDrive1, c.txtDriven1, c.txtDrive2, c.txtDriven2};
}

InputBoxes DefaultInputs(const Form1Controls& c) {
    return {c.txtDefWheel, c.txtDefDrive1, c.txtDefDriven1, c.txtDefDrive2, c.txtDefDriven2};
}

// What a screen reader says after a calculation: on the screen only the column headings tell
// which speed belongs to which cadence, so the words say it, as the labels show the results.
template <std::size_t N>
QString ResultsSpoken(const Label& inches, const std::array<Label*, N>& speeds) {
    static_assert(N == calc::Cadences.size());
    QString text = QStringLiteral("Gear inches %1. Speeds: ").arg(inches.text());
    for (std::size_t i = 0; i < N; ++i) {
        text += QStringLiteral("%1, %2").arg(calc::Cadences[i]).arg(speeds[i]->text());
        text += i == 0 ? QStringLiteral(" miles per hour; ")
                       : (i + 1 < N ? QStringLiteral("; ") : QStringLiteral("."));
    }
    return text;
}

} // namespace

Form1::Form1(QWidget* parent) : QMainWindow(parent) {
    InitImages();

    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Pedalwise Calculator"));
    setWindowIcon(ChainringIcon());
    buildMenus();
    buildControls();
    setTabOrder();
    placeWindow();
    connectHandlers();
    m_announcer = new runtime::Announcer(*this);
    m_ui.txtWheel->setFocus(Qt::OtherFocusReason);
}

void Form1::connectHandlers() {
    using runtime::ConnectHandler;
    const Form1Controls& c = m_ui;
    ConnectHandler(c.cmdCalculate, &QPushButton::clicked, this, &Form1::cmdCalculate_Click);
    ConnectHandler(c.cmdExit, &QPushButton::clicked, this, &Form1::cmdExit_Click);
    ConnectHandler(c.mnuFileExit, &QAction::triggered, this, &Form1::mnuFileExit_Click);
    ConnectHandler(c.txtDriven1, &TextBox::LostFocus, this, &Form1::txtDriven1_LostFocus);
    ConnectHandler(c.txtDrive2, &TextBox::LostFocus, this, &Form1::txtDrive2_LostFocus);
    ConnectHandler(c.txtDriven2, &TextBox::LostFocus, this, &Form1::txtDriven2_LostFocus);

    ConnectHandler(c.mnuSetupDefaults, &QAction::triggered, this, &Form1::mnuSetupDefaults_Click);
    ConnectHandler(c.cmdDefaultSave, &QPushButton::clicked, this, &Form1::cmdDefaultSave_Click);
    ConnectHandler(c.cmdDefaultCancel, &QPushButton::clicked, this, &Form1::cmdDefaultCancel_Click);

    ConnectHandler(c.mnuHelpContact, &QAction::triggered, this, &Form1::mnuHelpContact_Click);
    ConnectHandler(c.cmdHelpOK, &QPushButton::clicked, this, &Form1::cmdHelpOK_Click);
    ConnectHandler(c.frmHelpContact, &Frame::Click, this, &Form1::frmHelpContact_Click);
    ConnectHandler(c.lblHelpContact1, &Label::Click, this, &Form1::lblHelpContact1_Click);
    ConnectHandler(c.lblHelpContact2, &Label::Click, this, &Form1::lblHelpContact2_Click);

    ConnectHandler(c.mnuHelpAbout, &QAction::triggered, this, &Form1::mnuHelpAbout_Click);

    // The window paints when it is first shown, restored, uncovered, or a panel is hidden.
    auto* paints = new runtime::PaintEvents(*this);
    paints->watchPanel(*c.frmDefaults);
    paints->watchPanel(*c.frmHelpContact);
    ConnectHandler(paints, &runtime::PaintEvents::Paint, this, &Form1::Form_Paint);
}

void Form1::cmdCalculate_Click() {
    const Form1Controls& c = m_ui;
    try {
        const defaults::DefaultValues typed = MainInputs(c).values();
        const calc::GearInputs inputs{typed.Drive1, typed.Driven1, typed.Drive2, typed.Driven2,
                                      typed.Wheel};
        c.lblInches->setText(QString::fromStdString(calc::InchesText(inputs)));

        const std::array<Label*, calc::Cadences.size()> speedLabels{
            c.lblSpeed60, c.lblSpeed70, c.lblSpeed80, c.lblSpeed90, c.lblSpeed100};
        for (std::size_t i = 0; i < speedLabels.size(); ++i) {
            // Each speed comes from the gear inches as displayed, read back every time.
            const std::string inches = c.lblInches->text().toStdString();
            speedLabels[i]->setText(
                QString::fromStdString(calc::SpeedText(inches, calc::Cadences[i])));
        }
        // The results are labels that never take the focus: a screen reader hears of them
        // only when told. A failure needs no telling: its message box is read out as it opens.
        m_announcer->say(ResultsSpoken(*c.lblInches, speedLabels));
    } catch (const std::exception&) {
        // Whatever failed, the user gets the one message; labels already written stay.
        runtime::MsgBox("All 5 fields must contain valid data", "Minor problem...");
        runtime::SetFocus(*c.txtDrive1);
    }
}

void Form1::cmdExit_Click() {
    runtime::EndProgram();
}

void Form1::mnuFileExit_Click() {
    cmdExit_Click();
}

// A bicycle with one chain is entered with 1 for B and C: an empty B or C becomes 1, and a
// filled D sends the user on to "Calculate!". A blank is content, not emptiness.
void Form1::txtDriven1_LostFocus() {
    if (m_ui.txtDriven1->text().isEmpty()) {
        m_ui.txtDriven1->setText(QStringLiteral("1"));
    }
}

void Form1::txtDrive2_LostFocus() {
    if (m_ui.txtDrive2->text().isEmpty()) {
        m_ui.txtDrive2->setText(QStringLiteral("1"));
    }
}

void Form1::txtDriven2_LostFocus() {
    if (!m_ui.txtDriven2->text().isEmpty()) {
        runtime::SetFocus(*m_ui.cmdCalculate);
    }
}

// Every paint of the window puts the saved defaults into the five inputs, over whatever was
// typed there, and the focus on the wheel. Without a complete file nothing changes.
void Form1::Form_Paint() {
    const Form1Controls& c = m_ui;
    try {
        const std::optional<defaults::DefaultValues> values = defaults::ReadDefaults();
        if (!values) {
            return;
        }
        MainInputs(c).show(*values);
        runtime::SetFocus(*c.txtWheel);
    } catch (const std::exception&) {
        // Loading the defaults is never worth a message.
    }
}

void Form1::mnuSetupDefaults_Click() {
    const Form1Controls& c = m_ui;
    try {
        // All five boxes or none: a file that reads only in part leaves the user's edits.
        if (const std::optional<defaults::DefaultValues> values = defaults::ReadDefaults()) {
            DefaultInputs(c).show(*values);
        }
    } catch (const std::exception&) {
        // The panel opens all the same.
    }
    c.frmDefaults->setVisible(true);
    runtime::SetFocus(*c.txtDefWheel);
}

// No trap: a failed save goes to the runtime, which tells the user why; the main inputs and
// the panel then stay as they were.
void Form1::cmdDefaultSave_Click() {
    const Form1Controls& c = m_ui;
    const InputBoxes panel = DefaultInputs(c);
    defaults::WriteDefaults(panel.values());
    MainInputs(c).showTextOf(panel);
    c.frmDefaults->setVisible(false);
}

void Form1::cmdDefaultCancel_Click() {
    m_ui.frmDefaults->setVisible(false);
}

void Form1::mnuHelpContact_Click() {
    m_ui.frmHelpContact->setVisible(true);
    runtime::SetFocus(*m_ui.cmdHelpOK);
}

// A click anywhere on the help panel closes it, as its button does; the focus stays where it is.
void Form1::cmdHelpOK_Click() {
    m_ui.frmHelpContact->setVisible(false);
}

void Form1::frmHelpContact_Click() {
    cmdHelpOK_Click();
}

void Form1::lblHelpContact1_Click() {
    cmdHelpOK_Click();
}

void Form1::lblHelpContact2_Click() {
    cmdHelpOK_Click();
}

void Form1::mnuHelpAbout_Click() {
    frmAbout::Open();
}

} // namespace pedalwise::ui
