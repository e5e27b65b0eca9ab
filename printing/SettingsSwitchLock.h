#pragma once

#include "platform/ProcessGuards.h"

#include <QString>

#include <functional>

// The user's turn to change printer settings: one switch at a time across all of the user's processes (a
// file lock in the user's data folder). Every settings switch takes it for its whole life, and so does
// whoever saves a printer's settings meanwhile, so that a switch never puts back settings over newer ones.
// A turn that is not free waits for the one in force; the wait hooks below are process-wide.
class SettingsSwitchLock
{
public:
    SettingsSwitchLock();
    ~SettingsSwitchLock();
    SettingsSwitchLock(const SettingsSwitchLock &) = delete;
    SettingsSwitchLock &operator=(const SettingsSwitchLock &) = delete;

    // Waits for the turn, at most the wait limit. False with a translated message in *error when the limit
    // passed or the lock file cannot be used.
    bool acquire(QString *error = nullptr);
    // Takes the turn only when it is free at once.
    bool tryAcquire();
    bool isHeld() const { return lock.isLocked(); }

    // Called on the waiting thread with true when a turn has to wait for another one, and with false once
    // it got the turn after waiting. Empty: nobody is told.
    using WaitNotifier = std::function<void(bool waiting)>;
    static void setWaitNotifier(WaitNotifier notifier);
    // The longest wait in seconds before acquire() gives up; 0 (the default) waits as long as it takes.
    static void setWaitLimit(int seconds);

    // The lock file: printer-settings.lock beside the database.
    static QString lockPath();

private:
    platform::FileLock lock;
};
