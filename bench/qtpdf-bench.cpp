// Renders every page of a PDF at 300 dpi with QtPdf alone (QPdfDocument::render, annotations on, the page
// image left as QtPdf returns it) and prints the page count and the seconds taken. This is the floor of any
// library built over QtPdf: our libpdfium adds the caller's bitmap, its white fill and the copy onto it.
// usage: qtpdf-bench FILE.pdf
#include <QGuiApplication>
#include <QImage>
#include <QPdfDocument>
#include <QPdfDocumentRenderOptions>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <malloc.h>

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: qtpdf-bench FILE.pdf\n");
        return 2;
    }
    // The same heap settings as our libpdfium, so that both reuse the page image's memory alike.
    mallopt(M_MMAP_THRESHOLD, 512 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
    QPdfDocument document;
    if (document.load(QString::fromLocal8Bit(argv[1])) != QPdfDocument::Error::None)
        return 3;
    QPdfDocumentRenderOptions options;
    options.setRenderFlags(QPdfDocumentRenderOptions::RenderFlag::Annotations);
    long long inked = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int index = 0; index < document.pageCount(); ++index) {
        const QSizeF points = document.pagePointSize(index);
        const QSize size(std::max(1, int(std::ceil(300.0 * points.width() / 72.0))),
                         std::max(1, int(std::ceil(300.0 * points.height() / 72.0))));
        const QImage image = document.render(index, size, options);
        for (int y = 0; y < image.height(); y += 97)  // proof that something was drawn
            for (int x = 0; x < image.width(); x += 97)
                inked += qAlpha(image.pixel(x, y)) != 0;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (inked == 0) {
        std::fprintf(stderr, "qtpdf-bench: nothing was drawn\n");
        return 4;
    }
    std::printf("%d %.6f\n", document.pageCount(), seconds);
    return 0;
}
