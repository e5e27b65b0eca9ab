#include "TestDocuments.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

namespace ollavan::testsupport {

QByteArray makePdf(const QList<PdfPageSpec> &pages)
{
    // Objects: 1 catalog, 2 page tree, 3 font, then a page and its content stream per page.
    QList<QByteArray> objects;
    QByteArray kids;
    for (int i = 0; i < pages.size(); ++i)
        kids += QByteArray::number(4 + 2 * i) + " 0 R ";
    objects << "<< /Type /Catalog /Pages 2 0 R >>";
    objects << "<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pages.size()) + " >>";
    objects << "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>";
    for (int i = 0; i < pages.size(); ++i) {
        const PdfPageSpec &page = pages.at(i);
        QByteArray dict =
            "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + QByteArray::number(page.size.width()) + " " +
            QByteArray::number(page.size.height()) + "] /Resources << /Font << /F1 3 0 R >> >> /Contents " +
            QByteArray::number(5 + 2 * i) + " 0 R";
        if (page.rotate)
            dict += " /Rotate " + QByteArray::number(page.rotate);
        dict += " >>";
        objects << dict;
        objects << "<< /Length " + QByteArray::number(page.content.size()) + " >>\nstream\n" + page.content +
                       "\nendstream";
    }

    QByteArray pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    QList<int> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets << int(pdf.size());
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    const int xref = int(pdf.size());
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (int offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

QByteArray makeMixedOrientationPdf(int pages)
{
    QList<PdfPageSpec> specs;
    for (int i = 0; i < pages; ++i) {
        const bool landscape = i % 2 == 1;
        const QSizeF size = landscape ? QSizeF(842, 595) : QSizeF(595, 842);
        const QByteArray content = "0 0 0 RG 4 w 20 20 " + QByteArray::number(size.width() - 40) + " " +
                                   QByteArray::number(size.height() - 40) +
                                   " re S BT /F1 48 Tf 100 100 Td (Page " + QByteArray::number(i + 1) +
                                   ") Tj ET";
        specs << PdfPageSpec{size, 0, content};
    }
    return makePdf(specs);
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
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QByteArray makeJpegWithExifOrientation(const QSize &stored, int orientation)
{
    // A picture whose top-left quarter is black and the rest white, so the turn can be seen.
    QImage image(stored, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.fillRect(QRect(0, 0, stored.width() / 2, stored.height() / 2), Qt::black);
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);

    // APP1 "Exif": a little-endian TIFF header with one IFD entry, Orientation (0x0112), SHORT, count 1.
    QByteArray tiff("II\x2A\x00\x08\x00\x00\x00", 8);
    tiff += QByteArray("\x01\x00", 2);                          // one entry
    tiff += QByteArray("\x12\x01\x03\x00\x01\x00\x00\x00", 8);  // tag, type SHORT, count 1
    tiff += char(orientation) + QByteArray("\x00\x00\x00", 3);  // value, padded
    tiff += QByteArray("\x00\x00\x00\x00", 4);                  // no next IFD
    const QByteArray payload = QByteArray("Exif\x00\x00", 6) + tiff;
    const int length = int(payload.size()) + 2;
    QByteArray app1("\xFF\xE1", 2);
    app1 += char((length >> 8) & 0xFF);
    app1 += char(length & 0xFF);
    app1 += payload;
    // After SOI (FF D8), before whatever the writer put first.
    return jpeg.left(2) + app1 + jpeg.mid(2);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size();
}

}  // namespace ollavan::testsupport
