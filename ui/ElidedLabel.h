#pragma once

#include <QLabel>
#include <QString>

// A label that shows its text cut with an ellipsis at the right when it does not fit, and keeps the whole
// text as its tool tip. It asks for no width of its own, so a layout can make it as narrow as it likes.
class ElidedLabel : public QLabel
{
public:
    explicit ElidedLabel(const QString &text, QWidget *parent = nullptr);

    QString fullText() const { return fullTextValue; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateElidedText();

    QString fullTextValue;
};
