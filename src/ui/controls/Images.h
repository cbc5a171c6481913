#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// The program's own pictures, drawn as SVG and rendered to PNG when the program is built (at
// 1x, and at 2x for high-DPI screens), built into the program as Qt resources.
namespace pedalwise::ui {

// Resource path of the main window's banner at 1x; the 2x one is "banner@2x.png" beside it.
inline const QString kBannerPng = QStringLiteral(":/pedalwise/banner.png");

// Makes sure the resources are registered; the images library is static, so its resources
// are not registered by merely linking it. Every function below calls it.
void InitImages();

// One of the pictures at 1x, or its 2x rendering for a device pixel ratio over 1, which then
// carries that ratio of 2.
QPixmap Picture(const QString& png, qreal devicePixelRatio);

// The grey five-armed chainring, the program's icon, in the usual icon sizes.
QIcon ChainringIcon();

} // namespace pedalwise::ui
