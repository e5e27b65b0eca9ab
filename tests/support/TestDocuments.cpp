#include "TestDocuments.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QProcess>
#include <QTemporaryDir>

namespace ollavan::testsupport {

QByteArray makePdf(const QList<QSize> &pages)
{
    // Objects: 1 catalog, 2 page tree, then a page and its content stream per page.
    QByteArray kids;
    for (int i = 0; i < pages.size(); ++i)
        kids += QByteArray::number(3 + 2 * i) + " 0 R ";
    QList<QByteArray> objects = {"<< /Type /Catalog /Pages 2 0 R >>"};
    objects << "<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pages.size()) + " >>";
    for (int i = 0; i < pages.size(); ++i) {
        const QByteArray width = QByteArray::number(pages[i].width()),
                         height = QByteArray::number(pages[i].height());
        const QByteArray content = "0.8 g 0 0 " + width + " " + height + " re f 0 g 0 " +
                                   QByteArray::number(pages[i].height() - 20) + " 20 20 re f";
        objects << "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + width + " " + height + "] /Contents " +
                       QByteArray::number(4 + 2 * i) + " 0 R >>"
                << "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content +
                       "\nendstream";
    }
    QByteArray pdf = "%PDF-1.4\n";
    QByteArray table = "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (int i = 0; i < objects.size(); ++i) {
        table += QByteArray::number(pdf.size()).rightJustified(10, '0') + " 00000 n \n";
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    return pdf + table + "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(pdf.size()) + "\n%%EOF\n";
}

QByteArray makeMixedOrientationPdf(int pages)
{
    QList<QSize> sizes;
    for (int i = 0; i < pages; ++i)
        sizes << (i % 2 ? QSize(842, 595) : QSize(595, 842));
    return makePdf(sizes);
}

QByteArray encryptPdf(const QByteArray &pdf, const QString &userPassword, QString *error)
{
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.pdf"));
    const QString out = dir.filePath(QStringLiteral("out.pdf"));
    if (!writeFile(in, pdf))
        return QByteArray();
    QProcess mutool;
    mutool.start(QStringLiteral("mutool"),
                 {QStringLiteral("clean"), QStringLiteral("-E"), QStringLiteral("aes-128"),
                  QStringLiteral("-U"), userPassword, QStringLiteral("-O"),
                  userPassword + QStringLiteral("-owner"), in, out});
    if (!mutool.waitForFinished(60000) || mutool.exitCode() != 0) {
        if (error)
            *error = QString::fromLocal8Bit(mutool.readAllStandardError()) + mutool.errorString();
        return QByteArray();
    }
    QFile file(out);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

}  // namespace ollavan::testsupport
