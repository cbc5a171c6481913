// Every caption of the main window, its two panels and the About window fits the place it is
// drawn in, at the scale factor the test runs with (QT_SCALE_FACTOR, as on a high-DPI screen).
// Geometry stays in logical pixels when Qt scales, but the fonts are rendered for the device
// pixels, without hinting, so a text that just fitted at 1x can come out wider.
#include "support/Form1Fixture.h"

#include <QAbstractButton>
#include <QFontMetricsF>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>

#include <cmath>

namespace {

// The text a button or a label with a buddy shows: "&" marks the access key and is not drawn.
QString Shown(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

// Trailing blanks take room but draw nothing, so they may stick out.
qreal InkedWidth(const QFontMetricsF& metrics, const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace()) {
        --end;
    }
    return metrics.horizontalAdvance(text.left(end));
}

QString Describe(const QRectF& r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// Collects, for one window at a time, every caption that does not fit.
class FitCheck {
public:
    // Checks every visible label, button and frame caption inside `root`.
    void window(QWidget* root) {
        const QList<QWidget*> widgets = root->findChildren<QWidget*>();
        for (QWidget* widget : widgets) {
            if (!widget->isVisibleTo(root)) {
                continue;
            }
            if (auto* label = qobject_cast<QLabel*>(widget)) {
                this->label(label);
            } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
                this->button(button);
            } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
                this->frame(frame);
            }
        }
    }

    QStringList faults;

private:
    // The text, drawn at `drawn` inside the widget, must lie within `room` and within the
    // widget's container, which clips it.
    void fits(QWidget* widget, const QString& text, const QRectF& drawn, const QRectF& room) {
        const QString name = widget->objectName();
        if (!room.contains(drawn)) {
            faults << QStringLiteral("%1: \"%2\" needs %3 but has %4")
                          .arg(name, text, Describe(drawn), Describe(room));
        }
        if (QWidget* container = widget->parentWidget()) {
            const QRectF inContainer = drawn.translated(widget->pos());
            if (!QRectF(container->rect()).contains(inContainer)) {
                faults << QStringLiteral("%1: \"%2\" at %3 reaches out of %4 (%5)")
                              .arg(name, text, Describe(inContainer), container->objectName(),
                                   Describe(container->rect()));
            }
        }
    }

    // Where QLabel draws its text: the contents less the margin, and less the indent that a
    // label with a frame gets on the sides it is aligned to.
    static QRect LabelRoom(const QLabel* label) {
        const int margin = label->margin();
        QRect room = label->contentsRect().adjusted(margin, margin, -margin, -margin);
        int indent = label->indent();
        if (indent < 0 && label->frameWidth() > 0) {
            indent = label->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - margin;
        }
        if (indent > 0) {
            const Qt::Alignment align = label->alignment();
            room.adjust(align & Qt::AlignLeft ? indent : 0, align & Qt::AlignTop ? indent : 0,
                        align & Qt::AlignRight ? -indent : 0,
                        align & Qt::AlignBottom ? -indent : 0);
        }
        return room;
    }

    void label(QLabel* label) {
        QString text = label->text();
        if (text.isEmpty()) {
            return; // a picture, or a result not yet shown
        }
        if (Qt::mightBeRichText(text) && label->textFormat() != Qt::PlainText) {
            faults << label->objectName() + QStringLiteral(": rich text is not measured here");
            return;
        }
        if (label->buddy() != nullptr) {
            text = Shown(text);
        }
        const QFontMetricsF metrics(label->font(), label);
        const QRectF room = LabelRoom(label);
        QRectF needed;
        if (label->wordWrap()) {
            needed = metrics.boundingRect(room, Qt::TextWordWrap | label->alignment(), text);
            // A word wider than the label overflows whatever the alignment.
            needed.setWidth(std::max(
                needed.width(),
                metrics.boundingRect(QRectF(0, 0, room.width(), 1e6), Qt::TextWordWrap, text)
                    .width()));
        } else {
            needed = QRectF(0, 0, InkedWidth(metrics, text), metrics.height());
        }
        const QRect drawn = QStyle::alignedRect(label->layoutDirection(), label->alignment(),
                                                QSize(static_cast<int>(std::ceil(needed.width())),
                                                      static_cast<int>(std::ceil(needed.height()))),
                                                room.toRect());
        fits(label, text, drawn, room);
    }

    void button(QAbstractButton* button) {
        if (button->text().isEmpty()) {
            return;
        }
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect room =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        const QFontMetricsF metrics(button->font(), button);
        const QString text = Shown(button->text());
        const QSize needed(static_cast<int>(std::ceil(InkedWidth(metrics, text))),
                           static_cast<int>(std::ceil(metrics.height())));
        fits(button, text,
             QStyle::alignedRect(button->layoutDirection(), Qt::AlignCenter, needed, room), room);
    }

    // The style lays the caption out from whole-pixel metrics; the text itself is drawn at
    // its true, possibly fractional, width.
    void frame(QGroupBox* frame) {
        if (frame->title().isEmpty()) {
            return;
        }
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        option.textAlignment = frame->alignment();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        option.lineWidth = 1;
        const QRect room = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                          QStyle::SC_GroupBoxLabel, frame);
        const QFontMetricsF metrics(frame->font(), frame);
        const QRectF drawn(room.topLeft(),
                           QSizeF(InkedWidth(metrics, Shown(frame->title())), metrics.height()));
        fits(frame, frame->title(), drawn, QRectF(room).intersected(QRectF(frame->rect())));
    }
};

// Every caption inside `root` that does not fit, one line each.
QStringList CaptionsThatDoNotFit(QWidget* root) {
    FitCheck check;
    check.window(root);
    return check.faults;
}

// The scale factor this run asked for.
qreal RequestedScale() {
    bool isNumber = false;
    const qreal scale = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&isNumber);
    return isNumber ? scale : 1.0;
}

QWidget* AboutWindow() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("frmAbout") && window->isVisible()) {
            return window;
        }
    }
    return nullptr;
}

} // namespace

class HighDpiTest : public Form1TestCase {
    Q_OBJECT
private slots:
    void theWindowsAreDrawnAtTheRequestedScale() {
        QCOMPARE(f().form.devicePixelRatio(), RequestedScale());
        // The banner comes in its 2x rendering above 1x, and fills its box at any scale.
        const QPixmap banner = ui().Picture1->pixmap();
        QCOMPARE(banner.devicePixelRatio(), RequestedScale() > 1 ? 2.0 : 1.0);
        QCOMPARE(banner.deviceIndependentSize(), QSizeF(ui().Picture1->contentsRect().size()));
    }

    void mainWindowCaptionsAndResultsFit() {
        ui().txtDrive1->setText(QStringLiteral("52"));
        ui().txtDriven1->setText(QStringLiteral("1"));
        ui().txtDrive2->setText(QStringLiteral("1"));
        ui().txtDriven2->setText(QStringLiteral("13"));
        ui().txtWheel->setText(QStringLiteral("26"));
        ui().cmdCalculate->click();
        QCOMPARE(ui().lblSpeed100->text(), QStringLiteral("30"));

        const QStringList faults = CaptionsThatDoNotFit(&f().form);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void defaultsPanelCaptionsFit() {
        ui().mnuSetupDefaults->trigger();
        QTRY_VERIFY(ui().frmDefaults->isVisible());
        const QStringList faults = CaptionsThatDoNotFit(ui().frmDefaults);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void helpContactPanelCaptionsFit() {
        ui().mnuHelpContact->trigger();
        QTRY_VERIFY(ui().frmHelpContact->isVisible());
        const QStringList faults = CaptionsThatDoNotFit(ui().frmHelpContact);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void aboutWindowCaptionsFit() {
        ui().mnuHelpAbout->trigger();
        QTRY_VERIFY(AboutWindow() != nullptr);
        QWidget* about = AboutWindow();
        QCOMPARE(about->devicePixelRatio(), RequestedScale());
        const QStringList faults = CaptionsThatDoNotFit(about);
        about->close();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }
};

PEDALWISE_QTEST_MAIN(HighDpiTest)
#include "HighDpiTest.moc"
