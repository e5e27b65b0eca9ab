#include "ui/MainWindow.h"

#include "base/I18n.h"
#include "base/SettingsKeys.h"
#include "model/DatabaseLocation.h"
#include "ui/EdgeDocking.h"
#include "ui/HandedOverFiles.h"
#include "ui/HotkeysAndTray.h"
#include "ui/LanguageMenu.h"
#include "ui/PanelIcons.h"
#include "ui/PresetCards.h"
#include "ui/PrintExecution.h"
#include "ui/PrintHistoryDialog.h"
#include "ui/StatusRefresh.h"
#include "ui/TitleBarDrag.h"
#include "ui/WaylandNotice.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

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
    createControllers();

    // What is in front first: a warning of the cards' rebuild (a hotkey taken elsewhere) outranks it.
    execution->pollForeground();
    presetCards->rebuild();
    applyTheme(darkMode, false);
    retranslateUi();
    QTimer::singleShot(250, languageMenu, &LanguageMenu::showCompatibilityNotice);
    QTimer::singleShot(0, docking, &EdgeDocking::restoreState);
}

// The controllers go first, while the widgets they work on still exist.
MainWindow::~MainWindow()
{
    delete std::exchange(waylandNotice, nullptr);
    delete std::exchange(handedOverFiles, nullptr);
    delete std::exchange(titleBarDrag, nullptr);
    delete std::exchange(languageMenu, nullptr);
    delete std::exchange(statusRefresh, nullptr);
    delete std::exchange(docking, nullptr);
    delete std::exchange(hotkeysAndTray, nullptr);
    delete std::exchange(execution, nullptr);
    delete std::exchange(presetCards, nullptr);
}

void MainWindow::createControllers()
{
    presetCards = new PresetCards(repository, scrollArea, dropHint, this);
    execution = new PrintExecution(repository, this);
    hotkeysAndTray = new HotkeysAndTray(repository, this);
    docking = new EdgeDocking(this, dockButton, edgeHandle);
    statusRefresh = new StatusRefresh(repository, this);
    languageMenu = new LanguageMenu(languageButton, this);
    titleBarDrag = new TitleBarDrag(this, titleBar);
    handedOverFiles = new HandedOverFiles(repository, this);
    waylandNotice = new WaylandNotice(this);

    connect(historyButton, &QPushButton::clicked, this, &MainWindow::showPrintHistory);
    connect(languageButton, &QPushButton::clicked, languageMenu, &LanguageMenu::showMenu);
    connect(dockButton, &QPushButton::clicked, docking, &EdgeDocking::showDockMenu);
    connect(themeButton, &QPushButton::clicked, this, &MainWindow::toggleTheme);
    connect(minimizeButton, &QPushButton::clicked, this, &QWidget::showMinimized);
    connect(closeButton, &QPushButton::clicked, hotkeysAndTray, &HotkeysAndTray::hideToTray);
    connect(addPrinterButton, &QPushButton::clicked, presetCards, &PresetCards::addPreset);

    connect(presetCards, &PresetCards::statusChanged, this, &MainWindow::setStatus);
    connect(execution, &PrintExecution::statusChanged, this, &MainWindow::setStatus);
    connect(hotkeysAndTray, &HotkeysAndTray::statusChanged, this, &MainWindow::setStatus);
    connect(handedOverFiles, &HandedOverFiles::statusChanged, this, &MainWindow::setStatus);
    connect(waylandNotice, &WaylandNotice::statusChanged, this, &MainWindow::setStatus);

    connect(presetCards, &PresetCards::printRequested, execution, &PrintExecution::execute);
    connect(handedOverFiles, &HandedOverFiles::printRequested, execution, &PrintExecution::execute);
    connect(execution, &PrintExecution::busyChanged, handedOverFiles, &HandedOverFiles::setBusy);
    connect(execution, &PrintExecution::foregroundDocumentChanged, presetCards,
            &PresetCards::setForegroundDocument);
    connect(hotkeysAndTray, &HotkeysAndTray::printRequested, execution,
            [this](const PrintPreset &preset) { execution->execute(preset); });
    connect(presetCards, &PresetCards::cardsRebuilt, hotkeysAndTray, &HotkeysAndTray::registerHotkeys);
    connect(presetCards, &PresetCards::cardsRebuilt, statusRefresh, &StatusRefresh::refreshSoon);
    connect(statusRefresh, &StatusRefresh::statusChecked, presetCards, &PresetCards::showPrinterStatus);
    connect(this, &MainWindow::themeChanged, presetCards, &PresetCards::setDarkMode);
    connect(this, &MainWindow::themeChanged, handedOverFiles, &HandedOverFiles::setDarkMode);

    connect(execution, &PrintExecution::busyChanged, this, [this](bool busy) {
        presetCards->setCardsEnabled(!busy);
        addPrinterButton->setEnabled(!busy);
    });
    connect(execution, &PrintExecution::busyChanged, docking, &EdgeDocking::setBusy);
    connect(docking, &EdgeDocking::edgeChanged, titleBarDrag, &TitleBarDrag::setDockEdge);
    connect(titleBarDrag, &TitleBarDrag::undockRequested, docking,
            [this] { docking->setDockEdge(DockEdge::None, true); });

    // In this order: the window's texts, then the cards (whose rebuild may report), then "Ready".
    connect(languageMenu, &LanguageMenu::languageChanged, this, &MainWindow::retranslateUi);
    connect(languageMenu, &LanguageMenu::languageChanged, docking, &EdgeDocking::updateDockButton);
    connect(languageMenu, &LanguageMenu::languageChanged, hotkeysAndTray, &HotkeysAndTray::retranslate);
    connect(languageMenu, &LanguageMenu::languageChanged, presetCards, &PresetCards::rebuild);
    connect(languageMenu, &LanguageMenu::languageChanged, this, [this] { setStatus(QString()); });
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
    auto *titleLayout = new QHBoxLayout(titleBar);
    titleLayout->setContentsMargins(8, 0, 4, 0);
    titleLayout->setSpacing(5);

    titleIcon = new QLabel(titleBar);
    titleIcon->setObjectName(QStringLiteral("titleIcon"));
    titleIcon->setFixedSize(18, 18);
    titleIcon->setAlignment(Qt::AlignCenter);
    titleIcon->setAttribute(Qt::WA_TransparentForMouseEvents);
    titleIcon->setPixmap(QApplication::windowIcon().pixmap(16, 16));
    auto *titleLabel = new QLabel(QStringLiteral("Ollavan"), titleBar);
    titleLabel->setObjectName(QStringLiteral("titleLabel"));
    titleLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    titleLayout->addWidget(titleIcon);
    titleLayout->addWidget(titleLabel);
    titleLayout->addStretch();

    historyButton = new QPushButton(QStringLiteral("H"), titleBar);
    historyButton->setObjectName(QStringLiteral("historyButton"));
    historyButton->setFixedSize(26, 26);
    historyButton->setToolTip(I18n::text("Print history"));

    languageButton = new QPushButton(titleBar);
    languageButton->setObjectName(QStringLiteral("languageButton"));
    languageButton->setFixedSize(30, 26);
    languageButton->setToolTip(I18n::text("Language"));

    dockButton = new QPushButton(QString(QChar(0x21E5)), titleBar);
    dockButton->setObjectName(QStringLiteral("dockButton"));
    dockButton->setFixedSize(26, 26);

    themeButton = iconButton(QStringLiteral("sun"), I18n::text("Switch to dark mode"), titleBar);
    themeButton->setObjectName(QStringLiteral("themeButton"));

    minimizeButton = new QPushButton(QString(QChar(0x2212)), titleBar);
    minimizeButton->setObjectName(QStringLiteral("minimizeButton"));
    minimizeButton->setFixedSize(30, 30);
    minimizeButton->setToolTip(I18n::text("Minimize"));

    closeButton = new QPushButton(QString(QChar(0x00D7)), titleBar);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setFixedSize(30, 30);
    closeButton->setToolTip(I18n::text("Hide to system tray"));

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
    auto *cardLayout = new QVBoxLayout(cardHost);
    cardLayout->setContentsMargins(0, 0, 0, 0);
    cardLayout->setSpacing(10);
    cardLayout->setAlignment(Qt::AlignTop);
    scrollArea->setWidget(cardHost);
    contentLayout->addWidget(scrollArea);

    auto *dropZone = new QWidget(content);
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

    emit themeChanged(dark);

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
}

void MainWindow::showPrintHistory()
{
    PrintHistoryDialog dialog(repository, this);
    dialog.exec();
}

void MainWindow::present()
{
    hotkeysAndTray->restoreWindow();
    docking->expand();
}

void MainWindow::printFiles(const QStringList &files, const QString &presetReference)
{
    handedOverFiles->printFiles(files, presetReference);
}

bool MainWindow::nativeEvent(const QByteArray &eventType, void *message, qintptr *result)
{
    return (hotkeysAndTray && hotkeysAndTray->handleNativeMessage(eventType, message, result)) ||
           QWidget::nativeEvent(eventType, message, result);
}
