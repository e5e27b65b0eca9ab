// Renders every page of a PDF at 300 dpi through libpdfium exactly as the built-in PDF engine does (the file
// read block by block through PDFium's file access, one page and one bitmap at a time: white fill, annotation
// and printing flags), and prints the pages per second.
// usage: render-bench LIBPDFIUM FILE.pdf [REPEATS]
#include <QFile>
#include <QGuiApplication>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <dlfcn.h>

namespace {

// FPDF_FILEACCESS over the open file, as the engine reads the document.
struct FileAccess
{
    unsigned long length;
    int (*getBlock)(void *, unsigned long, unsigned char *, unsigned long);
    void *param;
};

int readBlock(void *param, unsigned long position, unsigned char *buffer, unsigned long size)
{
    auto *file = static_cast<QFile *>(param);
    return file->seek(qint64(position)) &&
           file->read(reinterpret_cast<char *>(buffer), qint64(size)) == qint64(size);
}

template <typename T> T symbol(void *library, const char *name)
{
    void *address = dlsym(library, name);
    if (!address) {
        std::fprintf(stderr, "render-bench: %s is missing\n", name);
        std::exit(2);
    }
    return reinterpret_cast<T>(address);
}

}  // namespace

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: render-bench LIBPDFIUM FILE.pdf [REPEATS]\n");
        return 2;
    }
    const int repeats = argc > 3 ? std::atoi(argv[3]) : 1;
    void *library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "render-bench: %s\n", dlerror());
        return 2;
    }
    auto init = symbol<void (*)()>(library, "FPDF_InitLibrary");
    auto load = symbol<void *(*)(FileAccess *, const char *)>(library, "FPDF_LoadCustomDocument");
    auto pageCount = symbol<int (*)(void *)>(library, "FPDF_GetPageCount");
    auto loadPage = symbol<void *(*)(void *, int)>(library, "FPDF_LoadPage");
    auto width = symbol<float (*)(void *)>(library, "FPDF_GetPageWidthF");
    auto height = symbol<float (*)(void *)>(library, "FPDF_GetPageHeightF");
    auto closePage = symbol<void (*)(void *)>(library, "FPDF_ClosePage");
    auto closeDocument = symbol<void (*)(void *)>(library, "FPDF_CloseDocument");
    auto create = symbol<void *(*)(int, int, int)>(library, "FPDFBitmap_Create");
    auto fill = symbol<int (*)(void *, int, int, int, int, unsigned long)>(library, "FPDFBitmap_FillRect");
    auto buffer = symbol<void *(*)(void *)>(library, "FPDFBitmap_GetBuffer");
    auto destroy = symbol<void (*)(void *)>(library, "FPDFBitmap_Destroy");
    auto render =
        symbol<void (*)(void *, void *, int, int, int, int, int, int)>(library, "FPDF_RenderPageBitmap");
    init();

    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::ReadOnly))
        return 2;
    FileAccess access{static_cast<unsigned long>(file.size()), readBlock, &file};
    void *document = load(&access, nullptr);
    if (!document)
        return 3;
    const int pages = pageCount(document);
    long long inked = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < repeats; ++round) {
        for (int index = 0; index < pages; ++index) {
            void *page = loadPage(document, index);
            const int w = std::max(1, int(std::ceil(300.0f * width(page) / 72.0f)));
            const int h = std::max(1, int(std::ceil(300.0f * height(page) / 72.0f)));
            void *bitmap = create(w, h, 1);
            fill(bitmap, 0, 0, w, h, 0xFFFFFFFFul);
            render(bitmap, page, 0, 0, w, h, 0, 0x801);
            const auto *pixels = static_cast<const unsigned int *>(buffer(bitmap));
            for (int y = 0; y < h; y += 97)  // proof that something was drawn
                for (int x = 0; x < w; x += 97)
                    inked += pixels[size_t(y) * size_t(w) + size_t(x)] != 0xFFFFFFFFu;
            destroy(bitmap);
            closePage(page);
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    closeDocument(document);
    if (inked == 0) {
        std::fprintf(stderr, "render-bench: nothing was drawn\n");
        return 4;
    }
    std::printf("%d %.6f\n", pages * repeats, seconds);
    return 0;
}
