#include "FakeAutomation.h"

#include <algorithm>

namespace ollavan::testsupport {

using platform::Variant;

namespace {

QString describe(const Variant &value)
{
    switch (value.type) {
    case Variant::Type::Bool:
        return value.boolean ? "true" : "false";
    case Variant::Type::Int32:
        return "i4:" + QString::number(value.integer);
    case Variant::Type::UInt32:
        return "ui4:" + QString::number(value.integer);
    case Variant::Type::String:
        return '"' + value.string + '"';
    case Variant::Type::Error:
        return value.error == platform::parameterNotFound ? "missing" : "error";
    case Variant::Type::Dispatch:
        return '@' + static_cast<FakeAutomation::Object *>(value.dispatch.get())->label;
    default:
        return QString();
    }
}

}  // namespace

void FakeAutomation::Object::release()
{
    if (--references == 0)
        owner.record(label + ".release");
}

platform::AutomationDispatch *FakeAutomation::Object::queryDispatch()
{
    owner.record(label + ".QueryInterface");
    Object *target = dispatchTarget ? dispatchTarget : this;
    target->addRef();
    return target;
}

bool FakeAutomation::Object::invoke(const QString &member, CallKind kind, const QList<Variant> &arguments,
                                    Variant *result)
{
    QStringList values;
    for (const Variant &argument : arguments)
        values << describe(argument);
    if (kind == CallKind::PropertyPut) {
        members.insert(member, values.value(0));
        return owner.record(label + ".put " + member + " = " + values.value(0));
    }
    const QString line = kind == CallKind::PropertyGet
                             ? label + ".get " + member
                             : label + ".call " + member + '(' + values.join(", ") + ')';
    if (!owner.record(line) || !members.contains(member))
        return false;
    if (result)
        *result = owner.parse(members.value(member));
    return true;
}

void FakeAutomation::define(const QStringList &members)
{
    for (const QString &member : members) {
        const QString name = member.section('=', 0, 0);
        object(name.section('.', 0, 0))->members.insert(name.section('.', 1), member.section('=', 1));
    }
}

void FakeAutomation::registerClass(const QString &progId, const QString &running, const QString &created)
{
    classes.insert(QUuid::createUuidV5(QUuid(), progId), {progId, running, created});
    if (!running.isEmpty())
        object(running + "-unknown")->dispatchTarget = object(running);
}

bool FakeAutomation::allReleased() const
{
    return std::all_of(objects.begin(), objects.end(),
                       [](const auto &entry) { return !entry.second->references; });
}

FakeAutomation::Object *FakeAutomation::object(const QString &label)
{
    std::unique_ptr<Object> &slot = objects[label];
    if (!slot)
        slot = std::make_unique<Object>(*this, label);
    return slot.get();
}

Variant FakeAutomation::parse(const QString &text)
{
    Variant value;
    if (text.startsWith('@')) {
        value.type = Variant::Type::Dispatch;
        value.dispatch = platform::DispatchPtr::share(object(text.mid(1)));
    } else if (text.startsWith('"')) {
        value = platform::stringVariant(text.mid(1, text.size() - 2));
    } else if (text.contains(':')) {
        value.type = text.startsWith("i4") ? Variant::Type::Int32 : Variant::Type::UInt32;
        value.integer = text.section(':', 1).toLongLong();
    } else if (!text.isEmpty()) {
        value = platform::boolVariant(text == "true");
    }
    return value;
}

bool FakeAutomation::record(const QString &line)
{
    log << line;
    return std::none_of(failing.begin(), failing.end(), [&line](const QString &prefix) {
        return !prefix.isEmpty() && line.startsWith(prefix);
    });
}

bool FakeAutomation::classIdFromProgId(const QString &progId, QUuid *classId)
{
    *classId = QUuid::createUuidV5(QUuid(), progId);
    return record("CLSIDFromProgID " + progId) && classes.contains(*classId);
}

platform::UnknownPtr FakeAutomation::activeObject(const QUuid &classId)
{
    const Class entry = classes.value(classId);
    if (!record("GetActiveObject " + entry.progId) || entry.running.isEmpty())
        return platform::UnknownPtr();
    return platform::UnknownPtr::share(object(entry.running + "-unknown"));
}

platform::DispatchPtr FakeAutomation::createLocalServer(const QUuid &classId)
{
    const Class entry = classes.value(classId);
    if (!record("CoCreateInstance " + entry.progId) || entry.created.isEmpty())
        return platform::DispatchPtr();
    return platform::DispatchPtr::share(object(entry.created));
}

}  // namespace ollavan::testsupport
