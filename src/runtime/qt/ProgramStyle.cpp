#include "runtime/qt/ProgramStyle.h"

#include <QGroupBox>
#include <QImageReader>
#include <QStyleOption>
#include <qdrawutil.h>

#include <algorithm>
#include <cstring>

namespace pedalwise::runtime {

QPixmap ReadPng(const QString& path) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    // A file named "...@2x.png" comes with a device pixel ratio of 2.
    return QPixmap::fromImage(reader.read());
}

QIcon ProgramStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                                 const QWidget* widget) const {
    // A menu bar asks for the horizontal one; a tool bar, which the program has none of, for
    // either.
    if (standardIcon == SP_ToolBarHorizontalExtensionButton ||
        standardIcon == SP_ToolBarVerticalExtensionButton) {
        return {};
    }
    return QProxyStyle::standardIcon(standardIcon, option, widget);
}

void ProgramStyle::polish(QWidget* widget) {
    QProxyStyle::polish(widget);
    // Read before the window's first paint rather than during it, when the memory the reading
    // takes would add to that of the window's image.
    if (m_groupBoxFrame.isNull() && qobject_cast<QGroupBox*>(widget) != nullptr &&
        std::strcmp(baseStyle()->metaObject()->className(), "QFusionStyle") == 0) {
        m_groupBoxFrame = ReadPng(
            QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"));
    }
}

void ProgramStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
    if (element != PE_FrameGroupBox || m_groupBoxFrame.isNull()) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // Qt 6.4's Fusion: its frame image drawn around the box, below the title.
    constexpr int kFusionTopMargin = 3;
    int top = kFusionTopMargin;
    const auto* box = qobject_cast<const QGroupBox*>(widget);
    if (box == nullptr || box->isCheckable() || !box->title().isEmpty()) {
        top += std::max(pixelMetric(PM_ExclusiveIndicatorHeight), option->fontMetrics.height());
    }
    qDrawBorderPixmap(painter, option->rect.adjusted(0, top, 0, 0), QMargins(6, 6, 6, 6),
                      m_groupBoxFrame);
}

} // namespace pedalwise::runtime
