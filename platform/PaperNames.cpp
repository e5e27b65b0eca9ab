#include "platform/PaperNames.h"

namespace platform {
namespace {

// The paper names in the order they are tested; the first prefix that matches wins.
struct PaperPrefix
{
    const char *prefix;
    int code;
    QPageSize::PageSizeId pageSize;
};

constexpr PaperPrefix paperPrefixes[] = {
    {"A3", 8, QPageSize::A3},         {"A4", 9, QPageSize::A4},       {"A5", 11, QPageSize::A5},
    {"A6", 70, QPageSize::A6},        {"B4", 12, QPageSize::B4},      {"B5", 13, QPageSize::B5},
    {"LETTER", 1, QPageSize::Letter}, {"LEGAL", 5, QPageSize::Legal},
};

const PaperPrefix *matchPaper(const QString &name)
{
    const QString normalised = name.trimmed().toUpper();
    for (const PaperPrefix &paper : paperPrefixes) {
        if (normalised.startsWith(QLatin1String(paper.prefix)))
            return &paper;
    }
    return nullptr;
}

}  // namespace

int paperCodeForName(const QString &name)
{
    const PaperPrefix *paper = matchPaper(name);
    return paper ? paper->code : 9;
}

QPageSize pageSizeForName(const QString &name)
{
    const PaperPrefix *paper = matchPaper(name);
    return QPageSize(paper ? paper->pageSize : QPageSize::A4);
}

}  // namespace platform
