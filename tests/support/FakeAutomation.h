#pragma once

#include "platform/Automation.h"

#include <QHash>
#include <QStringList>

#include <map>
#include <memory>

namespace ollavan::testsupport {

// In-process automation objects and classes for step-order tests of the automation routes, installed as the
// process's automation for its lifetime. Every class lookup, call and last release is written to `log`
// ("CLSIDFromProgID Word.Application", "GetActiveObject Word.Application", "CoCreateInstance AcroExch.App",
// "word.QueryInterface", "word.get Hwnd", "word.put ActivePrinter = "Office"", "doc.call Save(i4:3)",
// "doc.release") with values as true, false, i4:N, ui4:N, "text", missing, @LABEL (an object) or nothing.
// Members are defined alike ("label.member=value"). A call whose log line starts with one of `failing` fails;
// so does a get or call of an undefined member. Puts are accepted and change the member.
class FakeAutomation : public platform::Automation
{
public:
    class Object : public platform::AutomationDispatch
    {
    public:
        Object(FakeAutomation &owner, const QString &label) : owner(owner), label(label) {}
        void addRef() override { ++references; }
        void release() override;
        platform::AutomationDispatch *queryDispatch() override;
        bool invoke(const QString &member, CallKind kind, const QList<platform::Variant> &arguments,
                    platform::Variant *result) override;

        FakeAutomation &owner;
        const QString label;
        QHash<QString, QString> members;
        Object *dispatchTarget = nullptr;  // QueryInterface leads here instead of to the object itself
        int references = 0;
    };

    FakeAutomation() { platform::setAutomationForTesting(this); }
    ~FakeAutomation() override { platform::setAutomationForTesting(nullptr); }

    // Defines members, e.g. {"acrobat.GetActiveDoc=@avdoc", "pddoc.GetNumPages=i4:4"}.
    void define(const QStringList &members);
    // A ProgID: GetActiveObject finds `running` (through an IUnknown labelled "<running>-unknown"; none when
    // empty), CoCreateInstance gives `created` (fails when empty).
    void registerClass(const QString &progId, const QString &running, const QString &created);
    // True when every object's references were given back.
    bool allReleased() const;

    QStringList log;
    QStringList failing;
    bool servers = true;

    bool hasServers() override { return servers; }
    bool initializeApartment() override { return false; }
    void uninitializeApartment() override {}
    bool classIdFromProgId(const QString &progId, QUuid *classId) override;
    platform::UnknownPtr activeObject(const QUuid &classId) override;
    platform::DispatchPtr createLocalServer(const QUuid &classId) override;

private:
    Object *object(const QString &label);
    platform::Variant parse(const QString &text);
    // Logs the line; false when the call is to fail.
    bool record(const QString &line);

    struct Class
    {
        QString progId, running, created;
    };
    QHash<QUuid, Class> classes;
    std::map<QString, std::unique_ptr<Object>> objects;
};

}  // namespace ollavan::testsupport
