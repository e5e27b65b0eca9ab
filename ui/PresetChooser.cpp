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

int PresetChooser::chosenPresetId() const
{
    const QListWidgetItem *item = list->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : 0;
}
