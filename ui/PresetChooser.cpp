#include "ui/PresetChooser.h"

#include "base/AppIdentity.h"
#include "base/I18n.h"
#include "model/PresetParameters.h"

#include <QColor>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int SwatchSize = 16;
constexpr int ListedFileNames = 3;

QIcon swatch(const QString &colorName)
{
    QPixmap pixmap(SwatchSize, SwatchSize);
    const QColor color(colorName);
    pixmap.fill(color.isValid() ? color : QColor(Qt::gray));
    return QIcon(pixmap);
}

// "a.pdf", "a.pdf, b.png, c.jpg" or "a.pdf, b.png, c.jpg (+2)".
QString fileNames(const QStringList &files)
{
    QStringList names;
    for (int i = 0; i < files.size() && i < ListedFileNames; ++i)
        names.append(QFileInfo(files.at(i)).fileName());
    QString text = names.join(QStringLiteral(", "));
    if (files.size() > ListedFileNames)
        text += QStringLiteral(" (+%1)").arg(files.size() - ListedFileNames);
    return text;
}

}  // namespace

PresetChooser::PresetChooser(const QList<PrintPreset> &presets, const QStringList &files, QWidget *parent)
    : QDialog(parent), list(new QListWidget(this))
{
    setWindowTitle(I18n::text("Print with preset"));
    setWindowIcon(QIcon(QString::fromLatin1(AppIdentity::WindowIconResource)));

    auto *prompt = new QLabel(I18n::text("Print %1 with:").arg(fileNames(files)), this);
    prompt->setWordWrap(true);

    for (const PrintPreset &preset : presets) {
        auto *item = new QListWidgetItem(
            swatch(preset.backgroundColor),
            QStringLiteral("%1\n%2 · %3").arg(preset.title, preset.printerName, presetParameters(preset)),
            list);
        item->setData(Qt::UserRole, preset.id);
    }
    list->setCurrentRow(0);
    connect(list, &QListWidget::itemActivated, this, &QDialog::accept);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    QPushButton *print = buttons->addButton(I18n::text("Print"), QDialogButtonBox::AcceptRole);
    print->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(list);
    layout->addWidget(buttons);
    resize(sizeHint().width() + 120, sizeHint().height());
}

void PresetChooser::setDarkMode(bool dark)
{
    // The panel's window, surface, text, border and hover colours of each theme.
    const QStringList colors = dark ? QStringList{"#151719", "#181a1c", "#f2f4f7", "#3b4045", "#2d3135"}
                                    : QStringList{"#f7f8fa", "#ffffff", "#172033", "#d8dde5", "#f0f2f5"};
    setStyleSheet(
        QStringLiteral("QDialog{background:%1;}QLabel{color:%3;}"
                       "QListWidget{background:%2;color:%3;border:1px solid %4;border-radius:6px;}"
                       "QListWidget::item{padding:4px;}"
                       "QListWidget::item:selected{background:#ff8a00;color:white;}"
                       "QPushButton{background:%2;color:%3;border:1px solid %4;border-radius:6px;"
                       "padding:5px 16px;}"
                       "QPushButton:hover{background:%5;}QPushButton:default{border-color:#ff8a00;}")
            .arg(colors.at(0), colors.at(1), colors.at(2), colors.at(3), colors.at(4)));
}

int PresetChooser::chosenPresetId() const
{
    const QListWidgetItem *item = list->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : 0;
}
