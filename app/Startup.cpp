#include "app/Startup.h"

#include "app/FontDatabaseWarmUp.h"
#include "base/AppIdentity.h"
#include "base/I18n.h"
#include "base/PngDecoder.h"
#include "base/QtTranslations.h"
#include "base/SettingsKeys.h"
#include "platform/DesktopSession.h"
#include "platform/InstanceChannel.h"
#include "platform/ProcessGuards.h"
#include "printing/PrintService.h"
#include "printing/PrinterSettingsScope.h"
#include "printing/RestoreJournal.h"
#include "printing/SettingsSwitchLock.h"
#include "ui/MainWindow.h"
#include "ui/PresetCards.h"

#include <QApplication>
#include <QDebug>
#include <QDialog>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QMetaObject>
#include <QPixmap>
#include <QSettings>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

bool isScreenshotSwitch(const QString &argument)
{
    return argument == QLatin1String("--screenshot") || argument == QLatin1String("--screenshot-light") ||
           argument == QLatin1String("--screenshot-dark") ||
           argument == QLatin1String("--screenshot-advertisement");
}

// The application icon. The program decodes the PNG itself: Qt's image reader would first load every
// image-format plugin installed, which costs start-up some 10 ms. A PNG it does not read goes to Qt.
QIcon applicationIcon()
{
    const QString path = QString::fromLatin1(AppIdentity::WindowIconResource);
    QImage image = PngDecoder::load(path);
    // Handed over, so the pixmap converts the pixels in place instead of copying them.
    return image.isNull() ? QIcon(path) : QIcon(QPixmap::fromImage(std::move(image)));
}

// The screenshots and the self-checks run on their own, beside a panel that runs.
bool runsOnItsOwn(const QStringList &arguments)
{
    const QString first = arguments.value(1);
    return (arguments.size() == 3 &&
            (isScreenshotSwitch(first) || first == QLatin1String("--screenshot-add-dialog") ||
             first == QLatin1String("--verify-acrobat-isolation"))) ||
           (arguments.size() == 2 && first == QLatin1String("--verify-driver-isolation"));
}

// A start of the panel names files to print and, optionally, the preset: [--preset ID|TITLE] [--] [FILE...].
// The files become absolute paths, as the running panel may have another working folder. False with the
// message for a usage error.
bool parseStartRequest(const QStringList &arguments, platform::InstanceRequest *request, QString *error)
{
    bool names = false;
    int presets = 0;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (names || !argument.startsWith(QLatin1Char('-')) || argument.size() == 1) {
            request->files.append(QFileInfo(argument).absoluteFilePath());
        } else if (argument == QLatin1String("--")) {
            names = true;
        } else if (argument == QLatin1String("--preset")) {
            request->preset = i + 1 < arguments.size() ? arguments.at(++i) : QString();
            ++presets;
        } else if (argument.startsWith(QLatin1String("--preset="))) {
            request->preset = argument.mid(int(qstrlen("--preset=")));
            ++presets;
        } else {
            *error = I18n::text("ollavan-quick: unknown option \"%1\"").arg(argument);
            return false;
        }
    }
    if (presets > 1 || (presets == 1 && (request->preset.isEmpty() || request->files.isEmpty()))) {
        *error = I18n::text(
            "ollavan-quick: --preset takes one preset id or title, followed by the files to print");
        return false;
    }
    return true;
}

}  // namespace

int runOllavanQuick(int argc, char **argv)
{
    platform::holdTerminationRequests();
    const platform::OwnTemporaryFolder temporaryFolder;
    platform::preferXWayland();
    QApplication app(argc, argv);
    const FontDatabaseWarmUp fontDatabaseWarmUp;
    QApplication::setQuitOnLastWindowClosed(false);
    AppIdentity::apply();
    QApplication::setWindowIcon(applicationIcon());
    QApplication::setFont(QFont(QStringLiteral("Segoe UI"), 10));

    QSettings settings;
    I18n::setLanguage(settings.value(QLatin1String(SettingsKeys::Language), QStringLiteral("en")).toString());
    QtTranslations::apply(I18n::language());

    // Any other start goes to the panel that runs, when one does, before anything else is done.
    platform::InstanceRequest request;
    platform::InstanceChannel channel;
    QString channelError;
    if (!runsOnItsOwn(QApplication::arguments())) {
        QString usage;
        if (!parseStartRequest(QApplication::arguments(), &request, &usage)) {
            qWarning().noquote() << usage + QLatin1Char('\n') +
                                        I18n::text("Usage: %1")
                                            .arg(QStringLiteral(
                                                "ollavan-quick [--preset ID|TITLE] [--] [FILE...]"));
            return 1;
        }
        const platform::InstanceChannel::Claim claim = channel.claim(request, &channelError);
        if (claim == platform::InstanceChannel::Claim::HandedOver)
            return 0;
        if (claim == platform::InstanceChannel::Claim::NoAnswer) {
            qWarning().noquote() << channelError;
            return 2;
        }
    }

    // A termination request during a print puts the user's printer settings back first and ends the program
    // with 128 + the signal; otherwise the panel quits normally. The end of the session puts them back too.
    platform::handleTerminationRequests([](int signal) {
        if (PrinterSettingsScope::restoreBeforeExit()) {
            platform::OwnTemporaryFolder::remove();
            std::fflush(nullptr);
            std::_Exit(128 + signal);
        }
        // exit, not quit: quit asks the windows first, and the panel's window only hides to the tray.
        QMetaObject::invokeMethod(
            qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    });
    QObject::connect(&app, &QGuiApplication::commitDataRequest,
                     [] { PrinterSettingsScope::restoreBeforeExit(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [] { PrinterSettingsScope::restoreBeforeExit(); });
    QString recovered;
    const bool recoveredCleanly = RestoreJournal::recoverInterruptedSwitch(&recovered);

    const QStringList arguments = QApplication::arguments();
    // The self-checks show no window: they say it where they say the rest.
    if (!recovered.isEmpty() && arguments.value(1).startsWith(QLatin1String("--verify-")))
        qInfo().noquote() << recovered;
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("--verify-acrobat-isolation")) {
        QString message;
        const bool passed = PrintService::verifyAcrobatIsolation(arguments.at(2), &message);
        qInfo().noquote() << message;
        return passed ? 0 : 2;
    }
    if (arguments.size() == 2 && arguments.at(1) == QLatin1String("--verify-driver-isolation")) {
        QString message;
        const bool passed = PrintService::verifyDriverIsolation(&message);
        qInfo().noquote() << message;
        return passed ? 0 : 2;
    }

    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("--screenshot-light"))
        settings.setValue(QLatin1String(SettingsKeys::DarkMode), false);
    else if (arguments.size() == 3 && arguments.at(1) == QLatin1String("--screenshot-dark"))
        settings.setValue(QLatin1String(SettingsKeys::DarkMode), true);
    settings.sync();

    MainWindow window;
    window.show();
    if (!recovered.isEmpty())
        window.setStatus(recovered, !recoveredCleanly);
    else if (!channelError.isEmpty())
        window.setStatus(
            I18n::text("Later starts of Ollavan Quick cannot reach this panel: %1").arg(channelError), true);
    QObject::connect(&channel, &platform::InstanceChannel::requestReceived, &window,
                     [&window](const platform::InstanceRequest &handed) {
                         window.present();
                         window.printFiles(handed.files, handed.preset);
                     });
    if (!request.files.isEmpty())
        QTimer::singleShot(0, &window,
                           [&window, request] { window.printFiles(request.files, request.preset); });
    SettingsSwitchLock::setWaitNotifier([&window](bool waiting) {
        if (waiting)
            QMetaObject::invokeMethod(&window, [&window] {
                window.setStatus(I18n::text("Waiting for another print job to finish…"), false);
            });
    });

    if (arguments.size() == 3 && isScreenshotSwitch(arguments.at(1))) {
        const QString output = arguments.at(2);
        const int delay = arguments.at(1) == QLatin1String("--screenshot-advertisement") ? 6000 : 250;
        // Precise: a coarse timer (Qt's choice from two seconds up) may fire up to 5 % early.
        QTimer::singleShot(delay, Qt::PreciseTimer, &window, [&window, output] {
            const bool saved = window.grab().save(output, "PNG");
            QCoreApplication::exit(saved ? 0 : 2);
        });
    } else if (arguments.size() == 3 && arguments.at(1) == QLatin1String("--screenshot-add-dialog")) {
        const QString output = arguments.at(2);
        QTimer::singleShot(0, &window, [&window] {
            QMetaObject::invokeMethod(window.findChild<PresetCards *>(), &PresetCards::addPreset,
                                      Qt::QueuedConnection);
        });
        QTimer::singleShot(500, &window, [output] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog) {
                QCoreApplication::exit(2);
                return;
            }
            const bool saved = dialog->grab().save(output, "PNG");
            dialog->reject();
            QCoreApplication::exit(saved ? 0 : 2);
        });
    }

    const int code = QApplication::exec();
    SettingsSwitchLock::setWaitNotifier(nullptr);
    return code;
}
