// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/mainframe.h"

#include "data/issuers.h"
#include "data/store.h"
#include "platform/dialogunits.h"
#include "platform/entryhighlight.h"
#include "platform/globals.h"
#include "platform/help.h"
#include "platform/helpviewer.h"
#include "platform/settingsfile.h"
#include "platform/tooltips.h"
#include "shell/zast.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace vetcert {

namespace {
enum EditAction { Cut, Copy, Paste };

struct ButtonDef
{
    ToolButton id;
    int x;
    const char16_t* tip;
    const char16_t* icon;
};

const ButtonDef kButtons[] = {
    {ToolButton::Top, 4, u"Первая запись", u"1n.ico"},
    {ToolButton::PageUp, 21, u"Go to the Prior Page", u"2n.ico"},
    {ToolButton::Up, 38, u"Go to the Prior Record", u"3n.ico"},
    {ToolButton::Locate, 55, u"Locate record", u"13n.ico"},
    {ToolButton::Down, 72, u"Go to the Next Record", u"5n.ico"},
    {ToolButton::PageDown, 89, u"Go to the Next Page", u"6n.ico"},
    {ToolButton::Bottom, 106, u"Go to the Last Page", u"7n.ico"},
    {ToolButton::Select, 123, u"Select This Record", u"8n.ico"},
    {ToolButton::Insert, 140, u"Insert a New Record", u"9n.ico"},
    {ToolButton::Change, 157, u"Редактировать запись", u"10n.ico"},
    {ToolButton::Delete, 174, u"Удалить запись", u"11n.ico"},
    {ToolButton::History, 191, u"Вставить предыдущее значение", u"12n.ico"},
    {ToolButton::PrintLayout, 230, u"[Точная настройка печати строк формы]", u"Sch-ord.ico"},
    {ToolButton::Contacts, 256, u"[Контакты (электронная помощь, сайт)]", u"lampa.ico"},
};

QIcon resourceIcon(const QString& file) { return QIcon(u":/icons/"_s + file); }

// The desktop theme's standard icon, or ours where the desktop has none.
QIcon standardIcon(const QString& themeName) { return QIcon::fromTheme(themeName, resourceIcon(themeName + u".ico"_s)); }

// The window titles, for the note about windows this version does not have yet.
QString windowTitleOf(const QString& procedure)
{
    if (procedure == u"Browselicenziy"_s)
        return u"База данных ...Регистрационных удостоверений..."_s;
    if (procedure == u"Rep_data"_s)
        return u"За период"_s;
    if (procedure == u"BrowseNastr"_s)
        return u"Содержание настройки"_s;
    return procedure;
}

const QString kTipsText = u"Включить подсказки"_s;
const QString kTipsOn = u"включить подсказки [включены]"_s;
const QString kTipsOff = u"включить подсказки [отключены]"_s;
} // namespace

Main::Main(Globals& globals, Store& store, SettingsFile& settings, Help& help, const WindowRegistry& windows,
           QWidget* parent)
    : QMainWindow(parent),
      m_globals(globals),
      m_store(store),
      m_settings(settings),
      m_help(help),
      m_windows(windows),
      m_mdi(new QMdiArea(this)),
      m_env{globals, store, settings, help, *this, m_mdi},
      m_tooltips(std::make_unique<Tooltips>())
{
    setObjectName(kProcedure);
    setWindowTitle(title());
    QFont f(u"Arial CYR"_s);
    f.setPointSize(8);
    setFont(f);
    m_mdi->setObjectName(u"MdiArea"_s);
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &Main::subWindowActivated);

    buildMenu();
    buildToolbar();
    statusBar()->setObjectName(u"StatusBar"_s);
    new EntryHighlight(this);
    m_help.install(this);

    // The designed size, centred on the screen; then the stored placement.
    const DialogUnits du(font());
    resize(du.size(505, 319));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        move(avail.center() - rect().center());
    }
    placement::restore(this, m_settings, kProcedure, true);
    loadIssuerLines();
}

Main::~Main()
{
    // The area's windows go after the members; nothing may reach the toolbar then.
    disconnect(m_mdi, nullptr, this, nullptr);
}

QString Main::title()
{
    return u"Ветеринарная служба РФ. Заполнение и печать ветеринарных удостоверений [версия "_s
           + QString::fromLatin1(VETCERT_VERSION) + u']';
}

void Main::buildMenu()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(u"MenuBar"_s);
    auto addMenu = [&](const QString& text, const QString& name, const QString& hint, const QIcon& icon) {
        // A menu bar shows a title's icon instead of its text, so the icon stays with the menu's own property.
        QMenu* m = bar->addMenu(text);
        m->setObjectName(name);
        m->setProperty("titleIcon", icon);
        m->menuAction()->setStatusTip(hint);
        return m;
    };
    auto addItem = [&](QMenu* m, const QString& text, const QString& name, const QString& hint, const QIcon& icon) {
        QAction* a = m->addAction(icon, text);
        a->setObjectName(name);
        a->setStatusTip(hint);
        return a;
    };

    QMenu* print = addMenu(u"...&Печать..."_s, u"MenuPrint"_s, QString(), resourceIcon(u"PRNFONT.ICO"_s));
    connect(addItem(print, u"...&Выбрать принтер..."_s, u"ItemPrinter"_s, u"Настройки принтера..."_s,
                    resourceIcon(u"PRNFONT.ICO"_s)),
            &QAction::triggered, this, &Main::choosePrinter);
    print->addSeparator();
    connect(addItem(print, u"Выход"_s, u"ItemExit"_s, u"Exit this application"_s, resourceIcon(u"EXIT.ICO"_s)),
            &QAction::triggered, this, &QWidget::close);

    QMenu* edit = addMenu(u"...&Редактировать..."_s, u"MenuEdit"_s, u"Редактировать"_s, standardIcon(u"edit-copy"_s));
    connect(addItem(edit, u"Вырезать"_s, u"ItemCut"_s, u"Вырезать в Clipboard"_s, standardIcon(u"edit-cut"_s)),
            &QAction::triggered, this, [this] { editFocused(Cut); });
    connect(addItem(edit, u"Копировать"_s, u"ItemCopy"_s, u"Копировать в Clipboard"_s, standardIcon(u"edit-copy"_s)),
            &QAction::triggered, this, [this] { editFocused(Copy); });
    connect(addItem(edit, u"Вклеить"_s, u"ItemPaste"_s, u"Вклеить в документ"_s, standardIcon(u"edit-paste"_s)),
            &QAction::triggered, this, [this] { editFocused(Paste); });

    QMenu* data = addMenu(u"...&База данных..."_s, u"MenuData"_s, u"Раотать с документом \"Форма №3\""_s,
                          resourceIcon(u"adr1.ico"_s));
    connect(addItem(data, u"Подготовка и печать 'Удостоверений'   "_s, u"ItemRegister"_s,
                    u"Browse Разрешения на вывоз"_s, resourceIcon(u"adr1.ico"_s)),
            &QAction::triggered, this, [this] { startWindow(u"Browselicenziy"_s); });
    connect(addItem(data, u"Отчет за период"_s, u"ItemPeriod"_s, u"Отчет за период"_s, resourceIcon(u"PRNFONT.ICO"_s)),
            &QAction::triggered, this, [this] { startWindow(u"Rep_data"_s); });
    connect(addItem(data, u"Настройка формы"_s, u"ItemLayout"_s, QString(), resourceIcon(u"Sch-ord.ico"_s)),
            &QAction::triggered, this, [this] { startWindow(u"BrowseNastr"_s); });

    QMenu* helpMenu = addMenu(u"...Помощь..."_s, u"MenuHelp"_s, u"Помощь"_s, resourceIcon(u"lampa.ico"_s));
    connect(addItem(helpMenu, u"Инструкция по работе  "_s, u"ItemManual"_s, QString(), resourceIcon(u"lampa.ico"_s)),
            &QAction::triggered, this, [this] { m_help.showTopic(u"Краткое описание.htm"_s); });
    connect(addItem(helpMenu, u"О программе"_s, u"ItemAbout"_s, u"О программе"_s, resourceIcon(u"lampa.ico"_s)),
            &QAction::triggered, this, [this] { startWindow(Zast::kProcedure); });
}

void Main::buildToolbar()
{
    auto* bar = new QToolBar(this);
    bar->setObjectName(u"Toolbar"_s);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->toggleViewAction()->setEnabled(false);
    addToolBar(Qt::TopToolBarArea, bar);

    // The buttons sit at fixed places on the bar, in dialog units of the frame's font.
    auto* panel = new QWidget(bar);
    panel->setObjectName(u"ToolbarPanel"_s);
    const DialogUnits du(font());
    for (const ButtonDef& d : kButtons) {
        auto* b = new QToolButton(panel);
        const QString id = QString::number(static_cast<int>(d.id));
        b->setObjectName(u"TOOL"_s + id);
        b->setGeometry(du.rect(d.x, 4, 17, 14));
        b->setIcon(resourceIcon(QString::fromUtf16(d.icon)));
        b->setIconSize(QSize(16, 16));
        b->setToolTip(QString::fromUtf16(d.tip));
        b->setAutoRaise(true);
        // Toolbar buttons never take the focus from the field they act on.
        b->setFocusPolicy(Qt::NoFocus);
        m_buttons[d.id] = b;
    }
    for (ToolButton b : kNavigationButtons) {
        m_buttons[b]->setEnabled(false);
        connect(m_buttons[b], &QAbstractButton::clicked, this, [this, b] { pressNavigation(b); });
    }
    connect(m_buttons[ToolButton::PrintLayout], &QAbstractButton::clicked, this,
            [this] { startWindow(u"BrowseNastr"_s); });
    connect(m_buttons[ToolButton::Contacts], &QAbstractButton::clicked, this,
            [this] { m_help.showTopic(u"Контакты.htm"_s); });

    m_tips = new QCheckBox(kTipsText, panel);
    m_tips->setObjectName(u"TOOL3014"_s);
    m_tips->setFocusPolicy(Qt::NoFocus);
    m_tips->setChecked(m_globals.SORT == 1);
    m_tips->move(du.x(279), du.y(4));
    // Room for the longest of its three texts.
    m_tips->resize(m_tips->fontMetrics().horizontalAdvance(kTipsOff) + du.x(16), du.y(14));
    m_buttons[ToolButton::Tips] = m_tips;
    connect(m_tips, &QCheckBox::toggled, this, &Main::setTips);

    panel->setFixedSize(m_tips->geometry().right() + du.x(4), du.y(22));
    bar->addWidget(panel);
}

void Main::loadIssuerLines()
{
    Context ctx(m_store, kProcedure);
    const IssuerLines lines = vetcert::loadIssuerLines(ctx);
    for (int i = 0; i < 6; ++i)
        m_globals.issuerLine(i).setCut(lines.z[static_cast<size_t>(i)]);
}

QWidget* Main::startWindow(const QString& procedure)
{
    if (!m_windows.contains(procedure)) {
        statusBar()->showMessage(u"Окно «%1» появится в следующей версии программы"_s.arg(windowTitleOf(procedure)));
        return nullptr;
    }
    statusBar()->clearMessage();
    QWidget* w = m_windows.start(procedure, m_env);
    // A window that did not place itself in the frame opens in it with the stored placement.
    if (w && !qobject_cast<QMdiSubWindow*>(w->parentWidget()))
        openInFrame(m_env, w, procedure, true);
    return w;
}

void Main::pressNavigation(ToolButton button)
{
    QMdiSubWindow* sub = m_mdi->activeSubWindow();
    if (!sub)
        return;
    if (auto* target = dynamic_cast<ToolbarTarget*>(sub->widget()))
        target->toolbarPressed(button);
}

void Main::subWindowActivated(QMdiSubWindow* sub)
{
    disableNavigation();
    if (!sub)
        return;
    if (auto* target = dynamic_cast<ToolbarTarget*>(sub->widget()))
        target->toolbarActivated(*this);
}

void Main::setTips(bool on)
{
    m_globals.SORT = on ? 1 : 0;
    if (m_tips->isChecked() != on) {
        m_tips->setChecked(on);
        return;  // toggled() calls back
    }
    m_tips->setText(on ? kTipsOn : kTipsOff);
    m_tooltips->setEnabled(on);
}

void Main::setButtonEnabled(ToolButton button, bool enabled)
{
    if (auto it = m_buttons.find(button); it != m_buttons.end())
        it->second->setEnabled(enabled);
}

bool Main::isButtonEnabled(ToolButton button) const
{
    const auto it = m_buttons.find(button);
    return it != m_buttons.end() && it->second->isEnabled();
}

void Main::setButtonTip(ToolButton button, const QString& tip)
{
    if (auto it = m_buttons.find(button); it != m_buttons.end())
        it->second->setToolTip(tip);
}

QString Main::buttonTip(ToolButton button) const
{
    const auto it = m_buttons.find(button);
    return it != m_buttons.end() ? it->second->toolTip() : QString();
}

QAbstractButton* Main::button(ToolButton button) const
{
    const auto it = m_buttons.find(button);
    return it != m_buttons.end() ? it->second : nullptr;
}

void Main::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    Tooltips::applyColor();
}

void Main::closeEvent(QCloseEvent* event)
{
    // Every window started from the frame closes with it; one that refuses keeps the frame open.
    m_mdi->closeAllSubWindows();
    if (!m_mdi->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    placement::save(this, m_settings, kProcedure, true);
    if (HelpViewer* viewer = m_help.viewer())
        viewer->close();
    event->accept();
}

void Main::choosePrinter()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>();
    auto* dialog = new QPrintDialog(m_printer.get(), this);
    dialog->setObjectName(u"PrinterSetup"_s);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog->open();
}

void Main::editFocused(int action)
{
    QWidget* w = QApplication::focusWidget();
    if (!w)
        return;
    if (auto* combo = qobject_cast<QComboBox*>(w))
        w = combo->lineEdit();
    else if (qobject_cast<QAbstractSpinBox*>(w))
        w = w->findChild<QLineEdit*>();
    if (auto* line = qobject_cast<QLineEdit*>(w)) {
        if (action == Cut)
            line->cut();
        else if (action == Copy)
            line->copy();
        else
            line->paste();
    } else if (auto* text = qobject_cast<QTextEdit*>(w)) {
        if (action == Cut)
            text->cut();
        else if (action == Copy)
            text->copy();
        else
            text->paste();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
        if (action == Cut)
            plain->cut();
        else if (action == Copy)
            plain->copy();
        else
            plain->paste();
    }
}

void registerShellWindows(WindowRegistry& registry)
{
    registry.add(Zast::kProcedure, &Zast::start);
}

} // namespace vetcert
