// Members of the main window whose features have not landed yet. Each block goes away when its feature's
// own file (editor, hotkeys and tray, docking, history, status refresh, language menu) defines them; until
// then the buttons and timers that call them do nothing.
#include "ui/MainWindow.h"

#include <QCloseEvent>
#include <QEnterEvent>
#include <QMoveEvent>
