#include "base/I18n.h"
#include "base/PrintOptions.h"
#include "base/Records.h"
#include "model/PresetParameters.h"

#include <QtTest>

#include <utility>

namespace {

PrintPreset filledPreset()
{
    PrintPreset preset;
    preset.id = 12;
    preset.title = QStringLiteral("Reports");
    preset.colorMode = ColorMode::Color;
    preset.duplexMode = DuplexMode::Duplex;
    preset.duplexEdge = DuplexEdge::Short;
    preset.paperSize = QStringLiteral("A3");
    preset.printerName = QStringLiteral("Laser");
    preset.backgroundColor = QStringLiteral("#1E88E5");
    preset.copies = 3;
    preset.useDriverSettings = true;
    preset.hotkey = QStringLiteral("Ctrl+Alt+P");
    preset.sortOrder = 4;
    return preset;
}

void compareAllFields(const PrintPreset &actual, const PrintPreset &expected)
{
    QCOMPARE(actual.id, expected.id);
    QCOMPARE(actual.title, expected.title);
    QCOMPARE(actual.colorMode, expected.colorMode);
    QCOMPARE(actual.duplexMode, expected.duplexMode);
    QCOMPARE(actual.duplexEdge, expected.duplexEdge);
    QCOMPARE(actual.paperSize, expected.paperSize);
    QCOMPARE(actual.printerName, expected.printerName);
    QCOMPARE(actual.backgroundColor, expected.backgroundColor);
    QCOMPARE(actual.copies, expected.copies);
    QCOMPARE(actual.useDriverSettings, expected.useDriverSettings);
    QCOMPARE(actual.hotkey, expected.hotkey);
    QCOMPARE(actual.sortOrder, expected.sortOrder);
}

}  // namespace

class TestRecords : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { I18n::setLanguage(QStringLiteral("en")); }
    void defaultsOfEveryRecord();
    void copiesAndMovesCarryEveryField();
    void vocabularyReadersTreatUnexpectedWordsSafely_data();
    void vocabularyReadersTreatUnexpectedWordsSafely();
    void parametersSummary_data();
    void parametersSummary();
    void parametersSummaryIsTranslatedWhenMade();
};

void TestRecords::defaultsOfEveryRecord()
{
    const PrintPreset preset;
    QCOMPARE(preset.id, 0);
    // Mono and double-sided on the long edge, as every reader took the empty words of a default preset.
    QCOMPARE(preset.colorMode, ColorMode::Mono);
    QCOMPARE(preset.duplexMode, DuplexMode::Duplex);
    QCOMPARE(preset.duplexEdge, DuplexEdge::Long);
    QCOMPARE(preset.copies, 1);
    QCOMPARE(preset.useDriverSettings, false);
    QCOMPARE(preset.sortOrder, 0);
    for (const QString *text :
         {&preset.title, &preset.paperSize, &preset.printerName, &preset.backgroundColor, &preset.hotkey}) {
        QVERIFY(text->isEmpty());
    }

    const PrintHistoryEntry entry;
    QCOMPARE(entry.id, 0);
    QVERIFY(entry.createdAt.isNull());
    QVERIFY(entry.jobName.isEmpty());
    QVERIFY(entry.printerName.isEmpty());
    QVERIFY(entry.parameters.isEmpty());
    QCOMPARE(entry.copies, 1);
    QCOMPARE(entry.pageCount, 0);
    QCOMPARE(entry.totalPages, 0);

    const AppLanguage language;
    QVERIFY(language.code.isEmpty());
    QVERIFY(language.nativeName.isEmpty());
    QVERIFY(language.shortLabel.isEmpty());
}

void TestRecords::copiesAndMovesCarryEveryField()
{
    const PrintPreset original = filledPreset();
    PrintPreset copy(original);
    compareAllFields(copy, original);
    PrintPreset assigned;
    assigned = original;
    compareAllFields(assigned, original);
    PrintPreset moved(std::move(copy));
    compareAllFields(moved, original);
    PrintPreset moveAssigned;
    moveAssigned = std::move(moved);
    compareAllFields(moveAssigned, original);
    // A copy is independent of its source.
    assigned.title = QStringLiteral("Other");
    QCOMPARE(original.title, QStringLiteral("Reports"));

    PrintHistoryEntry entry;
    entry.id = 5;
    entry.createdAt = QDateTime(QDate(2026, 12, 4), QTime(13, 24, 7, 123));
    entry.jobName = QStringLiteral("report.pdf");
    entry.printerName = QStringLiteral("Laser");
    entry.parameters = QStringLiteral("Mono");
    entry.copies = 2;
    entry.pageCount = 3;
    entry.totalPages = 6;
    const PrintHistoryEntry entryCopy = entry;
    QCOMPARE(entryCopy.id, 5);
    QCOMPARE(entryCopy.createdAt, entry.createdAt);
    QCOMPARE(entryCopy.jobName, entry.jobName);
    QCOMPARE(entryCopy.printerName, entry.printerName);
    QCOMPARE(entryCopy.parameters, entry.parameters);
    QCOMPARE(entryCopy.copies, 2);
    QCOMPARE(entryCopy.pageCount, 3);
    QCOMPARE(entryCopy.totalPages, 6);
}

void TestRecords::vocabularyReadersTreatUnexpectedWordsSafely_data()
{
    QTest::addColumn<QString>("colorMode");
    QTest::addColumn<QString>("duplexMode");
    QTest::addColumn<QString>("duplexEdge");
    QTest::addColumn<bool>("color");
    QTest::addColumn<bool>("doubleSided");
    QTest::addColumn<bool>("shortEdge");
    QTest::newRow("colour, single-sided") << "color"
                                          << "simplex"
                                          << "long" << true << false << false;
    QTest::newRow("mono, double-sided long") << "mono"
                                             << "duplex"
                                             << "long" << false << true << false;
    QTest::newRow("double-sided short") << "mono"
                                        << "duplex"
                                        << "short" << false << true << true;
    QTest::newRow("capitalised words are unexpected") << "Color"
                                                      << "Simplex"
                                                      << "Short" << false << true << false;
    QTest::newRow("empty words") << ""
                                 << ""
                                 << "" << false << true << false;
    QTest::newRow("misspelt words") << "colour"
                                    << "single"
                                    << "shortest" << false << true << false;
    QTest::newRow("padded words") << " color"
                                  << "simplex "
                                  << "short " << false << true << false;
}

void TestRecords::vocabularyReadersTreatUnexpectedWordsSafely()
{
    QFETCH(QString, colorMode);
    QFETCH(QString, duplexMode);
    QFETCH(QString, duplexEdge);
    QTEST(colorModeFromText(colorMode) == ColorMode::Color, "color");
    QTEST(duplexModeFromText(duplexMode) == DuplexMode::Duplex, "doubleSided");
    QTEST(duplexEdgeFromText(duplexEdge) == DuplexEdge::Short, "shortEdge");
}

void TestRecords::parametersSummary_data()
{
    QTest::addColumn<QString>("colorMode");
    QTest::addColumn<QString>("duplexMode");
    QTest::addColumn<QString>("duplexEdge");
    QTest::addColumn<QString>("paperSize");
    QTest::addColumn<bool>("driverSettings");
    QTest::addColumn<QString>("expected");
    QTest::newRow("mono long") << "mono"
                               << "duplex"
                               << "long"
                               << "A4" << false << QString::fromUtf8("Mono · Double-sided (long edge) · A4");
    QTest::newRow("colour single") << "color"
                                   << "simplex"
                                   << "short"
                                   << "Letter" << false << QString::fromUtf8("Color · Single-sided · Letter");
    QTest::newRow("short edge") << "color"
                                << "duplex"
                                << "short"
                                << "A5" << false
                                << QString::fromUtf8("Color · Double-sided (short edge) · A5");
    QTest::newRow("driver settings") << "mono"
                                     << "simplex"
                                     << "long"
                                     << "A4" << true
                                     << QString::fromUtf8("Mono · Single-sided · A4 · Driver settings");
    QTest::newRow("unexpected words")
        << "grey"
        << "booklet"
        << ""
        << "B5" << false << QString::fromUtf8("Mono · Double-sided (long edge) · B5");
    QTest::newRow("paper as stored") << "mono"
                                     << "simplex"
                                     << "long"
                                     << "Custom 100 x 150 mm" << false
                                     << QString::fromUtf8("Mono · Single-sided · Custom 100 x 150 mm");
    QTest::newRow("no paper") << "mono"
                              << "simplex"
                              << "long"
                              << "" << false << QString::fromUtf8("Mono · Single-sided · ");
}

void TestRecords::parametersSummary()
{
    QFETCH(QString, colorMode);
    QFETCH(QString, duplexMode);
    QFETCH(QString, duplexEdge);
    QFETCH(QString, paperSize);
    QFETCH(bool, driverSettings);
    PrintPreset preset;
    preset.colorMode = colorModeFromText(colorMode);
    preset.duplexMode = duplexModeFromText(duplexMode);
    preset.duplexEdge = duplexEdgeFromText(duplexEdge);
    preset.paperSize = paperSize;
    preset.useDriverSettings = driverSettings;
    const QString summary = presetParameters(preset);
    QTEST(summary, "expected");
    // The separator is a middle dot (U+00B7) between single spaces.
    QVERIFY(summary.contains(QStringLiteral(" \u00b7 ")));
}

void TestRecords::parametersSummaryIsTranslatedWhenMade()
{
    PrintPreset preset;
    preset.colorMode = ColorMode::Color;
    preset.duplexMode = DuplexMode::Duplex;
    preset.paperSize = QStringLiteral("A4");
    preset.useDriverSettings = true;
    const QString english = presetParameters(preset);

    I18n::setLanguage(QStringLiteral("de"));
    const QString german = presetParameters(preset);
    QVERIFY2(german.startsWith(QString::fromUtf8("Farbe · ")), qPrintable(german));
    QVERIFY(german.endsWith(QString::fromUtf8(" · A4 · ") + I18n::text(QStringLiteral("Driver settings"))));
    QVERIFY(german != english);
    QCOMPARE(german.count(QChar(0x00b7)), 3);

    I18n::setLanguage(QStringLiteral("fr"));
    QVERIFY2(presetParameters(preset).startsWith(QString::fromUtf8("Couleur · ")),
             qPrintable(presetParameters(preset)));

    // Switching back gives English again: nothing is cached from an earlier language.
    I18n::setLanguage(QStringLiteral("en"));
    QCOMPARE(presetParameters(preset), english);
}

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
