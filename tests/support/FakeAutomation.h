#pragma once

#include "platform/Automation.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace ollavan::testsupport {

// In-process automation objects and a registry of automation classes for tests. Every call made on an
// object, every class lookup and every object that is let go (its last reference released) is written to
// one shared log, so tests can assert the order of calls and releases of a print route.
//
// Log lines:
//   "CLSIDFromProgID Word.Application", "GetActiveObject Word.Application", "CoCreateInstance AcroExch.App",
//   "CoInitializeEx", "CoUninitialize",
//   "word.QueryInterface", "word.get Hwnd", "word.put ActivePrinter = \"Office\"",
//   "document.call PrintOut(false, missing, missing, missing, missing, missing, missing, i4:3)",
//   "document.release" (the last reference was released).
// Values are written as: empty, null, missing (a DISP_E_PARAMNOTFOUND error), error:0x..., true/false, i4:N,
// int:N, ui4:N, uint:N, i8:N, ui8:N, r8:N, "text", object:LABEL, unknown:LABEL, null-object, other.

class FakeAutomationLog
{
public:
    // Thread-safe: a print worker may add lines while the test thread reads them.
    void add(const QString &line);
    // Called with every line as it is added, outside the log's lock (for example to look at other fakes at
    // the moment an object is let go).
    void setObserver(std::function<void(const QString &line)> callback);
    QStringList entries() const;
    // Only the lines that start with one of the prefixes, in order.
    QStringList filtered(const QStringList &prefixes) const;
    void clear();

private:
    mutable QMutex mutex;
    QStringList lines;
    std::function<void(const QString &line)> observer;
};

// The log form of a value.
QString describeVariant(const platform::Variant &value);

// An object that answers properties and methods by name. Properties are readable and writable; a method
// answers with its handler's result. Unknown names fail, as a failed name lookup does.
class FakeAutomationObject : public platform::AutomationDispatch
{
public:
    using Method = std::function<bool(const QList<platform::Variant> &arguments, platform::Variant *result)>;

    FakeAutomationObject(FakeAutomationLog *log, const QString &label);
    ~FakeAutomationObject() override;

    QString label() const { return name; }

    // A readable and writable property with its current value.
    void setProperty(const QString &member, const platform::Variant &value);
    platform::Variant property(const QString &member) const;
    bool hasProperty(const QString &member) const { return properties.contains(member); }
    // A property whose value is another object; every read hands out a new reference to it (the holder
    // keeps none, so the object is let go as soon as the caller releases what it read).
    void setObjectProperty(const QString &member, FakeAutomationObject *object);
    // A method without arguments that returns another object, handed out the same way.
    void setObjectMethod(const QString &member, FakeAutomationObject *object);
    // A property that accepts writes but fails every read (a write-only member).
    void setWriteOnly(const QString &member) { writeOnly.insert(member); }
    // A method returning `result` (an Empty result when the method returns nothing).
    void setMethod(const QString &member, const platform::Variant &result = platform::Variant());
    void setMethod(const QString &member, Method handler);
    // Every call of the member (get, put or method) fails from now on; `failing` false undoes it.
    void failMember(const QString &member, bool failing = true);

    // References handed out and not yet released.
    int references() const { return referenceCount; }

    void addRef() override;
    void release() override;
    platform::AutomationDispatch *queryDispatch() override;
    bool invoke(const QString &member, CallKind kind, const QList<platform::Variant> &arguments,
                platform::Variant *result) override;

private:
    FakeAutomationLog *log;
    QString name;
    QHash<QString, platform::Variant> properties;
    QHash<QString, FakeAutomationObject *> objectProperties;
    QHash<QString, Method> methods;
    QSet<QString> failing;
    QSet<QString> writeOnly;
    int referenceCount = 0;
};

// An object value for a property or method result (adds a reference of its own).
platform::Variant objectVariant(FakeAutomationObject *object);
platform::Variant unsignedVariant(quint32 value);

// The automation classes of the test session, installed as the process's automation for its lifetime.
class FakeAutomationRegistry : public platform::Automation
{
public:
    explicit FakeAutomationRegistry(FakeAutomationLog *log);
    ~FakeAutomationRegistry() override;

    // Registers a ProgID. `running` is the instance GetActiveObject finds (null: none runs); it is handed out
    // through a separate IUnknown labelled "<running's label>-unknown". `create` makes the object of
    // CoCreateInstance (null: creation fails).
    void registerClass(const QString &progId, FakeAutomationObject *running = nullptr,
                       std::function<FakeAutomationObject *()> create = {});
    void setRunning(const QString &progId, FakeAutomationObject *running);
    void unregisterClass(const QString &progId) { classes.remove(progId); }

    // Apartment bookkeeping: initialisations that must still be left.
    int openApartments() const { return apartments; }
    // Makes CoInitializeEx fail.
    void failApartment(bool failing) { apartmentFails = failing; }

    bool initializeApartment() override;
    void uninitializeApartment() override;
    bool classIdFromProgId(const QString &progId, QUuid *classId) override;
    platform::UnknownPtr activeObject(const QUuid &classId) override;
    platform::DispatchPtr createLocalServer(const QUuid &classId) override;

private:
    struct Class
    {
        QUuid id;
        FakeAutomationObject *running = nullptr;
        std::function<FakeAutomationObject *()> create;
    };
    const Class *find(const QUuid &classId, QString *progId) const;

    FakeAutomationLog *log;
    QMap<QString, Class> classes;
    std::vector<std::unique_ptr<FakeAutomationObject>> unknowns;
    int apartments = 0;
    bool apartmentFails = false;
};

}  // namespace ollavan::testsupport
