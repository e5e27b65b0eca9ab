#include "PanelFixture.h"

#include "base/AppIdentity.h"
#include "base/I18n.h"
#include "base/SettingsKeys.h"
#include "model/DatabaseLocation.h"
#include "model/PresetRepository.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QTest>

void startPanelTest()
{
    AppIdentity::apply();
    I18n::setLanguage(QStringLiteral("en"));
    QSettings().clear();
    QSettings().setValue(QLatin1String(SettingsKeys::CompatibilityNoticeShown), true);
}

PrintPreset panelPreset(const QString &title, const QString &printer, int sortOrder)
{
    PrintPreset preset;
    preset.title = title;
    preset.printerName = printer;
    preset.colorMode = ColorMode::Mono;
    preset.duplexMode = DuplexMode::Simplex;
    preset.paperSize = QStringLiteral("A4");
    preset.backgroundColor = QStringLiteral("#ff8a00");
    preset.sortOrder = sortOrder;
    return preset;
}

bool storePresets(const QList<PrintPreset> &presets)
{
    const QString path = DatabaseLocation::databasePath();
    const QString testHome = qEnvironmentVariable("OLLAVAN_TEST_HOME");
    if (testHome.isEmpty() || !path.startsWith(testHome))
        return false;  // never anybody's real database
    QFile::remove(path);
    DatabaseLocation::createDatabaseFolder(path);
    PresetRepository store(path);
    bool stored = store.open();
    for (const PrintPreset &preset : presets)
        stored = stored && store.addPreset(preset);
    return stored;
}

QList<PrintPreset> storedPresets()
{
    PresetRepository store(DatabaseLocation::databasePath());
    return store.open() ? store.presets() : QList<PrintPreset>();
}

QList<PrintHistoryEntry> storedHistory()
{
    PresetRepository store(DatabaseLocation::databasePath());
    return store.open() ? store.printHistory(100) : QList<PrintHistoryEntry>();
}

QString statusMessage(const QWidget &window)
{
    return window.findChild<QLabel *>(QStringLiteral("statusLabel"))->toolTip();
}

ModalDialogCloser::ModalDialogCloser(QMessageBox::StandardButton answer)
{
    connect(&timer, &QTimer::timeout, this, [this, answer] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QAbstractButton *button = box ? box->button(answer) : nullptr;
        button = button || !box ? button : box->button(QMessageBox::Ok);
        if (!button || !box->isVisible())
            return;  // nothing to answer, or not with this closer's answers
        seen << box->windowTitle() + QLatin1Char('|') + box->text();
        button->click();
    });
    timer.start(20);
}

void whenOpen(const std::function<bool()> &handle)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, handle] {
        timer->stop();  // the handler may run a nested event loop
        if (handle())
            timer->deleteLater();
        else
            timer->start();
    });
    timer->start(20);
}

QStringList chooseFromMenu(QWidget *button, int entry)
{
    QStringList texts;
    whenOpen([&texts, entry] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        for (QAction *action : menu ? menu->actions() : QList<QAction *>())
            texts << action->text() + (action->isChecked() ? QStringLiteral(" [x]") : QString());
        if (menu)
            QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                              menu->actionGeometry(menu->actions().at(entry)).center());
        return menu != nullptr;
    });
    QTest::mouseClick(button, Qt::LeftButton);
    return texts;
}
