#pragma once

#include "base/Records.h"

#include <QList>
#include <QString>

// The translation facade: one process-wide current language; every user-visible text is written in
// English in the code and looked up here by that English wording.
class I18n
{
public:
    static const QList<AppLanguage> &languages();
    static QString language();
    static void setLanguage(const QString &code);
    static QString text(const QString &key);
    static QString text(const char *key) { return text(QString::fromUtf8(key)); }
};
