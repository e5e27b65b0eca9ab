#include "platform/Automation.h"
#include "support/FakeAutomation.h"

#include <QtTest>

using namespace ollavan::testsupport;
using platform::DispatchPtr;
using platform::Variant;

Q_DECLARE_METATYPE(platform::Variant)

namespace {

Variant typed(Variant::Type type, qint64 integer)
{
    Variant value;
    value.type = type;
    value.integer = integer;
    return value;
}

Variant unsigned64(quint64 number)
{
    Variant value;
    value.type = Variant::Type::UInt64;
    value.unsigned64 = number;
    return value;
}

Variant real(double number)
{
    Variant value;
    value.type = Variant::Type::Double;
    value.real = number;
    return value;
}

Variant unknownOf(FakeAutomationObject *object)
{
    Variant value;
    value.type = Variant::Type::Unknown;
    value.unknown = platform::UnknownPtr::share(object);
    return value;
}

}  // namespace

// The late-bound call wrappers: how each one reads a result of every kind, and what a null object, an
// unknown name or a failed call gives.
class AutomationTest : public QObject
{
    Q_OBJECT

private slots:
    void integerResultsAreWidenedByTheirSignedness_data();
    void integerResultsAreWidenedByTheirSignedness();
    void objectResultsAreHandedOverWithOneReference();
    void stringResultsOnlyFromStrings();
    void failuresAndNullObjectsGiveEmptyResults();
    void putsSendExactlyOneValue();
    void methodArgumentsKeepTheirPositionalOrder();
    void printOutSendsBackgroundSixMissingAndBoundedCopies_data();
    void printOutSendsBackgroundSixMissingAndBoundedCopies();
    void apartmentIsLeftOnlyWhenItWasEntered();
};

void AutomationTest::integerResultsAreWidenedByTheirSignedness_data()
{
    QTest::addColumn<Variant>("value");
    QTest::addColumn<qint64>("property");  // invokeIntegerProperty
    QTest::addColumn<qint64>("method");    // invokeIntegerMethod with fallback -1

    QTest::newRow("i4 negative") << typed(Variant::Type::Int32, -5) << qint64(-5) << qint64(-5);
    QTest::newRow("int negative") << typed(Variant::Type::Int, -7) << qint64(-7) << qint64(-7);
    QTest::newRow("ui4 high bit") << typed(Variant::Type::UInt32, 0xFFFFFFF0u) << qint64(0xFFFFFFF0u)
                                  << qint64(0xFFFFFFF0u);
    QTest::newRow("uint high bit") << typed(Variant::Type::UInt, 0x80000000u) << qint64(0x80000000u)
                                   << qint64(0x80000000u);
    // 64-bit values are read by the property wrapper only; the method wrapper reads 32-bit results.
    QTest::newRow("i8") << typed(Variant::Type::Int64, -0x123456789LL) << qint64(-0x123456789LL)
                        << qint64(-1);
    QTest::newRow("ui8") << unsigned64(0x7000000000000001ULL) << qint64(0x7000000000000001LL) << qint64(-1);
    QTest::newRow("bool") << platform::boolVariant(true) << qint64(0) << qint64(-1);
    QTest::newRow("double") << real(3.0) << qint64(0) << qint64(-1);
    QTest::newRow("numeric string") << platform::stringVariant("12") << qint64(0) << qint64(-1);
    QTest::newRow("empty") << Variant() << qint64(0) << qint64(-1);
}

void AutomationTest::integerResultsAreWidenedByTheirSignedness()
{
    QFETCH(Variant, value);
    QFETCH(qint64, property);
    QFETCH(qint64, method);

    FakeAutomationLog log;
    FakeAutomationObject object(&log, "object");
    object.setProperty("Count", value);
    object.setMethod("GetCount", value);
    const DispatchPtr pointer = DispatchPtr::share(&object);

    QCOMPARE(platform::invokeIntegerProperty(pointer, "Count"), property);
    QCOMPARE(platform::invokeIntegerMethod(pointer, "GetCount", -1), method);
    QCOMPARE(log.entries(), QStringList({"object.get Count", "object.call GetCount()"}));
}

void AutomationTest::objectResultsAreHandedOverWithOneReference()
{
    FakeAutomationLog log;
    FakeAutomationObject child(&log, "child");
    FakeAutomationObject holder(&log, "holder");
    holder.setObjectProperty("Child", &child);
    holder.setObjectMethod("GetChild", &child);
    holder.setProperty("Name", platform::stringVariant("not an object"));
    const DispatchPtr pointer = DispatchPtr::share(&holder);

    {
        const DispatchPtr read = platform::dispatchProperty(pointer, "Child");
        QCOMPARE(read.get(), &child);
        QCOMPARE(child.references(), 1);
    }
    QCOMPARE(child.references(), 0);
    QCOMPARE(log.entries().last(), QString("child.release"));

    {
        // An IUnknown result is asked for its IDispatch.
        holder.setProperty("ChildUnknown", unknownOf(&child));
        const DispatchPtr read = platform::dispatchProperty(pointer, "ChildUnknown");
        QCOMPARE(read.get(), &child);
        QVERIFY(log.entries().contains("child.QueryInterface"));
    }
    holder.setProperty("ChildUnknown", Variant());  // the holder lets its own reference go
    QCOMPARE(child.references(), 0);

    {
        const Variant read = platform::invokeProperty(pointer, "Child");
        QCOMPARE(read.type, Variant::Type::Dispatch);
        QCOMPARE(read.dispatch.get(), &child);
        QCOMPARE(platform::invokeProperty(pointer, "Name").type, Variant::Type::Empty);
    }
    {
        const DispatchPtr read = platform::invokeDispatchMethod(pointer, "GetChild");
        QCOMPARE(read.get(), &child);
        // A method whose result is not an object gives null.
        holder.setMethod("GetName", platform::stringVariant("text"));
        QVERIFY(!platform::invokeDispatchMethod(pointer, "GetName"));
        QVERIFY(!platform::dispatchProperty(pointer, "Name"));
    }
    QCOMPARE(child.references(), 0);
}

void AutomationTest::stringResultsOnlyFromStrings()
{
    FakeAutomationLog log;
    FakeAutomationObject object(&log, "object");
    object.setProperty("Name", platform::stringVariant("Report.docx"));
    object.setProperty("Number", platform::intVariant(7));
    object.setMethod("GetTitle", platform::stringVariant("Quarterly.pdf"));
    object.setMethod("GetNumber", platform::intVariant(7));
    const DispatchPtr pointer = DispatchPtr::share(&object);

    QCOMPARE(platform::invokeStringProperty(pointer, "Name"), QString("Report.docx"));
    QCOMPARE(platform::invokeStringProperty(pointer, "Number"), QString());
    QCOMPARE(platform::invokeStringMethod(pointer, "GetTitle"), QString("Quarterly.pdf"));
    QCOMPARE(platform::invokeStringMethod(pointer, "GetNumber"), QString());
}

void AutomationTest::failuresAndNullObjectsGiveEmptyResults()
{
    FakeAutomationLog log;
    FakeAutomationObject object(&log, "object");
    object.setProperty("Hwnd", platform::intVariant(42));
    object.setProperty("Name", platform::stringVariant("x"));
    object.setMethod("GetNumPages", platform::intVariant(5));
    object.failMember("Hwnd");
    object.failMember("Name");
    object.failMember("GetNumPages");
    const DispatchPtr pointer = DispatchPtr::share(&object);

    QCOMPARE(platform::invokeIntegerProperty(pointer, "Hwnd"), qint64(0));
    QCOMPARE(platform::invokeStringProperty(pointer, "Name"), QString());
    QCOMPARE(platform::invokeIntegerMethod(pointer, "GetNumPages", -1), qint64(-1));
    Variant result = platform::intVariant(99);
    QVERIFY(!platform::variantProperty(pointer, "Hwnd", &result));
    QCOMPARE(result.type, Variant::Type::Empty);
    // An unknown member fails like a failed name lookup.
    QVERIFY(!platform::invokeMethod(pointer, "NoSuchMethod", {}));
    QVERIFY(!platform::setStringProperty(pointer, "NoSuchProperty", "x"));

    const DispatchPtr none;
    QCOMPARE(platform::invokeIntegerProperty(none, "Hwnd"), qint64(0));
    QCOMPARE(platform::invokeIntegerMethod(none, "GetNumPages", 17), qint64(17));
    QVERIFY(!platform::dispatchProperty(none, "ActiveDocument"));
    QVERIFY(!platform::invokeDispatchMethod(none, "GetPDDoc"));
    QCOMPARE(platform::invokeStringMethod(none, "GetTitle"), QString());
    QVERIFY(!platform::setVariantProperty(none, "firstPage", platform::intVariant(0)));
    QVERIFY(!platform::invokePrintOut(none, 1));
    QVERIFY(!platform::variantProperty(none, "x", &result));
}

void AutomationTest::putsSendExactlyOneValue()
{
    FakeAutomationLog log;
    FakeAutomationObject object(&log, "object");
    object.setProperty("ActivePrinter", platform::stringVariant("Old"));
    object.setProperty("pageHandling", platform::intVariant(0));
    const DispatchPtr pointer = DispatchPtr::share(&object);

    QVERIFY(platform::setStringProperty(pointer, "ActivePrinter", "Office Laser"));
    Variant shrink = real(2.0);
    QVERIFY(platform::setVariantProperty(pointer, "pageHandling", shrink));
    shrink.real = 5.0;  // the property received a copy
    QCOMPARE(object.property("pageHandling").real, 2.0);
    QCOMPARE(object.property("ActivePrinter").string, QString("Office Laser"));
    QCOMPARE(log.entries(),
             QStringList({"object.put ActivePrinter = \"Office Laser\"", "object.put pageHandling = r8:2"}));

    object.failMember("ActivePrinter");
    QVERIFY(!platform::setStringProperty(pointer, "ActivePrinter", "Other"));
}

void AutomationTest::methodArgumentsKeepTheirPositionalOrder()
{
    FakeAutomationLog log;
    FakeAutomationObject object(&log, "view");
    QList<Variant> received;
    object.setMethod("Open", [&received](const QList<Variant> &arguments, Variant *result) {
        received = arguments;
        *result = platform::boolVariant(true);
        return true;
    });
    const DispatchPtr pointer = DispatchPtr::share(&object);

    Variant result;
    QVERIFY(platform::invokeMethod(
        pointer, "Open", {platform::stringVariant("C:/a.pdf"), platform::stringVariant("a")}, &result));
    QCOMPARE(received.size(), 2);
    QCOMPARE(received.at(0).string, QString("C:/a.pdf"));
    QCOMPARE(received.at(1).string, QString("a"));
    QCOMPARE(result.type, Variant::Type::Bool);
    QVERIFY(result.boolean);
    // Without a result variant the call still succeeds and its result is dropped.
    QVERIFY(platform::invokeMethod(pointer, "Open", {}));
}

void AutomationTest::printOutSendsBackgroundSixMissingAndBoundedCopies_data()
{
    QTest::addColumn<int>("copies");
    QTest::addColumn<QString>("sent");
    QTest::newRow("zero") << 0 << "i4:1";
    QTest::newRow("negative") << -4 << "i4:1";
    QTest::newRow("one") << 1 << "i4:1";
    QTest::newRow("three") << 3 << "i4:3";
    QTest::newRow("upper bound") << 9999 << "i4:9999";
    QTest::newRow("above") << 12000 << "i4:9999";
}

void AutomationTest::printOutSendsBackgroundSixMissingAndBoundedCopies()
{
    QFETCH(int, copies);
    QFETCH(QString, sent);

    FakeAutomationLog log;
    FakeAutomationObject document(&log, "document");
    QList<Variant> received;
    document.setMethod("PrintOut", [&received](const QList<Variant> &arguments, Variant *) {
        received = arguments;
        return true;
    });
    const DispatchPtr pointer = DispatchPtr::share(&document);
    QVERIFY(platform::invokePrintOut(pointer, copies));

    QCOMPARE(log.entries(),
             QStringList({"document.call PrintOut(false, missing, missing, missing, missing, missing, "
                          "missing, " +
                          sent + ")"}));
    QCOMPARE(received.size(), 8);
    QCOMPARE(received.at(0).type, Variant::Type::Bool);
    for (int position = 1; position <= 6; ++position) {
        QCOMPARE(received.at(position).type, Variant::Type::Error);
        QCOMPARE(received.at(position).error, 0x80020004u);
    }
    QCOMPARE(received.at(7).type, Variant::Type::Int32);

    document.failMember("PrintOut");
    QVERIFY(!platform::invokePrintOut(pointer, copies));
}

void AutomationTest::apartmentIsLeftOnlyWhenItWasEntered()
{
    FakeAutomationLog log;
    FakeAutomationRegistry registry(&log);
    {
        const platform::AutomationApartment apartment;
    }
    QCOMPARE(log.entries(), QStringList({"CoInitializeEx", "CoUninitialize"}));
    QCOMPARE(registry.openApartments(), 0);

    log.clear();
    registry.failApartment(true);
    {
        const platform::AutomationApartment apartment;
    }
    QCOMPARE(log.entries(), QStringList({"CoInitializeEx"}));

    // Without servers (the Linux desktop) no class is registered.
    platform::setAutomationForTesting(nullptr);
    QUuid classId;
    QVERIFY(!platform::automation().classIdFromProgId("Word.Application", &classId));
    QVERIFY(!platform::automation().classIdFromProgId("AcroExch.App", &classId));
    platform::setAutomationForTesting(&registry);
}

QTEST_GUILESS_MAIN(AutomationTest)
#include "tst_automation.moc"
