#include "ui/ElidedLabel.h"

#include <QFontMetrics>
#include <QResizeEvent>
#include <QSizePolicy>

#include <algorithm>

ElidedLabel::ElidedLabel(const QString &text, QWidget *parent) : QLabel(parent), fullTextValue(text)
{
    setToolTip(text);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setMinimumWidth(0);
    updateElidedText();
}

QSize ElidedLabel::sizeHint() const
{
    return QSize(0, fontMetrics().height() + 2);
}

QSize ElidedLabel::minimumSizeHint() const
{
    return QSize(0, fontMetrics().height() + 2);
}

void ElidedLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    updateElidedText();
}

void ElidedLabel::updateElidedText()
{
    setText(fontMetrics().elidedText(fullTextValue, Qt::ElideRight, std::max(0, width())));
}
