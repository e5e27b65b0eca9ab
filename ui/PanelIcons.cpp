#include "ui/PanelIcons.h"

#include <QPushButton>
#include <QSize>

QIcon themedIcon(const QString &name, bool dark)
{
    return QIcon(QStringLiteral(":/icons/assets/icons/%1-%2.svg")
                     .arg(name, dark ? QStringLiteral("dark") : QStringLiteral("light")));
}

QPushButton *iconButton(const QString &iconName, const QString &toolTip, QWidget *parent)
{
    auto *button = new QPushButton(parent);
    button->setIcon(themedIcon(iconName, false));
    button->setIconSize(QSize(16, 16));
    button->setFixedSize(26, 26);
    button->setCursor(Qt::PointingHandCursor);
    button->setToolTip(toolTip);
    button->setFocusPolicy(Qt::NoFocus);
    button->setObjectName(QStringLiteral("iconButton"));
    return button;
}
