#include "platform/Automation.h"

#include <objbase.h>
#include <ole2.h>
#include <oleauto.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

namespace platform {
namespace com {
namespace {

// LOCALE_USER_DEFAULT: names are resolved and calls made in the user's default locale.
constexpr LCID automationLocale = 1024;

// Releases a COM interface when the scope is left.
template <typename Interface> class InterfaceGuard
{
public:
    explicit InterfaceGuard(Interface *pointer = nullptr) : pointer(pointer) {}
    ~InterfaceGuard()
    {
        if (pointer)
            pointer->Release();
    }
    InterfaceGuard(const InterfaceGuard &) = delete;
    InterfaceGuard &operator=(const InterfaceGuard &) = delete;
    Interface *get() const { return pointer; }
    Interface **out() { return &pointer; }
    Interface *detach()
    {
        Interface *held = pointer;
        pointer = nullptr;
        return held;
    }

private:
    Interface *pointer;
};

// Clears a VARIANT when the scope is left.
class VariantGuard
{
public:
    VariantGuard() { VariantInit(&value); }
    ~VariantGuard() { VariantClear(&value); }
    VariantGuard(const VariantGuard &) = delete;
    VariantGuard &operator=(const VariantGuard &) = delete;
    VARIANT value;
};

// Clears every argument VARIANT when the scope is left.
class VariantList
{
public:
    ~VariantList()
    {
        for (VARIANT &argument : values)
            VariantClear(&argument);
    }
    std::vector<VARIANT> values;
};

VARIANT missingVariant()
{
    VARIANT variant;
    VariantInit(&variant);
    variant.vt = VT_ERROR;
    variant.scode = DISP_E_PARAMNOTFOUND;
    return variant;
}

VARIANT boolVariant(bool value)
{
    VARIANT variant;
    VariantInit(&variant);
    variant.vt = VT_BOOL;
    variant.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return variant;
}

VARIANT intVariant(LONG value)
{
    VARIANT variant;
    VariantInit(&variant);
    variant.vt = VT_I4;
    variant.lVal = value;
    return variant;
}

// VT_BSTR allocated with SysAllocString; the caller clears it.
VARIANT stringVariant(const QString &value)
{
    const std::wstring wide = value.toStdWString();
    VARIANT variant;
    VariantInit(&variant);
    variant.vt = VT_BSTR;
    variant.bstrVal = SysAllocString(wide.c_str());
    return variant;
}

// Resolves the name (one name, no interface id, the user's default locale) on every call and invokes
// it. `arguments` are in positional order and passed reversed, as Invoke expects; a property put names
// its one argument DISPID_PROPERTYPUT.
bool invokeDispatch(IDispatch *object, const QString &name, WORD flags, std::vector<VARIANT> &arguments,
                    VARIANT *result)
{
    if (!object)
        return false;
    std::wstring wideName = name.toStdWString();
    LPOLESTR names[] = {&wideName[0]};
    DISPID member = 0;
    if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, automationLocale, &member)))
        return false;

    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    DISPID propertyPut = DISPID_PROPERTYPUT;
    DISPPARAMS parameters = {};
    parameters.rgvarg = reversed.empty() ? nullptr : reversed.data();
    parameters.cArgs = UINT(reversed.size());
    if (flags & DISPATCH_PROPERTYPUT) {
        parameters.rgdispidNamedArgs = &propertyPut;
        parameters.cNamedArgs = 1;
    }
    return SUCCEEDED(
        object->Invoke(member, IID_NULL, automationLocale, flags, &parameters, result, nullptr, nullptr));
}

// Property get into a caller-owned VARIANT.
bool variantProperty(IDispatch *object, const QString &name, VARIANT *result)
{
    std::vector<VARIANT> none;
    return invokeDispatch(object, name, DISPATCH_PROPERTYGET, none, result);
}

// Property put of a copy of the value.
bool setVariantProperty(IDispatch *object, const QString &name, const VARIANT &value)
{
    VariantList arguments;
    arguments.values.resize(1);
    VariantInit(&arguments.values[0]);
    if (FAILED(VariantCopy(&arguments.values[0], const_cast<VARIANT *>(&value))))
        return false;
    return invokeDispatch(object, name, DISPATCH_PROPERTYPUT, arguments.values, nullptr);
}

// Method call; without a result variant the result is cleared.
bool invokeMethod(IDispatch *object, const QString &name, std::vector<VARIANT> &arguments, VARIANT *result)
{
    VariantGuard discarded;
    return invokeDispatch(object, name, DISPATCH_METHOD, arguments, result ? result : &discarded.value);
}

GUID guidFromUuid(const QUuid &uuid)
{
    GUID guid;
    guid.Data1 = uuid.data1;
    guid.Data2 = uuid.data2;
    guid.Data3 = uuid.data3;
    for (int index = 0; index < 8; ++index)
        guid.Data4[index] = uuid.data4[index];
    return guid;
}

QUuid uuidFromGuid(const GUID &guid)
{
    return QUuid(guid.Data1, guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2],
                 guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
}

class ComDispatch;

// An IUnknown held for the program; the COM reference is released with the last program reference.
class ComUnknown final : public AutomationUnknown
{
public:
    explicit ComUnknown(IUnknown *adopted) : unknown(adopted) {}
    void addRef() override { references.fetch_add(1); }
    void release() override
    {
        if (references.fetch_sub(1) == 1)
            delete this;
    }
    AutomationDispatch *queryDispatch() override;
    IUnknown *native() const { return unknown.get(); }

private:
    ~ComUnknown() override = default;
    std::atomic<int> references{1};
    InterfaceGuard<IUnknown> unknown;
};

// An IDispatch held for the program.
class ComDispatch final : public AutomationDispatch
{
public:
    explicit ComDispatch(IDispatch *adopted) : dispatch(adopted) {}
    void addRef() override { references.fetch_add(1); }
    void release() override
    {
        if (references.fetch_sub(1) == 1)
            delete this;
    }
    AutomationDispatch *queryDispatch() override
    {
        addRef();
        return this;
    }
    bool invoke(const QString &name, CallKind kind, const QList<Variant> &arguments,
                Variant *result) override;
    IDispatch *native() const { return dispatch.get(); }

private:
    ~ComDispatch() override = default;
    std::atomic<int> references{1};
    InterfaceGuard<IDispatch> dispatch;
};

AutomationDispatch *ComUnknown::queryDispatch()
{
    if (!unknown.get())
        return nullptr;
    IDispatch *dispatch = nullptr;
    if (FAILED(unknown.get()->QueryInterface(IID_IDispatch, reinterpret_cast<void **>(&dispatch))) ||
        !dispatch)
        return nullptr;
    return new ComDispatch(dispatch);
}

// The program's value as a VARIANT argument (owned by the caller, who clears it).
bool toNative(const Variant &value, VARIANT *native)
{
    VariantInit(native);
    switch (value.type) {
    case Variant::Type::Empty:
        return true;
    case Variant::Type::Null:
        native->vt = VT_NULL;
        return true;
    case Variant::Type::Error:
        native->vt = VT_ERROR;
        native->scode = SCODE(value.error);
        return true;
    case Variant::Type::Bool:
        *native = boolVariant(value.boolean);
        return true;
    case Variant::Type::Int32:
        *native = intVariant(LONG(value.integer));
        return true;
    case Variant::Type::Int:
        native->vt = VT_INT;
        native->intVal = INT(value.integer);
        return true;
    case Variant::Type::UInt32:
        native->vt = VT_UI4;
        native->ulVal = ULONG(value.integer);
        return true;
    case Variant::Type::UInt:
        native->vt = VT_UINT;
        native->uintVal = UINT(value.integer);
        return true;
    case Variant::Type::Int64:
        native->vt = VT_I8;
        native->llVal = LONGLONG(value.integer);
        return true;
    case Variant::Type::UInt64:
        native->vt = VT_UI8;
        native->ullVal = ULONGLONG(value.unsigned64);
        return true;
    case Variant::Type::Double:
        native->vt = VT_R8;
        native->dblVal = value.real;
        return true;
    case Variant::Type::String:
        *native = stringVariant(value.string);
        return native->bstrVal != nullptr;
    case Variant::Type::Dispatch: {
        IDispatch *dispatch = nullptr;
        if (value.dispatch) {
            auto *held = dynamic_cast<ComDispatch *>(value.dispatch.get());
            if (!held)
                return false;
            dispatch = held->native();
            dispatch->AddRef();
        }
        native->vt = VT_DISPATCH;
        native->pdispVal = dispatch;
        return true;
    }
    case Variant::Type::Unknown: {
        IUnknown *unknown = nullptr;
        if (value.unknown) {
            auto *held = dynamic_cast<ComUnknown *>(value.unknown.get());
            if (!held)
                return false;
            unknown = held->native();
            unknown->AddRef();
        }
        native->vt = VT_UNKNOWN;
        native->punkVal = unknown;
        return true;
    }
    case Variant::Type::Other:
        if (!value.native)
            return false;
        return SUCCEEDED(VariantCopy(native, static_cast<VARIANT *>(const_cast<void *>(value.native.get()))));
    }
    return false;
}

// Takes the VARIANT's value over into the program's form; the VARIANT is left cleared.
Variant fromNative(VARIANT *native)
{
    Variant value;
    switch (native->vt) {
    case VT_EMPTY:
        break;
    case VT_NULL:
        value.type = Variant::Type::Null;
        break;
    case VT_ERROR:
        value.type = Variant::Type::Error;
        value.error = quint32(native->scode);
        break;
    case VT_BOOL:
        value.type = Variant::Type::Bool;
        value.boolean = native->boolVal != VARIANT_FALSE;
        break;
    case VT_I4:
        value.type = Variant::Type::Int32;
        value.integer = native->lVal;
        break;
    case VT_INT:
        value.type = Variant::Type::Int;
        value.integer = native->intVal;
        break;
    case VT_UI4:
        value.type = Variant::Type::UInt32;
        value.integer = native->ulVal;
        break;
    case VT_UINT:
        value.type = Variant::Type::UInt;
        value.integer = native->uintVal;
        break;
    case VT_I8:
        value.type = Variant::Type::Int64;
        value.integer = native->llVal;
        break;
    case VT_UI8:
        value.type = Variant::Type::UInt64;
        value.unsigned64 = native->ullVal;
        break;
    case VT_R8:
        value.type = Variant::Type::Double;
        value.real = native->dblVal;
        break;
    case VT_BSTR:
        value.type = Variant::Type::String;
        if (native->bstrVal)
            value.string = QString::fromWCharArray(native->bstrVal, int(SysStringLen(native->bstrVal)));
        break;
    case VT_DISPATCH:
        value.type = Variant::Type::Dispatch;
        if (native->pdispVal)
            value.dispatch = DispatchPtr::adopt(new ComDispatch(native->pdispVal));
        native->vt = VT_EMPTY;  // the reference now belongs to the wrapper
        native->pdispVal = nullptr;
        break;
    case VT_UNKNOWN:
        value.type = Variant::Type::Unknown;
        if (native->punkVal)
            value.unknown = UnknownPtr::adopt(new ComUnknown(native->punkVal));
        native->vt = VT_EMPTY;
        native->punkVal = nullptr;
        break;
    default: {
        value.type = Variant::Type::Other;
        auto *copy = new VARIANT;
        VariantInit(copy);
        VariantCopy(copy, native);
        value.native = std::shared_ptr<const void>(copy, [](const void *held) {
            auto *variant = static_cast<VARIANT *>(const_cast<void *>(held));
            VariantClear(variant);
            delete variant;
        });
        break;
    }
    }
    VariantClear(native);
    return value;
}

bool ComDispatch::invoke(const QString &name, CallKind kind, const QList<Variant> &arguments, Variant *result)
{
    IDispatch *object = dispatch.get();
    VariantGuard returned;
    bool succeeded = false;
    switch (kind) {
    case CallKind::PropertyGet:
        succeeded = variantProperty(object, name, &returned.value);
        break;
    case CallKind::PropertyPut: {
        if (arguments.size() != 1)
            return false;
        VariantGuard value;
        if (!toNative(arguments.first(), &value.value))
            return false;
        succeeded = setVariantProperty(object, name, value.value);
        break;
    }
    case CallKind::Method: {
        VariantList natives;
        natives.values.resize(size_t(arguments.size()));
        for (VARIANT &native : natives.values)
            VariantInit(&native);
        for (int index = 0; index < arguments.size(); ++index) {
            if (!toNative(arguments.at(index), &natives.values[size_t(index)]))
                return false;
        }
        succeeded = invokeMethod(object, name, natives.values, result ? &returned.value : nullptr);
        break;
    }
    }
    if (succeeded && result)
        *result = fromNative(&returned.value);
    return succeeded;
}

class ComAutomation final : public Automation
{
public:
    bool hasServers() override { return true; }
    bool initializeApartment() override
    {
        return SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    }
    void uninitializeApartment() override { CoUninitialize(); }

    bool classIdFromProgId(const QString &progId, QUuid *classId) override
    {
        const std::wstring wide = progId.toStdWString();
        CLSID found = {};
        if (FAILED(CLSIDFromProgID(wide.c_str(), &found)))
            return false;
        if (classId)
            *classId = uuidFromGuid(found);
        return true;
    }

    UnknownPtr activeObject(const QUuid &classId) override
    {
        const GUID guid = guidFromUuid(classId);
        InterfaceGuard<IUnknown> unknown;
        if (FAILED(GetActiveObject(guid, nullptr, unknown.out())) || !unknown.get())
            return UnknownPtr();
        return UnknownPtr::adopt(new ComUnknown(unknown.detach()));
    }

    DispatchPtr createLocalServer(const QUuid &classId) override
    {
        const GUID guid = guidFromUuid(classId);
        InterfaceGuard<IDispatch> dispatch;
        if (FAILED(CoCreateInstance(guid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                    reinterpret_cast<void **>(dispatch.out()))) ||
            !dispatch.get())
            return DispatchPtr();
        return DispatchPtr::adopt(new ComDispatch(dispatch.detach()));
    }
};

}  // namespace
}  // namespace com

std::unique_ptr<Automation> createSystemAutomation()
{
    return std::make_unique<com::ComAutomation>();
}

}  // namespace platform
