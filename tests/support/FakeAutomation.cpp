#include "FakeAutomation.h"

#include <QMutexLocker>

namespace ollavan::testsupport {

using platform::DispatchPtr;
using platform::UnknownPtr;
using platform::Variant;

void FakeAutomationLog::add(const QString &line)
{
    std::function<void(const QString &)> callback;
    {
        QMutexLocker lock(&mutex);
        lines.append(line);
        callback = observer;
    }
    if (callback)
        callback(line);
}

void FakeAutomationLog::setObserver(std::function<void(const QString &line)> callback)
{
    QMutexLocker lock(&mutex);
    observer = std::move(callback);
}

QStringList FakeAutomationLog::entries() const
{
    QMutexLocker lock(&mutex);
    return lines;
}

void FakeAutomationLog::clear()
{
    QMutexLocker lock(&mutex);
    lines.clear();
}

QStringList FakeAutomationLog::filtered(const QStringList &prefixes) const
{
    QStringList matching;
    for (const QString &line : entries()) {
        for (const QString &prefix : prefixes) {
            if (line.startsWith(prefix)) {
                matching.append(line);
                break;
            }
        }
    }
    return matching;
}

QString describeVariant(const Variant &value)
{
    const auto objectLabel = [](platform::AutomationUnknown *object) {
        if (!object)
            return QStringLiteral("null-object");
        if (auto *fake = dynamic_cast<FakeAutomationObject *>(object))
            return fake->label();
        return QStringLiteral("foreign-object");
    };
    switch (value.type) {
    case Variant::Type::Empty:
        return QStringLiteral("empty");
    case Variant::Type::Null:
        return QStringLiteral("null");
    case Variant::Type::Error:
        if (value.error == platform::parameterNotFound)
            return QStringLiteral("missing");
        return QStringLiteral("error:0x%1").arg(value.error, 8, 16, QLatin1Char('0'));
    case Variant::Type::Bool:
        return value.boolean ? QStringLiteral("true") : QStringLiteral("false");
    case Variant::Type::Int32:
        return QStringLiteral("i4:%1").arg(value.integer);
    case Variant::Type::Int:
        return QStringLiteral("int:%1").arg(value.integer);
    case Variant::Type::UInt32:
        return QStringLiteral("ui4:%1").arg(value.integer);
    case Variant::Type::UInt:
        return QStringLiteral("uint:%1").arg(value.integer);
    case Variant::Type::Int64:
        return QStringLiteral("i8:%1").arg(value.integer);
    case Variant::Type::UInt64:
        return QStringLiteral("ui8:%1").arg(value.unsigned64);
    case Variant::Type::Double:
        return QStringLiteral("r8:%1").arg(value.real);
    case Variant::Type::String:
        return QLatin1Char('"') + value.string + QLatin1Char('"');
    case Variant::Type::Dispatch:
        return value.dispatch ? QStringLiteral("object:") + objectLabel(value.dispatch.get())
                              : QStringLiteral("null-object");
    case Variant::Type::Unknown:
        return value.unknown ? QStringLiteral("unknown:") + objectLabel(value.unknown.get())
                             : QStringLiteral("null-object");
    case Variant::Type::Other:
        return QStringLiteral("other");
    }
    return QStringLiteral("?");
}

FakeAutomationObject::FakeAutomationObject(FakeAutomationLog *log, const QString &label)
    : log(log), name(label)
{
}

FakeAutomationObject::~FakeAutomationObject() = default;

void FakeAutomationObject::setProperty(const QString &member, const Variant &value)
{
    objectProperties.remove(member);
    properties.insert(member, value);
}

Variant FakeAutomationObject::property(const QString &member) const
{
    if (FakeAutomationObject *object = objectProperties.value(member))
        return objectVariant(object);
    return properties.value(member);
}

void FakeAutomationObject::setObjectProperty(const QString &member, FakeAutomationObject *object)
{
    properties.insert(member, Variant());
    objectProperties.insert(member, object);
}

void FakeAutomationObject::setObjectMethod(const QString &member, FakeAutomationObject *object)
{
    setMethod(member, [object](const QList<Variant> &, Variant *out) {
        if (out)
            *out = objectVariant(object);
        return true;
    });
}

void FakeAutomationObject::setMethod(const QString &member, const Variant &result)
{
    setMethod(member, [result](const QList<Variant> &, Variant *out) {
        if (out)
            *out = result;
        return true;
    });
}

void FakeAutomationObject::setMethod(const QString &member, Method handler)
{
    methods.insert(member, std::move(handler));
}

void FakeAutomationObject::failMember(const QString &member, bool fail)
{
    if (fail)
        failing.insert(member);
    else
        failing.remove(member);
}

void FakeAutomationObject::addRef()
{
    ++referenceCount;
}

void FakeAutomationObject::release()
{
    if (referenceCount <= 0) {
        log->add(name + QStringLiteral(".release-unowned"));
        return;
    }
    if (--referenceCount == 0)
        log->add(name + QStringLiteral(".release"));
}

platform::AutomationDispatch *FakeAutomationObject::queryDispatch()
{
    log->add(name + QStringLiteral(".QueryInterface"));
    addRef();
    return this;
}

bool FakeAutomationObject::invoke(const QString &member, CallKind kind, const QList<Variant> &arguments,
                                  Variant *result)
{
    QStringList described;
    for (const Variant &argument : arguments)
        described.append(describeVariant(argument));
    switch (kind) {
    case CallKind::PropertyGet:
        log->add(QStringLiteral("%1.get %2").arg(name, member));
        break;
    case CallKind::PropertyPut:
        log->add(QStringLiteral("%1.put %2 = %3").arg(name, member, described.join(QStringLiteral(", "))));
        break;
    case CallKind::Method:
        log->add(QStringLiteral("%1.call %2(%3)").arg(name, member, described.join(QStringLiteral(", "))));
        break;
    }
    if (failing.contains(member))
        return false;

    switch (kind) {
    case CallKind::PropertyGet:
        if (!properties.contains(member) || writeOnly.contains(member))
            return false;
        if (result)
            *result = property(member);
        return true;
    case CallKind::PropertyPut:
        if ((!properties.contains(member) && !writeOnly.contains(member)) || arguments.size() != 1)
            return false;
        objectProperties.remove(member);
        properties.insert(member, arguments.first());
        return true;
    case CallKind::Method: {
        const auto method = methods.constFind(member);
        if (method == methods.constEnd())
            return false;
        Variant returned;
        if (!(*method)(arguments, &returned))
            return false;
        if (result)
            *result = std::move(returned);
        return true;
    }
    }
    return false;
}

Variant objectVariant(FakeAutomationObject *object)
{
    Variant value;
    value.type = Variant::Type::Dispatch;
    value.dispatch = DispatchPtr::share(object);
    return value;
}

Variant unsignedVariant(quint32 value)
{
    Variant variant;
    variant.type = Variant::Type::UInt32;
    variant.integer = value;
    return variant;
}

namespace {

// The IUnknown that GetActiveObject hands out for a running object: its own label and references, and
// QueryInterface leads to the running object.
class FakeUnknownHandle : public FakeAutomationObject
{
public:
    FakeUnknownHandle(FakeAutomationLog *log, FakeAutomationObject *target)
        : FakeAutomationObject(log, target->label() + QStringLiteral("-unknown")), log(log), target(target)
    {
    }
    platform::AutomationDispatch *queryDispatch() override
    {
        log->add(label() + QStringLiteral(".QueryInterface"));
        target->addRef();
        return target;
    }

private:
    FakeAutomationLog *log;
    FakeAutomationObject *target;
};

}  // namespace

FakeAutomationRegistry::FakeAutomationRegistry(FakeAutomationLog *log) : log(log)
{
    platform::setAutomationForTesting(this);
}

FakeAutomationRegistry::~FakeAutomationRegistry()
{
    platform::setAutomationForTesting(nullptr);
}

void FakeAutomationRegistry::registerClass(const QString &progId, FakeAutomationObject *running,
                                           std::function<FakeAutomationObject *()> create)
{
    Class entry;
    entry.id = QUuid::createUuidV5(QUuid(), progId);
    entry.running = running;
    entry.create = std::move(create);
    classes.insert(progId, entry);
}

void FakeAutomationRegistry::setRunning(const QString &progId, FakeAutomationObject *running)
{
    auto entry = classes.find(progId);
    if (entry != classes.end())
        entry->running = running;
}

bool FakeAutomationRegistry::initializeApartment()
{
    log->add(QStringLiteral("CoInitializeEx"));
    if (apartmentFails)
        return false;
    ++apartments;
    return true;
}

void FakeAutomationRegistry::uninitializeApartment()
{
    log->add(QStringLiteral("CoUninitialize"));
    --apartments;
}

bool FakeAutomationRegistry::classIdFromProgId(const QString &progId, QUuid *classId)
{
    log->add(QStringLiteral("CLSIDFromProgID ") + progId);
    const auto entry = classes.constFind(progId);
    if (entry == classes.constEnd())
        return false;
    if (classId)
        *classId = entry->id;
    return true;
}

const FakeAutomationRegistry::Class *FakeAutomationRegistry::find(const QUuid &classId, QString *progId) const
{
    for (auto entry = classes.constBegin(); entry != classes.constEnd(); ++entry) {
        if (entry->id == classId) {
            *progId = entry.key();
            return &entry.value();
        }
    }
    return nullptr;
}

UnknownPtr FakeAutomationRegistry::activeObject(const QUuid &classId)
{
    QString progId;
    const Class *entry = find(classId, &progId);
    log->add(QStringLiteral("GetActiveObject ") + (entry ? progId : classId.toString()));
    if (!entry || !entry->running)
        return UnknownPtr();
    unknowns.push_back(std::make_unique<FakeUnknownHandle>(log, entry->running));
    return UnknownPtr::share(unknowns.back().get());
}

DispatchPtr FakeAutomationRegistry::createLocalServer(const QUuid &classId)
{
    QString progId;
    const Class *entry = find(classId, &progId);
    log->add(QStringLiteral("CoCreateInstance ") + (entry ? progId : classId.toString()));
    if (!entry || !entry->create)
        return DispatchPtr();
    return DispatchPtr::share(entry->create());
}

}  // namespace ollavan::testsupport
