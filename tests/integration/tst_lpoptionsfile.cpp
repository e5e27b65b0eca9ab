// The user's lpoptions file as the CUPS spooler edits it: lines of other destinations keep their bytes, a
// default switched away and back gives back the same file, and option texts survive libcups' own parser.
#include "platform/linux/LpOptions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using platform::CupsOption;
using platform::LpOptionsFile;

class LpOptionsFileTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir folder;

    QString write(const QByteArray &content)
    {
        const QString path = folder.path() + QStringLiteral("/.cups/lpoptions");
        QFile::remove(path);
        if (content.isNull())
            return path;
        QDir().mkpath(folder.path() + QStringLiteral("/.cups"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(content);
        return path;
    }

    static QByteArray read(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QByteArray();
        QByteArray content = file.readAll();
        return content.isNull() ? QByteArray("") : content;
    }

private slots:
    void switchingAwayAndBackGivesTheSameFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("other");
        QTest::newRow("no file") << QByteArray() << "office";
        QTest::newRow("comments, odd spacing, CRLF")
            << QByteArray("# my printers\n  Dest   annex   copies=2\r\nDefault plain\nDest office media=A4\n")
            << "office";
        QTest::newRow("default has options")
            << QByteArray("Default office sides=one-sided\nDest annex copies=3\n") << "annex";
        QTest::newRow("default is last without options")
            << QByteArray("Dest office copies=3\nDefault annex\n") << "office";
        QTest::newRow("switch to a destination without a line")
            << QByteArray("Default annex\nDest office copies=3") << "cellar";
        QTest::newRow("instance default")
            << QByteArray("Dest office copies=2\nDefault office/draft copies=9\n") << "office";
    }

    void switchingAwayAndBackGivesTheSameFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, other);
        const QString path = write(content);
        // The switch: another default with options of its own.
        LpOptionsFile file;
        QVERIFY(file.load(path));
        const QString previous = file.defaultDestination();
        const QByteArray previousOptions = file.optionText(other);
        file.setDefaultDestination(other);
        file.setOptionText(other, "copies=5 sides=two-sided-long-edge");
        QVERIFY(file.save());
        LpOptionsFile during;
        QVERIFY(during.load(path));
        QCOMPARE(during.defaultDestination(), other);
        QCOMPARE(during.optionText(other), QByteArray("copies=5 sides=two-sided-long-edge"));
        // And back: the options first, then the default.
        during.setOptionText(other, previousOptions);
        if (previous.isEmpty())
            during.clearDefaultDestination();
        else
            during.setDefaultDestination(previous);
        QVERIFY(during.save());
        QCOMPARE(read(path), content);
    }

    void otherLinesKeepTheirBytes()
    {
        const QByteArray content(
            "#comment\n\tDest annex\tcopies=2  \nDest office media=A4\r\nsomething else\n");
        const QString path = write(content);
        LpOptionsFile file;
        QVERIFY(file.load(path));
        QCOMPARE(file.optionText(QStringLiteral("annex")), QByteArray("copies=2"));
        QCOMPARE(file.optionText(QStringLiteral("OFFICE")), QByteArray("media=A4"));
        file.setOptionText(QStringLiteral("office"), "media=A5");
        QCOMPARE(file.content(),
                 QByteArray("#comment\n\tDest annex\tcopies=2  \nDest office media=A5\nsomething else\n"));
        // A Dest line without options is dropped, a missing one is added at the end.
        file.setOptionText(QStringLiteral("annex"), QByteArray());
        file.setOptionText(QStringLiteral("cellar"), "copies=1");
        QCOMPARE(file.content(),
                 QByteArray("#comment\nDest office media=A5\nsomething else\nDest cellar copies=1\n"));
    }

    void unwritableHomeIsAnError()
    {
        QTemporaryDir home;
        const QString blocked = home.path() + QStringLiteral("/.cups");
        QFile blocker(blocked);  // a file where the folder should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        LpOptionsFile file;
        QVERIFY(file.load(blocked + QStringLiteral("/lpoptions")));
        file.setDefaultDestination(QStringLiteral("office"));
        int error = 0;
        QVERIFY(!file.save(&error));
        QVERIFY(error != 0);
    }

    void optionTextsSurviveTheParser_data()
    {
        QTest::addColumn<QList<CupsOption>>("options");
        QTest::newRow("plain") << QList<CupsOption>{{"copies", "2"}, {"media", "iso_a4_210x297mm"}};
        QTest::newRow("blanks and quotes")
            << QList<CupsOption>{{"job-name", "Q3 \"final\" report"}, {"job-sheets", "none"}};
        QTest::newRow("backslash and apostrophe") << QList<CupsOption>{{"title", "C:\\docs\\it's"}};
    }

    void optionTextsSurviveTheParser()
    {
        QFETCH(QList<CupsOption>, options);
        QCOMPARE(platform::parseCupsOptions(platform::encodeCupsOptions(options)), options);
    }
};

QTEST_GUILESS_MAIN(LpOptionsFileTest)
#include "tst_lpoptionsfile.moc"
