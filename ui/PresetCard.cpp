#include "ui/PresetCard.h"

#include "base/I18n.h"
#include "printing/PrintService.h"
#include "ui/ElidedLabel.h"
#include "ui/PanelIcons.h"

#include <QColor>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDropEvent>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// Qt re-polishes a widget and everything inside it on every setStyleSheet, even when the text is the same;
// a new card gets the theme twice at start-up (from the card rebuild and from the window's own theme).
void restyle(QWidget *widget, const QString &sheet)
{
    if (widget->styleSheet() != sheet)
        widget->setStyleSheet(sheet);
}

const QChar middleDot(0x00B7);

QString duplexText(const PrintPreset &preset)
{
    if (preset.duplexMode == DuplexMode::Simplex)
        return I18n::text("Single-sided");
    if (preset.duplexEdge == DuplexEdge::Short)
        return I18n::text("Short edge");
    return I18n::text("Long edge");
}

struct BadgeColors
{
    const char *text;
    const char *background;
    const char *border;
};

// Light and dark badge colours by status level.
bool badgeColors(int level, bool dark, BadgeColors *colors)
{
    switch (level) {
    case int(PrinterStatusLevel::Checking):
    case int(PrinterStatusLevel::Unknown):
        *colors = dark ? BadgeColors{"#c4b5fd", "#29243d", "#5f548e"}
                       : BadgeColors{"#6d5bd0", "#f5f3ff", "#c4b5fd"};
        return true;
    case int(PrinterStatusLevel::Ready):
        *colors = dark ? BadgeColors{"#86efac", "#173323", "#2f6f48"}
                       : BadgeColors{"#15803d", "#f0fdf4", "#86efac"};
        return true;
    case int(PrinterStatusLevel::Printing):
        *colors = dark ? BadgeColors{"#93c5fd", "#172a40", "#315f91"}
                       : BadgeColors{"#1d4ed8", "#eff6ff", "#93c5fd"};
        return true;
    case int(PrinterStatusLevel::Attention):
        *colors = dark ? BadgeColors{"#fcd34d", "#392d12", "#80621f"}
                       : BadgeColors{"#b45309", "#fffbeb", "#fcd34d"};
        return true;
    case int(PrinterStatusLevel::Critical):
        *colors = dark ? BadgeColors{"#fca5a5", "#3b1e1e", "#843b3b"}
                       : BadgeColors{"#b91c1c", "#fef2f2", "#fca5a5"};
        return true;
    case int(PrinterStatusLevel::Offline):
        *colors = dark ? BadgeColors{"#aeb6c1", "#292d31", "#555d67"}
                       : BadgeColors{"#667085", "#f2f4f7", "#cbd0d8"};
        return true;
    default:
        return false;
    }
}

// The single local file of a drag, or an empty string when the drag carries anything else.
QString singleSupportedFile(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls())
        return QString();
    const QList<QUrl> urls = mime->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return QString();
    const QString path = urls.first().toLocalFile();
    return PrintService::isSupportedFile(path) ? path : QString();
}

}  // namespace

QString displayTitle(const PrintPreset &preset)
{
    QString title = preset.title.trimmed();
    QString paper = preset.paperSize.trimmed();
    static const char *const shortPapers[] = {"A3", "A4", "A5", "A6", "B4", "B5", "B6"};
    for (const char *name : shortPapers) {
        if (paper.startsWith(QLatin1String(name), Qt::CaseInsensitive)) {
            paper = QString::fromLatin1(name);
            break;
        }
    }
    if (title.isEmpty()) {
        const QString sides = preset.duplexMode == DuplexMode::Simplex ? I18n::text("Single-sided")
                                                                       : I18n::text("Double-sided");
        const QString color = preset.colorMode == ColorMode::Color ? I18n::text("Color") : I18n::text("Mono");
        title = sides + QLatin1Char(' ') + color;
    }
    static const QRegularExpression trailingPaper(
        QStringLiteral("\\s*(?:[AB]\\d(?:\\s*\\(JIS\\))?|Letter|Legal)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    title.remove(trailingPaper);
    title = title.trimmed();
    if (!paper.isEmpty())
        return title + QLatin1Char(' ') + middleDot + QLatin1Char(' ') + paper;
    return title;
}

PresetCard::PresetCard(PrintPreset presetValue, QWidget *parent)
    : QFrame(parent), preset(std::move(presetValue))
{
    setObjectName(QStringLiteral("presetCard"));
    setAcceptDrops(true);
    setCursor(Qt::PointingHandCursor);
    setFixedHeight(96);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 6, 10, 6);
    outer->setSpacing(4);

    auto *topRow = new QHBoxLayout;
    topRow->setSpacing(8);
    auto *textColumn = new QVBoxLayout;
    textColumn->setSpacing(3);
    titleLabel = new ElidedLabel(displayTitle(preset), this);
    QFont titleFont(QStringLiteral("Segoe UI"));
    titleFont.setPixelSize(16);
    titleFont.setWeight(QFont::DemiBold);
    titleLabel->setFont(titleFont);
    titleLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    printerLabel = new QLabel(preset.printerName, this);
    printerLabel->setFont(QFont(QStringLiteral("Segoe UI"), 10));
    printerLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    printerLabel->setTextInteractionFlags(Qt::NoTextInteraction);
    printerLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    textColumn->addWidget(titleLabel);
    textColumn->addWidget(printerLabel);
    topRow->addLayout(textColumn, 1);

    auto *rightColumn = new QVBoxLayout;
    rightColumn->setSpacing(2);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(2);
    editButton = iconButton(QStringLiteral("settings"), I18n::text("Edit printer preset"), this);
    deleteButton = iconButton(QStringLiteral("trash"), I18n::text("Delete printer preset"), this);
    buttonRow->addWidget(editButton);
    buttonRow->addWidget(deleteButton);
    rightColumn->addLayout(buttonRow);
    statusBadge = new QLabel(this);
    statusBadge->setObjectName(QStringLiteral("statusBadge"));
    statusBadge->setAlignment(Qt::AlignCenter);
    statusBadge->setFixedSize(92, 20);
    rightColumn->addWidget(statusBadge, 0, Qt::AlignCenter);
    topRow->addLayout(rightColumn);
    outer->addLayout(topRow);

    auto *bottomRow = new QHBoxLayout;
    bottomRow->setContentsMargins(0, 0, 0, 0);
    duplexLabel = new QLabel(duplexText(preset), this);
    duplexLabel->setObjectName(QStringLiteral("duplexLabel"));
    duplexLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    hotkeyLabel = new QLabel(preset.hotkey, this);
    hotkeyLabel->setObjectName(QStringLiteral("hotkeyBadge"));
    hotkeyLabel->setAlignment(Qt::AlignCenter);
    hotkeyLabel->setToolTip(preset.hotkey.isEmpty() ? QString()
                                                    : I18n::text("Global hotkey: %1").arg(preset.hotkey));
    hotkeyLabel->setVisible(!preset.hotkey.isEmpty());
    hotkeyLabel->setMaximumWidth(72);
    bottomRow->addWidget(duplexLabel);
    bottomRow->addWidget(hotkeyLabel);
    bottomRow->addStretch();

    copiesControl = new QFrame(this);
    copiesControl->setObjectName(QStringLiteral("copiesControl"));
    copiesControl->setFixedHeight(24);
    auto *stepper = new QHBoxLayout(copiesControl);
    stepper->setContentsMargins(0, 0, 0, 0);
    stepper->setSpacing(0);
    minusButton = new QPushButton(QString(QChar(0x2212)), copiesControl);
    copiesLabel = new QLabel(QString::number(preset.copies), copiesControl);
    copiesLabel->setObjectName(QStringLiteral("copiesLabel"));
    copiesLabel->setFixedSize(32, 22);
    copiesLabel->setAlignment(Qt::AlignCenter);
    plusButton = new QPushButton(QStringLiteral("+"), copiesControl);
    for (QPushButton *button : {minusButton, plusButton}) {
        button->setObjectName(QStringLiteral("stepButton"));
        button->setFixedSize(28, 22);
        button->setCursor(Qt::PointingHandCursor);
        button->setFocusPolicy(Qt::NoFocus);
    }
    stepper->addWidget(minusButton);
    stepper->addWidget(copiesLabel);
    stepper->addWidget(plusButton);
    bottomRow->addWidget(copiesControl);
    outer->addLayout(bottomRow);

    connect(editButton, &QPushButton::clicked, this, [this] { emit editRequested(preset); });
    connect(deleteButton, &QPushButton::clicked, this, [this] { emit deleteRequested(preset); });
    connect(minusButton, &QPushButton::clicked, this, [this] { changeCopies(-1); });
    connect(plusButton, &QPushButton::clicked, this, [this] { changeCopies(+1); });

    PrinterStatusSnapshot checking;
    checking.level = int(PrinterStatusLevel::Checking);
    checking.text = I18n::text("Checking");
    checking.detail = I18n::text("Reading printer status");
    setPrinterStatus(checking);
}

QString PresetCard::printerKey() const
{
    return preset.printerName.trimmed().toCaseFolded();
}

void PresetCard::changeCopies(int delta)
{
    const int count = qBound(1, preset.copies + delta, 9999);
    if (count == preset.copies)
        return;
    preset.copies = count;
    copiesLabel->setText(QString::number(count));
    minusButton->setEnabled(count >= 2);
    emit copiesChanged(preset, count);
}

void PresetCard::applyTheme(bool dark)
{
    darkMode = dark;
    const QColor named(preset.backgroundColor);
    const QString border = named.isValid() ? named.name(QColor::HexRgb) : QStringLiteral("#ff8a00");
    const int borderWidth = dragActive ? 3 : 2;

    const char *cardBackground = dark ? "#202326" : "#ffffff";
    const char *cardHover = dark ? "#272b2f" : "#fafbfc";
    const char *glyph = dark ? "#e9edf2" : "#172033";
    const char *glyphHover = dark ? "#34393f" : "#f1f3f6";
    const char *stepperBackground = dark ? "#181a1c" : "#f8f9fb";
    const char *stepperBorder = dark ? "#3b4045" : "#d8dde5";
    const char *titleColor = dark ? "#f7f8fa" : "#152039";
    const char *printerColor = dark ? "#aeb6c1" : "#667085";
    const char *duplexColor = dark ? "#d4d9df" : "#344054";
    const char *hotkeyColor = dark ? "#cbd5e1" : "#475467";
    const char *hotkeyBackground = dark ? "#2a2e33" : "#f2f4f7";
    const char *hotkeyBorder = dark ? "#4b5158" : "#d0d5dd";
    const char *copiesColor = dark ? "#ffffff" : "#172033";

    restyle(
        this,
        QStringLiteral(
            "QFrame#presetCard{background:%1;border:%3px solid %4;border-radius:10px;font-family:'Segoe UI';}"
            "QFrame#presetCard:hover{background:%2;border:%3px solid %4;}"
            "QFrame#presetCard QLabel{border:none;background:transparent;}"
            "QPushButton#iconButton{background:transparent;border:none;border-radius:5px;padding:0px;color:%"
            "5;}"
            "QPushButton#iconButton:hover{background:%6;color:#ff8a00;}"
            "QFrame#copiesControl{background:%7;border:1px solid %8;border-radius:6px;}"
            "QPushButton#stepButton{background:transparent;border:none;color:%5;font-size:18px;"
            "font-family:'Segoe UI';}"
            "QPushButton#stepButton:hover{background:%6;color:#ff8a00;}"
            "QPushButton#stepButton:disabled{color:#9aa2ad;}"
            "QLabel#copiesLabel{color:%9;font-size:15px;}")
            .arg(QLatin1String(cardBackground), QLatin1String(cardHover), QString::number(borderWidth),
                 border, QLatin1String(glyph), QLatin1String(glyphHover), QLatin1String(stepperBackground),
                 QLatin1String(stepperBorder), QLatin1String(copiesColor)));
    restyle(titleLabel,
            QStringLiteral("color:%1;border:none;background:transparent;").arg(QLatin1String(titleColor)));
    restyle(printerLabel,
            QStringLiteral("color:%1;border:none;background:transparent;").arg(QLatin1String(printerColor)));
    restyle(duplexLabel, QStringLiteral("color:%1;font-size:13px;font-family:'Segoe UI';border:none;"
                                        "background:transparent;")
                             .arg(QLatin1String(duplexColor)));
    restyle(hotkeyLabel, QStringLiteral("color:%1;background:%2;border:1px solid %3;border-radius:5px;"
                                        "padding:1px 5px;font-size:11px;font-family:'Segoe UI';")
                             .arg(QLatin1String(hotkeyColor), QLatin1String(hotkeyBackground),
                                  QLatin1String(hotkeyBorder)));
    if (iconsDark != dark) {
        iconsDark = dark;
        editButton->setIcon(themedIcon(QStringLiteral("settings"), dark));
        deleteButton->setIcon(themedIcon(QStringLiteral("trash"), dark));
    }
    applyStatusTheme();
}

void PresetCard::setPrinterStatus(const PrinterStatusSnapshot &snapshot)
{
    status = snapshot;
    QString word;
    switch (status.level) {
    case int(PrinterStatusLevel::Offline):
        word = I18n::text("Offline");
        break;
    case int(PrinterStatusLevel::Attention):
        word = I18n::text("Attention");
        break;
    case int(PrinterStatusLevel::Critical):
        word = I18n::text("Critical");
        break;
    default:
        word = I18n::text("Normal");
        break;
    }
    statusBadge->setText(QString(QChar(0x25CF)) + QLatin1Char(' ') + word);
    statusBadge->setToolTip(status.detail);
    applyStatusTheme();
}

void PresetCard::applyStatusTheme()
{
    BadgeColors colors{"", "", ""};
    badgeColors(status.level, darkMode, &colors);
    restyle(statusBadge, QStringLiteral("QLabel#statusBadge{color:%1;background:%2;border:1px solid %3;"
                                        "border-radius:10px;font-size:12px;padding:0px 4px;}")
                             .arg(QLatin1String(colors.text), QLatin1String(colors.background),
                                  QLatin1String(colors.border)));
}

void PresetCard::mouseReleaseEvent(QMouseEvent *event)
{
    QFrame::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit printRequested(preset, QString());
}

void PresetCard::dragEnterEvent(QDragEnterEvent *event)
{
    if (singleSupportedFile(event->mimeData()).isEmpty())
        return;
    event->acceptProposedAction();
    dragActive = true;
    applyTheme(darkMode);
}

void PresetCard::dragLeaveEvent(QDragLeaveEvent *event)
{
    dragActive = false;
    applyTheme(darkMode);
    QFrame::dragLeaveEvent(event);
}

void PresetCard::dropEvent(QDropEvent *event)
{
    dragActive = false;
    applyTheme(darkMode);
    const QList<QUrl> urls = event->mimeData() ? event->mimeData()->urls() : QList<QUrl>();
    if (!urls.isEmpty())
        emit printRequested(preset, urls.first().toLocalFile());
    event->acceptProposedAction();
}
