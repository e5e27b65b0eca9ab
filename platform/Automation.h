#pragma once

#include <QList>
#include <QString>
#include <QUuid>
#include <QtGlobal>

#include <memory>
#include <utility>

namespace platform {

class AutomationDispatch;

// A reference-counted automation object (IUnknown on Windows, an in-process object in tests). Every
// reference is taken with addRef and given back with release; AutomationPtr does both.
class AutomationUnknown
{
public:
    virtual void addRef() = 0;
    virtual void release() = 0;
    // The object's late-bound interface (QueryInterface for IDispatch) with one reference added; null
    // when the object has none.
    virtual AutomationDispatch *queryDispatch() = 0;

protected:
    virtual ~AutomationUnknown() = default;
};

struct Variant;

// An object that answers calls by member name (IDispatch).
class AutomationDispatch : public AutomationUnknown
{
public:
    enum class CallKind { Method, PropertyGet, PropertyPut };

    // Resolves `name` and calls it. Arguments are in the member's positional order (a put has exactly
    // one: the new value). On success a non-null `result` receives the returned value. False when the
    // name is unknown or the call failed.
    virtual bool invoke(const QString &name, CallKind kind, const QList<Variant> &arguments,
                        Variant *result) = 0;
};

// Owns one reference to an automation object and releases it when it goes away (a scope guard for
// interfaces). Copies add a reference.
template <typename T> class AutomationPtr
{
public:
    AutomationPtr() = default;
    AutomationPtr(std::nullptr_t) {}
    // Takes over a reference the caller already holds (no addRef).
    static AutomationPtr adopt(T *object)
    {
        AutomationPtr pointer;
        pointer.object = object;
        return pointer;
    }
    // Adds a reference of its own.
    static AutomationPtr share(T *object)
    {
        if (object)
            object->addRef();
        return adopt(object);
    }
    AutomationPtr(const AutomationPtr &other) : object(other.object)
    {
        if (object)
            object->addRef();
    }
    AutomationPtr(AutomationPtr &&other) noexcept : object(std::exchange(other.object, nullptr)) {}
    AutomationPtr &operator=(AutomationPtr other) noexcept
    {
        std::swap(object, other.object);
        return *this;
    }
    ~AutomationPtr() { reset(); }

    void reset()
    {
        if (T *held = std::exchange(object, nullptr))
            held->release();
    }
    // Gives up the reference without releasing it.
    T *detach() { return std::exchange(object, nullptr); }
    T *get() const { return object; }
    T *operator->() const { return object; }
    explicit operator bool() const { return object != nullptr; }

private:
    T *object = nullptr;
};

using UnknownPtr = AutomationPtr<AutomationUnknown>;
using DispatchPtr = AutomationPtr<AutomationDispatch>;

// An automation value (VARIANT) in the kinds the program sends and reads.
struct Variant
{
    enum class Type {
        Empty,     // VT_EMPTY
        Null,      // VT_NULL
        Error,     // VT_ERROR with `error`; DISP_E_PARAMNOTFOUND marks a missing optional argument
        Bool,      // VT_BOOL
        Int32,     // VT_I4
        Int,       // VT_INT
        UInt32,    // VT_UI4
        UInt,      // VT_UINT
        Int64,     // VT_I8
        UInt64,    // VT_UI8
        Double,    // VT_R8
        String,    // VT_BSTR
        Dispatch,  // VT_DISPATCH
        Unknown,   // VT_UNKNOWN
        Other      // any other type; carries no value the program reads
    };

    Type type = Type::Empty;
    bool boolean = false;
    qint64 integer = 0;      // Int32, Int, Int64 (and UInt32, UInt as their unsigned value)
    quint64 unsigned64 = 0;  // UInt64
    double real = 0.0;
    quint32 error = 0;
    QString string;
    DispatchPtr dispatch;
    UnknownPtr unknown;
    // The platform's own copy of a value of type Other, so that it can be handed back unchanged.
    std::shared_ptr<const void> native;
};

// DISP_E_PARAMNOTFOUND: the error code of a missing optional argument.
constexpr quint32 parameterNotFound = 0x80020004u;

// The variant makers.
Variant missingVariant();
Variant boolVariant(bool value);
Variant intVariant(qint32 value);
Variant stringVariant(const QString &value);

// The late-bound call wrappers. Each takes the object (may be null) and a member name and resolves the
// name on every call; a null object, an unknown name or a failed call gives the empty result.

// Property get: the returned object as a Dispatch variant when the result is an object, else Empty.
Variant invokeProperty(const DispatchPtr &object, const QString &name);
// Property get: the returned object (an Unknown result is asked for its late-bound interface), else null.
DispatchPtr dispatchProperty(const DispatchPtr &object, const QString &name);
// Property get: the string result, else empty.
QString invokeStringProperty(const DispatchPtr &object, const QString &name);
// Property get: Int32 and Int sign-extended, UInt32 and UInt zero-extended, Int64 and UInt64 as they
// are; any other type 0.
qint64 invokeIntegerProperty(const DispatchPtr &object, const QString &name);
// Property get into the caller's variant; true when the call succeeded.
bool variantProperty(const DispatchPtr &object, const QString &name, Variant *result);
// Property put of a string; true when the call succeeded.
bool setStringProperty(const DispatchPtr &object, const QString &name, const QString &value);
// Property put of a copy of the variant; true when the call succeeded.
bool setVariantProperty(const DispatchPtr &object, const QString &name, const Variant &value);
// Method call with arguments in positional order and an optional result; true when the call succeeded.
bool invokeMethod(const DispatchPtr &object, const QString &name, const QList<Variant> &arguments,
                  Variant *result = nullptr);
// Method call without arguments returning an object; null for any other result.
DispatchPtr invokeDispatchMethod(const DispatchPtr &object, const QString &name);
// Method call without arguments returning a 32-bit integer (Int32, Int, UInt32, UInt); the fallback when
// the call fails or the result has another type.
qint64 invokeIntegerMethod(const DispatchPtr &object, const QString &name, qint64 fallback);
// Method call without arguments returning a string; empty for any other result.
QString invokeStringMethod(const DispatchPtr &object, const QString &name);
// The document's "PrintOut": Background false, six missing arguments, then the copies bounded to
// 1..9999. True when the call succeeded.
bool invokePrintOut(const DispatchPtr &document, int copies);

// The automation servers of the desktop session: class lookup by ProgID, running objects and local
// servers, and the thread's apartment.
class Automation
{
public:
    virtual ~Automation() = default;

    // Whether this system has automation servers at all: false where no application can be driven (Linux),
    // so that routes through Word, WPS or Acrobat are not available there.
    virtual bool hasServers() = 0;
    // CoInitializeEx with a single-threaded apartment. True when the apartment has to be left again
    // (success, including "already initialised"); false when initialisation failed.
    virtual bool initializeApartment() = 0;
    // CoUninitialize.
    virtual void uninitializeApartment() = 0;
    // CLSIDFromProgID; false when the ProgID is not registered.
    virtual bool classIdFromProgId(const QString &progId, QUuid *classId) = 0;
    // GetActiveObject: the running instance of the class; null when none runs.
    virtual UnknownPtr activeObject(const QUuid &classId) = 0;
    // CoCreateInstance as a local server for IDispatch; null on failure.
    virtual DispatchPtr createLocalServer(const QUuid &classId) = 0;
};

// The process's automation: the platform's own unless a test installed another.
Automation &automation();
// Installs a replacement (tests); nullptr goes back to the platform's own. Not owned.
void setAutomationForTesting(Automation *replacement);
// Defined once per platform (platform/win, platform/linux).
std::unique_ptr<Automation> createSystemAutomation();

// The calling thread's automation apartment for the lifetime of the scope: initialised on construction,
// left on destruction when the initialisation succeeded. A failed initialisation is not an error.
class AutomationApartment
{
public:
    AutomationApartment();
    ~AutomationApartment();
    AutomationApartment(const AutomationApartment &) = delete;
    AutomationApartment &operator=(const AutomationApartment &) = delete;

private:
    Automation &owner;
    bool initialized;
};

}  // namespace platform
