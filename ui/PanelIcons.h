#pragma once

#include <QIcon>
#include <QString>

class QPushButton;
class QWidget;

// The panel's line icons: ":/icons/assets/icons/NAME-dark.svg" or "NAME-light.svg".
QIcon themedIcon(const QString &name, bool dark);

// A small round icon button (26 x 26, 16-pixel light icon, no keyboard focus) named "iconButton".
QPushButton *iconButton(const QString &iconName, const QString &toolTip, QWidget *parent);
