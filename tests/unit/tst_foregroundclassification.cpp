// Which foreground applications the panel can print from: executables by name, and image titles in any
// other program.
#include "support/FakeWindowSystem.h"
#include "printing/ForegroundWindowContext.h"

#include <QTest>

using ollavan::testsupport::FakeWindowSystem;

class ForegroundClassificationTest : public QObject
{
    Q_OBJECT

private slots:
    void progIdByExecutableAndTitle_data();
    void progIdByExecutableAndTitle();
    void contextReadsOnlyWhatItMayUse();
};

void ForegroundClassificationTest::progIdByExecutableAndTitle_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("progId");
    const QString word = QStringLiteral("Word.Application");
    const QString wps = QStringLiteral("KWPS.Application");
    const QString acrobat = QStringLiteral("AcroExch.App");
    const QString image = QStringLiteral("Ollavan.ImageViewer");
    QTest::newRow("Word, any case and folder") << "C:\\Program Files\\Office\\WINWORD.EXE"
                                               << "Report" << word;
    QTest::newRow("WPS") << "D:/Kingsoft/wps.exe"
                         << "" << wps;
    QTest::newRow("Acrobat") << "C:/Adobe/Acrobat.exe"
                             << "a.png" << acrobat;
    QTest::newRow("Reader") << "C:/Adobe/AcroRd32.exe"
                            << "" << acrobat;
    QTest::newRow("known viewer without image title") << "C:/IrfanView/i_view64.exe"
                                                      << "IrfanView" << image;
    QTest::newRow("Photos app") << "C:/Apps/Microsoft.Photos.exe"
                                << "" << image;
    QTest::newRow("qView") << "/usr/bin/qview.exe"
                           << "" << image;
    QTest::newRow("a name that only contains a known one") << "/usr/bin/notwinword.exe"
                                                           << "Report"
                                                           << "";
    QTest::newRow("image title, end of title") << "/usr/bin/eog"
                                               << "holiday.PNG" << image;
    QTest::newRow("image title, then a space") << "/usr/bin/eog"
                                               << "holiday.PNG - Some Viewer" << image;
    QTest::newRow("jpeg with e") << "/usr/bin/x"
                                 << "scan.jpeg\tViewer" << image;
    QTest::newRow("tif and tiff") << "/usr/bin/x"
                                  << "a.tif b.tiff" << image;
    QTest::newRow("webp, gif, bmp") << "/usr/bin/x"
                                    << "anim.GIF" << image;
    QTest::newRow("suffix followed by more suffix") << "/usr/bin/gedit"
                                                    << "notes.png.txt - gedit"
                                                    << "";
    QTest::newRow("suffix as part of a word") << "/usr/bin/x"
                                              << "photo.pngs"
                                              << "";
    QTest::newRow("no dot") << "/usr/bin/x"
                            << "png viewer"
                            << "";
    QTest::newRow("plain editor") << "/usr/bin/gedit"
                                  << "notes - gedit"
                                  << "";
}

void ForegroundClassificationTest::progIdByExecutableAndTitle()
{
    QFETCH(QString, executable);
    QFETCH(QString, title);
    QFETCH(QString, progId);
    QCOMPARE(foregroundProgId(executable, title), progId);
}

void ForegroundClassificationTest::contextReadsOnlyWhatItMayUse()
{
    FakeWindowSystem desktop;
    desktop.setCurrentProcessId(10);
    desktop.addProcess(10, QStringLiteral("/opt/ollavan-quick"));
    desktop.addProcess(20, QStringLiteral("/usr/bin/eog"));
    desktop.addWindow(1, 10, QStringLiteral("Ollavan Quick"));
    desktop.addWindow(2, 20, QString(2100, QLatin1Char('x')) + QStringLiteral(".png"));
    desktop.addWindow(3, 20, QStringLiteral("hidden.png"));
    desktop.setWindowVisible(3, false);

    // Nothing in front: the empty context.
    ForegroundWindowContext context = foregroundWindowContext();
    QVERIFY(!context.ownWindow);
    QCOMPARE(context.processId, 0u);

    // Our own window: only the process is read, never the title or the executable.
    desktop.setForegroundWindow(1);
    desktop.clearCalls();
    context = foregroundWindowContext();
    QVERIFY(context.ownWindow);
    QCOMPARE(context.processId, 10u);
    QVERIFY(context.windowTitle.isEmpty());
    for (const QString &call : desktop.calls()) {
        QVERIFY2(!call.startsWith(QStringLiteral("windowTitle")) &&
                     !call.startsWith(QStringLiteral("processImagePath")),
                 qPrintable(call));
    }

    // A long title is cut to 2047 characters, so the suffix is gone and so is the image classification.
    desktop.setForegroundWindow(2);
    context = foregroundWindowContext();
    QCOMPARE(context.windowTitle.size(), 2047);
    QVERIFY(context.progId.isEmpty());
    QCOMPARE(context.processId, 20u);

    // An invisible foreign window: process id only.
    desktop.setForegroundWindow(3);
    context = foregroundWindowContext();
    QVERIFY(!context.ownWindow);
    QCOMPARE(context.processId, 20u);
    QVERIFY(context.windowTitle.isEmpty());
    QVERIFY(context.progId.isEmpty());

    // A process that ended between the two questions.
    desktop.setWindowVisible(3, true);
    desktop.endProcess(20);
    context = foregroundWindowContext();
    QVERIFY(context.progId.isEmpty());
}

QTEST_GUILESS_MAIN(ForegroundClassificationTest)
#include "tst_foregroundclassification.moc"
