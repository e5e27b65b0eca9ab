#include "ui/MainWindow.h"

#include "base/I18n.h"
#include "base/SettingsKeys.h"
#include "model/DatabaseLocation.h"
#include "ui/PanelIcons.h"
#include "ui/PresetCard.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayoutItem>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const char *const statusGreen = "#22c55e";
const char *const statusRed = "#ef4444";

QString addButtonText()
{
    return QString(QChar(0xFF0B)) + QStringLiteral("  ") + I18n::text("Add printer preset");
}

struct ThemeColors
{
    const char *window;
    const char *surface;
    const char *text;
    const char *muted;
    const char *frameBorder;
    const char *buttonBorder;
    const char *buttonHover;
    const char *scrollHandle;
    const char *disabledAdd;
    const char *minimizeHover;
};

const ThemeColors lightColors{"#f7f8fa", "#ffffff", "#172033", "#7a8492", "#d8dde5",
                              "#d8dde5", "#f0f2f5", "#c4cad3", "#d8dde5", "#e9edf2"};
const ThemeColors darkColors{"#151719", "#181a1c", "#f2f4f7", "#969faa", "#34383d",
                             "#3b4045", "#2d3135", "#4c5259", "#42474d", "#34393f"};

QString roundButtonStyle(const char *name, const ThemeColors &c, int radius, const QString &font)
{
    return QStringLiteral("QPushButton#%1{background:%2;color:%3;border:1px solid %4;border-radius:%5px;"
                          "padding:0px;%6}"
                          "QPushButton#%1:hover{background:%7;color:#ff8a00;}")
        .arg(QLatin1String(name), QLatin1String(c.surface), QLatin1String(c.text),
             QLatin1String(c.buttonBorder), QString::number(radius), font, QLatin1String(c.buttonHover));
}

}  // namespace

MainWindow::MainWindow(QWidget *parent) : QWidget(parent), repository(DatabaseLocation::databasePath())
{
    setWindowTitle(QStringLiteral("Ollavan Quick"));
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setAcceptDrops(true);
    setFixedSize(320, 752);

    DatabaseLocation::createDatabaseFolder(repository.databasePath());
    QString openError;
    if (!repository.open(&openError)) {
        QMessageBox box(QMessageBox::Critical, I18n::text("Database error"), openError, QMessageBox::Ok,
                        this);
        box.exec();
    }

    buildWidgetTree();

    darkMode = QSettings().value(QLatin1String(SettingsKeys::DarkMode), false).toBool();

    rebuildPresetButtons();
    applyTheme(darkMode, false);
    setupTrayIcon();
    retranslateUi();

    collapseTimer = new QTimer(this);
    collapseTimer->setSingleShot(true);
    collapseTimer->setInterval(700);
    connect(collapseTimer, &QTimer::timeout, this, [this] { collapseDockedWindow(); });

    foregroundTimer = new QTimer(this);
    foregroundTimer->setInterval(75);
    connect(foregroundTimer, &QTimer::timeout, this, [this] { updateForegroundOfficeContext(); });
    foregroundTimer->start();
    updateForegroundOfficeContext();

    QTimer::singleShot(250, this, [this] { showCompatibilityNotice(); });

    statusTimer = new QTimer(this);
    statusTimer->setInterval(30000);
    connect(statusTimer, &QTimer::timeout, this, [this] { refreshPrinterStatuses(); });
    statusTimer->start();

    QTimer::singleShot(0, this, [this] { restoreDockState(); });
}

MainWindow::~MainWindow()
{
    unregisterPresetHotkeys();
}

void MainWindow::buildWidgetTree()
{
    auto *windowLayout = new QVBoxLayout(this);
    windowLayout->setContentsMargins(0, 0, 0, 0);

    frame = new QWidget(this);
    frame->setObjectName(QStringLiteral("frame"));
    windowLayout->addWidget(frame);
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    frameLayout->setSpacing(0);

    titleBar = new QWidget(frame);
    titleBar->setObjectName(QStringLiteral("titleBar"));
    titleBar->setFixedHeight(36);
    titleBar->installEventFilter(this);
    auto *titleLayout = new QHBoxLayout(titleBar);
    titleLayout->setContentsMargins(8, 0, 4, 0);
    titleLayout->setSpacing(5);

    titleIcon = new QLabel(titleBar);
    titleIcon->setObjectName(QStringLiteral("titleIcon"));
    titleIcon->setFixedSize(18, 18);
    titleIcon->setAlignment(Qt::AlignCenter);
    titleIcon->setAttribute(Qt::WA_TransparentForMouseEvents);
    titleIcon->setPixmap(QApplication::windowIcon().pixmap(16, 16));
    titleLabel = new QLabel(QStringLiteral("Ollavan"), titleBar);
    titleLabel->setObjectName(QStringLiteral("titleLabel"));
    titleLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    titleLayout->addWidget(titleIcon);
    titleLayout->addWidget(titleLabel);
    titleLayout->addStretch();

    historyButton = new QPushButton(QStringLiteral("H"), titleBar);
    historyButton->setObjectName(QStringLiteral("historyButton"));
    historyButton->setFixedSize(26, 26);
    historyButton->setToolTip(I18n::text("Print history"));
    connect(historyButton, &QPushButton::clicked, this, &MainWindow::showPrintHistory);

    languageButton = new QPushButton(titleBar);
    languageButton->setObjectName(QStringLiteral("languageButton"));
    languageButton->setFixedSize(30, 26);
    languageButton->setToolTip(I18n::text("Language"));
    connect(languageButton, &QPushButton::clicked, this, &MainWindow::showLanguageMenu);

    dockButton = new QPushButton(QString(QChar(0x21E5)), titleBar);
    dockButton->setObjectName(QStringLiteral("dockButton"));
    dockButton->setFixedSize(26, 26);
    connect(dockButton, &QPushButton::clicked, this, &MainWindow::showDockMenu);

    themeButton = iconButton(QStringLiteral("sun"), I18n::text("Switch to dark mode"), titleBar);
    themeButton->setObjectName(QStringLiteral("themeButton"));
    connect(themeButton, &QPushButton::clicked, this, &MainWindow::toggleTheme);

    minimizeButton = new QPushButton(QString(QChar(0x2212)), titleBar);
    minimizeButton->setObjectName(QStringLiteral("minimizeButton"));
    minimizeButton->setFixedSize(30, 30);
    minimizeButton->setToolTip(I18n::text("Minimize"));
    connect(minimizeButton, &QPushButton::clicked, this, [this] { showMinimized(); });

    closeButton = new QPushButton(QString(QChar(0x00D7)), titleBar);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setFixedSize(30, 30);
    closeButton->setToolTip(I18n::text("Hide to system tray"));
    connect(closeButton, &QPushButton::clicked, this, [this] { hideToTray(); });

    for (QPushButton *button :
         {historyButton, languageButton, dockButton, themeButton, minimizeButton, closeButton}) {
        button->setCursor(Qt::PointingHandCursor);
        button->setFocusPolicy(Qt::NoFocus);
        titleLayout->addWidget(button);
    }
    frameLayout->addWidget(titleBar);

    auto *content = new QWidget(frame);
    content->setObjectName(QStringLiteral("content"));
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(16, 16, 16, 12);
    contentLayout->setSpacing(12);
    frameLayout->addWidget(content, 1);

    scrollArea = new QScrollArea(content);
    scrollArea->setObjectName(QStringLiteral("scrollArea"));
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scrollArea->setWidgetResizable(true);
    auto *cardHost = new QWidget;
    cardHost->setObjectName(QStringLiteral("cardHost"));
    cardLayout = new QVBoxLayout(cardHost);
    cardLayout->setContentsMargins(0, 0, 0, 0);
    cardLayout->setSpacing(10);
    cardLayout->setAlignment(Qt::AlignTop);
    scrollArea->setWidget(cardHost);
    contentLayout->addWidget(scrollArea);

    dropZone = new QWidget(content);
    dropZone->setObjectName(QStringLiteral("dropZone"));
    auto *dropLayout = new QVBoxLayout(dropZone);
    dropLayout->setContentsMargins(0, 0, 0, 0);
    dropLayout->addStretch();
    dropIcon = new QLabel(dropZone);
    dropIcon->setObjectName(QStringLiteral("dropIcon"));
    dropIcon->setAlignment(Qt::AlignCenter);  // its icon comes with the theme
    dropLayout->addWidget(dropIcon);
    dropLayout->addSpacing(8);
    dropHint = new QLabel(
        I18n::text(
            "Drop a file onto a printer preset to print\nor bring a supported document to the foreground"),
        dropZone);
    dropHint->setObjectName(QStringLiteral("dropHint"));
    dropHint->setAlignment(Qt::AlignCenter);
    dropHint->setWordWrap(true);
    dropLayout->addWidget(dropHint);
    dropLayout->addStretch();
    contentLayout->addWidget(dropZone, 1);

    addPrinterButton = new QPushButton(addButtonText(), content);
    addPrinterButton->setObjectName(QStringLiteral("addPrinterButton"));
    addPrinterButton->setFixedHeight(48);
    addPrinterButton->setCursor(Qt::PointingHandCursor);
    connect(addPrinterButton, &QPushButton::clicked, this, &MainWindow::addPrinterPreset);
    contentLayout->addWidget(addPrinterButton);

    auto *statusLayout = new QHBoxLayout;
    statusLayout->setSpacing(7);
    statusDot = new QLabel(QString(QChar(0x25CF)), content);
    statusDot->setObjectName(QStringLiteral("statusDot"));
    statusDot->setFixedWidth(12);
    statusLabel = new QLabel(I18n::text("Ready"), content);
    statusLabel->setObjectName(QStringLiteral("statusLabel"));
    statusLabel->setMaximumWidth(100);
    statusLayout->addWidget(statusDot);
    statusLayout->addWidget(statusLabel);
    statusLayout->addStretch(1);
    contentLayout->addLayout(statusLayout);

    edgeHandle = new QWidget(this);
    edgeHandle->setObjectName(QStringLiteral("edgeHandle"));
    edgeHandle->setAttribute(Qt::WA_TransparentForMouseEvents);
    edgeHandle->hide();
    edgeHandle->raise();
}

void MainWindow::setStatus(const QString &message, bool error)
{
    const QString text = message.isEmpty() ? I18n::text("Ready") : message;
    if (error)
        statusLabel->setText(I18n::text("Attention"));
    else
        statusLabel->setText(QFontMetrics(statusLabel->font()).elidedText(text, Qt::ElideRight, 56));
    statusLabel->setToolTip(text);
    statusDot->setStyleSheet(
        QStringLiteral("color:%1;font-size:12px;").arg(QLatin1String(error ? statusRed : statusGreen)));
}

void MainWindow::applyTheme(bool dark, bool persist)
{
    darkMode = dark;
    const ThemeColors &c = dark ? darkColors : lightColors;
    const QString window = QLatin1String(c.window);

    // One style sheet for everything inside the frame: each sheet set on a widget re-polishes the widgets
    // below it, so a sheet per widget polished most of the tree several times over at start-up. The rules
    // are the per-widget ones, each keyed to its widget's object name. The status dot keeps its own sheet
    // (the status line swaps it), and the edge handle lies outside the frame.
    QString sheet =
        QStringLiteral("QWidget#frame{background:%1;border:1px solid %2;}"
                       "QScrollArea#scrollArea,QWidget#cardHost{background:%1;border:none;}"
                       "QScrollBar:vertical{width:7px;background:transparent;margin:0px;border:none;}"
                       "QScrollBar::handle:vertical{background:%3;border-radius:3px;min-height:24px;}"
                       "QScrollBar::add-line:vertical,QScrollBar::sub-line:vertical{height:0px;}"
                       "QWidget#dropZone{background:transparent;border:none;}"
                       "QLabel#dropHint{color:%4;font-size:13px;font-family:'Segoe UI';}"
                       "QLabel#statusLabel{color:%5;font-size:12px;font-family:'Segoe UI';}")
            .arg(window, QLatin1String(c.frameBorder), QLatin1String(c.scrollHandle), QLatin1String(c.muted),
                 QLatin1String(c.text));
    sheet +=
        QStringLiteral("QPushButton#addPrinterButton{background:#ff8a00;color:white;border:1px solid #f57c00;"
                       "border-radius:8px;font-family:'Segoe UI';font-weight:600;font-size:15px;"
                       "padding-left:16px;padding-right:16px;}"
                       "QPushButton#addPrinterButton:hover{background:#f57c00;}"
                       "QPushButton#addPrinterButton:pressed{background:#df6f00;}"
                       "QPushButton#addPrinterButton:disabled{background:%1;color:%2;border:1px solid %1;}")
            .arg(QLatin1String(c.disabledAdd), QLatin1String(c.muted));
    sheet +=
        QStringLiteral("QWidget#titleBar{background:%1;border:none;border-bottom:1px solid %2;}"
                       "QWidget#titleBar QLabel{background:transparent;border:none;}"
                       "QLabel#titleLabel{color:%3;font-family:'Segoe UI';font-weight:600;font-size:13px;}")
            .arg(QLatin1String(c.surface), QLatin1String(c.frameBorder), QLatin1String(c.text));
    sheet += roundButtonStyle("themeButton", c, 15, QString());
    sheet += roundButtonStyle("dockButton", c, 13,
                              QStringLiteral("font-family:'Segoe UI Symbol';font-size:16px;"));
    sheet += roundButtonStyle("historyButton", c, 13,
                              QStringLiteral("font-family:'Segoe UI';font-weight:600;font-size:12px;"));
    sheet += roundButtonStyle("languageButton", c, 13,
                              QStringLiteral("font-family:'Segoe UI';font-weight:600;font-size:10px;"));
    sheet +=
        QStringLiteral("QPushButton#minimizeButton{background:transparent;color:%1;border:none;"
                       "border-radius:5px;font-size:18px;font-family:'Segoe UI';padding:0px 0px 5px 0px;}"
                       "QPushButton#minimizeButton:hover{background:%2;}"
                       "QPushButton#closeButton{background:transparent;color:%1;border:none;"
                       "border-radius:5px;font-size:22px;font-family:'Segoe UI';padding:0px 0px 2px 0px;}"
                       "QPushButton#closeButton:hover{background:#e5484d;color:white;}"
                       "QPushButton#closeButton:pressed{background:#c9383e;color:white;}")
            .arg(QLatin1String(c.text), QLatin1String(c.minimizeHover));
    frame->setStyleSheet(sheet);
    dropIcon->setPixmap(themedIcon(QStringLiteral("file"), dark).pixmap(48, 48));
    statusDot->setStyleSheet(QStringLiteral("color:%1;font-size:12px;").arg(QLatin1String(statusGreen)));
    titleIcon->setPixmap(QApplication::windowIcon().pixmap(16, 16));
    themeButton->setIcon(themedIcon(dark ? QStringLiteral("moon") : QStringLiteral("sun"), dark));
    themeButton->setIconSize(QSize(17, 17));
    themeButton->setToolTip(dark ? I18n::text("Switch to light mode") : I18n::text("Switch to dark mode"));
    edgeHandle->setStyleSheet(
        QStringLiteral("QWidget#edgeHandle{background:#ff8a00;border:none;border-radius:4px;}"));
    edgeHandle->setAttribute(Qt::WA_StyledBackground);

    for (PresetCard *card : std::as_const(cards))
        card->applyTheme(dark);

    if (persist)
        QSettings().setValue(QLatin1String(SettingsKeys::DarkMode), dark);
}

void MainWindow::toggleTheme()
{
    applyTheme(!darkMode, true);
}

void MainWindow::retranslateUi()
{
    const QString current = I18n::language();
    for (const AppLanguage &language : I18n::languages()) {
        if (language.code == current) {
            languageButton->setText(language.shortLabel);
            break;
        }
    }
    languageButton->setToolTip(I18n::text("Language"));
    historyButton->setToolTip(I18n::text("Print history"));
    minimizeButton->setToolTip(I18n::text("Minimize"));
    closeButton->setToolTip(I18n::text("Hide to system tray"));
    addPrinterButton->setText(addButtonText());
    themeButton->setToolTip(darkMode ? I18n::text("Switch to light mode")
                                     : I18n::text("Switch to dark mode"));
    updateDockButton();
    if (trayIcon && trayMenu)
        retranslateTray();
}

void MainWindow::rebuildPresetButtons()
{
    cards.clear();
    while (QLayoutItem *item = cardLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }

    QString error;
    const QList<PrintPreset> presets = repository.presets(&error);
    for (const PrintPreset &preset : presets) {
        auto *card = new PresetCard(preset, scrollArea->widget());
        card->onExecute = [this](const PrintPreset &p, const QString &droppedFile) {
            executePreset(p, droppedFile);
        };
        card->onEdit = [this](const PrintPreset &p) { editPreset(p); };
        card->onDelete = [this](const PrintPreset &p) { deletePreset(p); };
        card->onCopiesChanged = [this](const PrintPreset &p, int copies) { updateCopies(p, copies); };
        card->applyTheme(darkMode);
        cardLayout->addWidget(card);
        cards.append(card);
    }

    scrollArea->setVisible(!presets.isEmpty());
    scrollArea->setFixedHeight(qMin(106 * int(presets.size()), 360));
    dropHint->setText(
        presets.isEmpty()
            ? I18n::text("Add a printer preset, then drop a file here")
            : I18n::text("Drop a file onto a printer preset to print\nor bring a supported document "
                         "to the foreground"));
    if (!error.isEmpty())
        setStatus(error, true);

    registerPresetHotkeys();
    QTimer::singleShot(100, this, [this] { refreshPrinterStatuses(); });
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == titleBar)
        return handleTitleBarEvent(event) || QWidget::eventFilter(watched, event);
    return QWidget::eventFilter(watched, event);
}

bool MainWindow::handleTitleBarEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        if (dockEdge == DockEdge::None)
            dragOffset = mouse->globalPosition().toPoint() - pos();
        else {
            setDockEdge(DockEdge::None, true);
            dragOffset = QPoint(width() / 2, titleBar->height() / 2);
            move(mouse->globalPosition().toPoint() - dragOffset);
        }
        draggingWindow = true;
        return true;
    }
    case QEvent::MouseMove: {
        if (!draggingWindow)
            return false;
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->buttons() & Qt::LeftButton)
            move(mouse->globalPosition().toPoint() - dragOffset);
        else
            draggingWindow = false;
        return true;
    }
    case QEvent::MouseButtonRelease:
        draggingWindow = false;
        return true;
    case QEvent::MouseButtonDblClick:
        return true;
    default:
        return false;
    }
}
