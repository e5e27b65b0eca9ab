#include "platform/Automation.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<Automation *> replacementAutomation{nullptr};

constexpr int minimumCopies = 1;
constexpr int maximumCopies = 9999;

bool isInteger32(Variant::Type type)
{
    return type == Variant::Type::Int32 || type == Variant::Type::Int || type == Variant::Type::UInt32 ||
           type == Variant::Type::UInt;
}

// One property get; the result is Empty when the object is null or the call failed.
bool propertyGet(const DispatchPtr &object, const QString &name, Variant *result)
{
    *result = Variant();
    if (!object)
        return false;
    if (object->invoke(name, AutomationDispatch::CallKind::PropertyGet, {}, result))
        return true;
    *result = Variant();
    return false;
}

bool methodCall(const DispatchPtr &object, const QString &name, const QList<Variant> &arguments,
                Variant *result)
{
    *result = Variant();
    if (!object)
        return false;
    if (object->invoke(name, AutomationDispatch::CallKind::Method, arguments, result))
        return true;
    *result = Variant();
    return false;
}

bool propertyPut(const DispatchPtr &object, const QString &name, const Variant &value)
{
    if (!object)
        return false;
    return object->invoke(name, AutomationDispatch::CallKind::PropertyPut, {value}, nullptr);
}
}  // namespace

Variant missingVariant()
{
    Variant variant;
    variant.type = Variant::Type::Error;
    variant.error = parameterNotFound;
    return variant;
}

Variant boolVariant(bool value)
{
    Variant variant;
    variant.type = Variant::Type::Bool;
    variant.boolean = value;
    return variant;
}

Variant intVariant(qint32 value)
{
    Variant variant;
    variant.type = Variant::Type::Int32;
    variant.integer = value;
    return variant;
}

Variant stringVariant(const QString &value)
{
    Variant variant;
    variant.type = Variant::Type::String;
    variant.string = value;
    return variant;
}

Variant invokeProperty(const DispatchPtr &object, const QString &name)
{
    Variant result;
    propertyGet(object, name, &result);
    if (result.type != Variant::Type::Dispatch)
        return Variant();
    Variant objectOnly;
    objectOnly.type = Variant::Type::Dispatch;
    objectOnly.dispatch = std::move(result.dispatch);
    return objectOnly;
}

DispatchPtr dispatchProperty(const DispatchPtr &object, const QString &name)
{
    Variant result;
    propertyGet(object, name, &result);
    if (result.type == Variant::Type::Dispatch)
        return std::move(result.dispatch);
    if (result.type == Variant::Type::Unknown && result.unknown)
        return DispatchPtr::adopt(result.unknown->queryDispatch());
    return DispatchPtr();
}

QString invokeStringProperty(const DispatchPtr &object, const QString &name)
{
    Variant result;
    propertyGet(object, name, &result);
    return result.type == Variant::Type::String ? result.string : QString();
}

qint64 invokeIntegerProperty(const DispatchPtr &object, const QString &name)
{
    Variant result;
    propertyGet(object, name, &result);
    switch (result.type) {
    case Variant::Type::Int32:
    case Variant::Type::Int:
        return qint64(qint32(result.integer));
    case Variant::Type::UInt32:
    case Variant::Type::UInt:
        return qint64(quint32(result.integer));
    case Variant::Type::Int64:
        return result.integer;
    case Variant::Type::UInt64:
        return qint64(result.unsigned64);
    default:
        return 0;
    }
}

bool variantProperty(const DispatchPtr &object, const QString &name, Variant *result)
{
    Variant value;
    const bool ok = propertyGet(object, name, &value);
    if (result)
        *result = std::move(value);
    return ok;
}

bool setStringProperty(const DispatchPtr &object, const QString &name, const QString &value)
{
    return propertyPut(object, name, stringVariant(value));
}

bool setVariantProperty(const DispatchPtr &object, const QString &name, const Variant &value)
{
    const Variant copy = value;
    return propertyPut(object, name, copy);
}

bool invokeMethod(const DispatchPtr &object, const QString &name, const QList<Variant> &arguments,
                  Variant *result)
{
    Variant value;
    const bool ok = methodCall(object, name, arguments, &value);
    if (result)
        *result = std::move(value);
    return ok;
}

DispatchPtr invokeDispatchMethod(const DispatchPtr &object, const QString &name)
{
    Variant result;
    methodCall(object, name, {}, &result);
    return result.type == Variant::Type::Dispatch ? std::move(result.dispatch) : DispatchPtr();
}

qint64 invokeIntegerMethod(const DispatchPtr &object, const QString &name, qint64 fallback)
{
    Variant result;
    if (!methodCall(object, name, {}, &result) || !isInteger32(result.type))
        return fallback;
    if (result.type == Variant::Type::UInt32 || result.type == Variant::Type::UInt)
        return qint64(quint32(result.integer));
    return qint64(qint32(result.integer));
}

QString invokeStringMethod(const DispatchPtr &object, const QString &name)
{
    Variant result;
    methodCall(object, name, {}, &result);
    return result.type == Variant::Type::String ? result.string : QString();
}

bool invokePrintOut(const DispatchPtr &document, int copies)
{
    // Background, Append, Range, OutputFileName, From, To, Item, Copies.
    const QList<Variant> arguments{
        boolVariant(false), missingVariant(),
        missingVariant(),   missingVariant(),
        missingVariant(),   missingVariant(),
        missingVariant(),   intVariant(qBound(minimumCopies, copies, maximumCopies))};
    return invokeMethod(document, QStringLiteral("PrintOut"), arguments);
}

Automation &automation()
{
    if (Automation *replacement = replacementAutomation.load())
        return *replacement;
    static const std::unique_ptr<Automation> system = createSystemAutomation();
    return *system;
}

void setAutomationForTesting(Automation *replacement)
{
    replacementAutomation.store(replacement);
}

AutomationApartment::AutomationApartment() : owner(automation()), initialized(owner.initializeApartment()) {}

AutomationApartment::~AutomationApartment()
{
    if (initialized)
        owner.uninitializeApartment();
}

}  // namespace platform
