#pragma once

#include "base/Records.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

class PresetRepository;
class QWidget;

// Files handed to the panel by a start of the program (`ollavan-quick [--preset ID|TITLE] FILE...`). They
// print with the preset the command line names, found by id or title as `ollavan print --preset` finds it, or
// else with the one the user picks in a small chooser (in the panel's language and theme). Each file prints
// as a drop on that preset's card does: the files wait in a queue and go to printing one at a time, each once
// the job before it is done, so none is refused for a busy panel. A preset that cannot be found prints
// nothing and says so.
class HandedOverFiles : public QObject
{
    Q_OBJECT

public:
    // `window` parents the chooser and the messages; the repository must outlive this object.
    HandedOverFiles(PresetRepository &repository, QWidget *window);

    // The files waiting for their turn.
    int queuedFiles() const { return int(queue.size()); }

public slots:
    // An empty `presetReference` asks for the preset.
    void printFiles(const QStringList &files, const QString &presetReference);
    // Printing is busy (true) or free again (false): the next file goes once it is free.
    void setBusy(bool busy);
    void setDarkMode(bool dark);

signals:
    // Print `file` with the preset, as a drop on its card.
    void printRequested(const PrintPreset &preset, const QString &file);
    void statusChanged(const QString &message, bool error);

private:
    void enqueue(const PrintPreset &preset, const QStringList &files);
    void submitNext();
    void refuse(const QString &message);

    PresetRepository &repository;
    QWidget *window;
    QList<QPair<PrintPreset, QString>> queue;
    bool busy = false;
    bool darkMode = false;
    bool submitScheduled = false;
};
