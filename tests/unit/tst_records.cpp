#include "base/I18n.h"
#include "base/PrintOptions.h"
#include "model/PresetParameters.h"

#include <QtTest>

class TestRecords : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { I18n::setLanguage(QStringLiteral("en")); }
    void optionWordsReadAndWriteBack_data();
    void optionWordsReadAndWriteBack();
    void settingsSummary_data();
    void settingsSummary();
};

void TestRecords::optionWordsReadAndWriteBack_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("readAs");  // what the colour, sides and edge readers make of it, written back
    QTest::newRow("color") << "color" << "color duplex long";
    QTest::newRow("mono") << "mono" << "mono duplex long";
    QTest::newRow("simplex") << "simplex" << "mono simplex long";
    QTest::newRow("duplex") << "duplex" << "mono duplex long";
    QTest::newRow("short") << "short" << "mono duplex short";
    QTest::newRow("long") << "long" << "mono duplex long";
    QTest::newRow("capitalised") << "Color" << "mono duplex long";
    QTest::newRow("padded") << " simplex" << "mono duplex long";
    QTest::newRow("empty") << "" << "mono duplex long";
}

void TestRecords::optionWordsReadAndWriteBack()
{
    QFETCH(QString, word);
    QFETCH(QString, readAs);
    QCOMPARE(QStringList({optionText(colorModeFromText(word)), optionText(duplexModeFromText(word)),
                          optionText(duplexEdgeFromText(word))})
                 .join(' '),
             readAs);
}

void TestRecords::settingsSummary_data()
{
    QTest::addColumn<QString>("options");  // colour, sides, edge, paper and whether the driver's settings
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("summary");
    QTest::newRow("mono long") << "mono duplex long A4 -" << "en" << "Mono · Double-sided (long edge) · A4";
    QTest::newRow("edge unused") << "color simplex short A3 -" << "en" << "Color · Single-sided · A3";
    QTest::newRow("short, driver") << "mono duplex short Letter driver" << "en"
                                   << "Mono · Double-sided (short edge) · Letter · Driver settings";
    QTest::newRow("German") << "color duplex long A4 driver" << "de"
                            << "Farbe · Beidseitig (lange Kante) · A4 · Treibereinstellungen";
    QTest::newRow("Japanese") << "mono simplex long B5 -" << "ja" << "モノクロ · 片面 · B5";
}

void TestRecords::settingsSummary()
{
    QFETCH(QString, options);
    QFETCH(QString, language);
    QFETCH(QString, summary);
    const QStringList words = options.split(' ');
    PrintPreset preset;
    preset.colorMode = colorModeFromText(words[0]);
    preset.duplexMode = duplexModeFromText(words[1]);
    preset.duplexEdge = duplexEdgeFromText(words[2]);
    preset.paperSize = words[3];
    preset.useDriverSettings = words[4] == "driver";
    I18n::setLanguage(language);
    QCOMPARE(presetParameters(preset), summary);
}

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
