#include "printing/SettingsSwitchLock.h"

#include "base/I18n.h"
#include "model/DatabaseLocation.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QMutex>
#include <QThread>

#include <atomic>

namespace {

QMutex notifierMutex;
SettingsSwitchLock::WaitNotifier waitNotifier;
std::atomic<int> waitLimitSeconds{0};

void notify(bool waiting)
{
    QMutexLocker locker(&notifierMutex);
    const SettingsSwitchLock::WaitNotifier notifier = waitNotifier;
    locker.unlock();
    if (notifier)
        notifier(waiting);
}

}  // namespace

SettingsSwitchLock::SettingsSwitchLock() : lock(lockPath()) {}

SettingsSwitchLock::~SettingsSwitchLock() = default;

QString SettingsSwitchLock::lockPath()
{
    return QFileInfo(DatabaseLocation::databasePath()).absolutePath() +
           QStringLiteral("/printer-settings.lock");
}

void SettingsSwitchLock::setWaitNotifier(WaitNotifier notifier)
{
    QMutexLocker locker(&notifierMutex);
    waitNotifier = std::move(notifier);
}

void SettingsSwitchLock::setWaitLimit(int seconds)
{
    waitLimitSeconds.store(qMax(0, seconds));
}

bool SettingsSwitchLock::tryAcquire()
{
    return lock.tryLock();
}

bool SettingsSwitchLock::acquire(QString *error)
{
    QString failure;
    if (lock.tryLock(&failure))
        return true;
    if (!failure.isEmpty()) {
        if (error)
            *error = I18n::text("The printer settings could not be switched safely: %1").arg(failure);
        return false;
    }
    const int limit = waitLimitSeconds.load();
    const QDeadlineTimer deadline =
        limit > 0 ? QDeadlineTimer(qint64(limit) * 1000) : QDeadlineTimer::Forever;
    notify(true);
    while (!lock.tryLock()) {
        if (deadline.hasExpired()) {
            if (error)
                *error = I18n::text("Another print job kept the printer settings busy for %1 s; nothing was "
                                    "printed.")
                             .arg(limit);
            return false;
        }
        QThread::msleep(50);
    }
    notify(false);
    return true;
}
