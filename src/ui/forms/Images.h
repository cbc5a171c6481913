#pragma once

#include <QIcon>
#include <QString>

// The program's own pictures, drawn as SVG and built into the program as Qt resources.
namespace pedalwise::ui {

// Resource paths of the SVG sources.
inline const QString kBannerSvg = QStringLiteral(":/pedalwise/banner.svg");
inline const QString kChainringSvg = QStringLiteral(":/pedalwise/chainring.svg");

// Makes sure the resources are registered; the images library is static, so its resources
// are not registered by merely linking it. Every function below calls it.
void InitImages();

// The grey five-armed chainring, the program's icon, in the usual icon sizes.
QIcon ChainringIcon();

} // namespace pedalwise::ui
