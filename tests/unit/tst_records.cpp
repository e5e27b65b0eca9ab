#include "base/I18n.h"
#include "base/PrintOptions.h"
#include "model/PresetParameters.h"

#include <QtTest>

class TestRecords : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { I18n::setLanguage("en"); }

    void optionWords_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("readAs");  // by the colour, sides and edge readers, written back as words
        for (const char *row :
             {"color=color duplex long", "mono=mono duplex long", "simplex=mono simplex long",
              "duplex=mono duplex long", "short=mono duplex short", "long=mono duplex long",
              "Color=mono duplex long", " simplex=mono duplex long", "=mono duplex long"})
            QTest::newRow(row) << QString(row).section('=', 0, 0) << QString(row).section('=', 1);
    }
    void optionWords()
    {
        QFETCH(QString, word);
        QFETCH(QString, readAs);
        QCOMPARE(optionText(colorModeFromText(word)) + ' ' + optionText(duplexModeFromText(word)) + ' ' +
                     optionText(duplexEdgeFromText(word)),
                 readAs);
    }

    void settingsSummary_data()
    {
        QTest::addColumn<QString>("preset");  // the language set, colour, sides, edge, paper, driver settings
        QTest::addColumn<QString>("summary");
        QTest::newRow("en") << "en mono duplex long A4 -"
                            << "Mono · Double-sided (long edge) · A4";
        QTest::newRow("edge unused") << "en color simplex short A3 -"
                                     << "Color · Single-sided · A3";
        QTest::newRow("driver") << "en mono duplex short B5 driver"
                                << "Mono · Double-sided (short edge) · B5 · Driver settings";
        QTest::newRow("de") << "de color duplex long A4 driver"
                            << "Farbe · Beidseitig (lange Kante) · A4 · Treibereinstellungen";
        QTest::newRow("ja") << "ja mono simplex long Letter -"
                            << "モノクロ · 片面 · Letter";
    }
    void settingsSummary()
    {
        QFETCH(QString, preset);
        QFETCH(QString, summary);
        const QStringList words = preset.split(' ');
        I18n::setLanguage("ko");
        I18n::setLanguage(words[0]);
        QCOMPARE(I18n::language(), words[0] == "xx" ? "en" : words[0]);
        QCOMPARE(presetParameters({0, "", colorModeFromText(words[1]), duplexModeFromText(words[2]),
                                   duplexEdgeFromText(words[3]), words[4], "", "", 1, words[5] == "driver",
                                   "", 0}),
                 summary);
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
