#include "app/FontDatabaseWarmUp.h"

#include <QFontDatabase>
#include <QThread>

FontDatabaseWarmUp::FontDatabaseWarmUp() : worker(QThread::create([] { QFontDatabase::families(); }))
{
    worker->start();
}

FontDatabaseWarmUp::~FontDatabaseWarmUp()
{
    worker->wait();
}
