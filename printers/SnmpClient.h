#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

// A minimal SNMP version 1 client: one GetRequest with the community "public" to UDP port 161 of a
// printer, answered values returned as a map from dotted OID text (no leading dot) to a value: a 64-bit
// signed integer for INTEGER, Counter32, Gauge32 and TimeTicks, a QByteArray for OCTET STRING. Other value
// types are left out. Nothing is reported as an error: every failure gives an empty map or missing keys.
// Blocks the calling thread; never call it from the GUI thread.
namespace snmp {

using ValueMap = QHash<QString, QVariant>;

// Queries all OIDs in one request (two attempts of 900 ms). When that brings no acceptable answer, queries
// each OID alone (two attempts of 350 ms each), in list order, and gathers what comes back.
ValueMap queryPrinterOids(const QString &host, const QStringList &oids);

}  // namespace snmp
