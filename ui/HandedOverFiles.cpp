#include "ui/HandedOverFiles.h"

#include "base/I18n.h"
#include "model/PresetReference.h"
#include "model/PresetRepository.h"
#include "ui/PresetChooser.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

namespace {

// "a.pdf, b.png" for the messages.
QString fileNames(const QStringList &files)
{
    QStringList names;
    for (const QString &file : files)
        names.append(QFileInfo(file).fileName());
    return names.join(QStringLiteral(", "));
}

}  // namespace

HandedOverFiles::HandedOverFiles(PresetRepository &repository, QWidget *window)
    : QObject(window), repository(repository), window(window)
{
}

void HandedOverFiles::printFiles(const QStringList &files, const QString &presetReference)
{
    if (files.isEmpty())
        return;
    // The presets as stored now, as a drop would print with.
    QString readError;
    const QList<PrintPreset> presets = repository.presets(&readError);
    if (!readError.isEmpty()) {
        refuse(readError);
        return;
    }
    if (presets.isEmpty()) {
        refuse(I18n::text(
                   "There is no printer preset to print %1 with yet. Add a printer preset, then print the "
                   "files again.")
                   .arg(fileNames(files)));
        return;
    }
    if (!presetReference.isEmpty()) {
        const PrintPreset *preset = presetByReference(presets, presetReference);
        if (preset)
            enqueue(*preset, files);
        else
            refuse(I18n::text("No printer preset has the id or title \"%1\"; %2 was not printed.")
                       .arg(presetReference, fileNames(files)));
        return;
    }

    auto *chooser = new PresetChooser(presets, files, window);
    chooser->setObjectName(QStringLiteral("handedOverChooser"));
    chooser->setAttribute(Qt::WA_DeleteOnClose);
    chooser->setDarkMode(darkMode);
    connect(chooser, &QDialog::accepted, this, [this, chooser, presets, files] {
        const int id = chooser->chosenPresetId();
        for (const PrintPreset &preset : presets) {
            if (preset.id == id)
                enqueue(preset, files);
        }
    });
    chooser->open();
    chooser->raise();
    chooser->activateWindow();
}

void HandedOverFiles::setBusy(bool isBusy)
{
    busy = isBusy;
    // The job's outcome is handled first (its history row, its message), then the next file goes.
    if (!busy && !queue.isEmpty() && !submitScheduled) {
        submitScheduled = true;
        QTimer::singleShot(0, this, [this] {
            submitScheduled = false;
            submitNext();
        });
    }
}

void HandedOverFiles::setDarkMode(bool dark)
{
    darkMode = dark;
}

void HandedOverFiles::enqueue(const PrintPreset &preset, const QStringList &files)
{
    for (const QString &file : files)
        queue.append({preset, file});
    submitNext();
}

void HandedOverFiles::submitNext()
{
    if (busy || queue.isEmpty())
        return;
    const QPair<PrintPreset, QString> next = queue.takeFirst();
    emit printRequested(next.first, next.second);
}

void HandedOverFiles::refuse(const QString &message)
{
    emit statusChanged(message, true);
    auto *box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Ollavan Quick"), message,
                                QMessageBox::Ok, window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
