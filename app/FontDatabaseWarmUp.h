#pragma once

#include <memory>

class QThread;

// Fills the toolkit's font database on a worker thread while start-up goes on. Without it the first text
// that is measured (the main window's widgets are sized when the window is shown) waits on the GUI thread
// for fontconfig to read its configuration and caches and for the database to be populated. The database is
// shared by all threads and guarded by the toolkit: a font look-up on the GUI thread finds it filled, or
// waits for the worker to finish filling it.
//
// Create it right after the application object (the font database belongs to the platform integration);
// destroying it waits for the worker.
class FontDatabaseWarmUp
{
public:
    FontDatabaseWarmUp();
    ~FontDatabaseWarmUp();

    FontDatabaseWarmUp(const FontDatabaseWarmUp &) = delete;
    FontDatabaseWarmUp &operator=(const FontDatabaseWarmUp &) = delete;

private:
    std::unique_ptr<QThread> worker;
};
