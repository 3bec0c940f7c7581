// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/startup.h"

#include "data/store.h"
#include "platform/dragsetting.h"
#include "platform/fonts.h"
#include "platform/fuzzyoptions.h"
#include "platform/globals.h"
#include "platform/help.h"
#include "platform/messageboxreporter.h"
#include "platform/settingsfile.h"
#include "platform/windows.h"
#include "shell/mainframe.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace vetcert {

GuiOptions parseGuiOptions(const QStringList& arguments)
{
    GuiOptions o;
    o.dataDir = QDir::currentPath();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == u"--data"_s && i + 1 < arguments.size())
            o.dataDir = arguments[++i];
        else if (a == u"--settings"_s && i + 1 < arguments.size())
            o.settingsPath = arguments[++i];
        else if (a == u"--exit-when-shown"_s)
            o.exitWhenShown = true;
    }
    return o;
}

namespace {
// Ends the program right after the frame's first paint.
class ExitWhenShown : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        }
        return false;
    }
};
} // namespace

int runGui(int& argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"vetcert"_s);
    QTranslator qtRussian;
    if (qtRussian.load(QLocale(QLocale::Russian), u"qtbase"_s, u"_"_s,
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtRussian);
    installFontSubstitutions();

    const GuiOptions options = parseGuiOptions(QApplication::arguments());
    if (!QDir(options.dataDir).exists()) {
        MessageBoxReporter::showMessageBox({Level::Fatal, Icon::Error, u"Каталог данных"_s,
                                            u"Каталог данных «%1» не существует."_s.arg(options.dataDir)},
                                           nullptr);
        return 1;
    }

    // Every process-wide value starts at its initial value.
    Globals globals;
    // 1. The shared matcher: ignore case, match inside words too.
    setFuzzyOptions({.ignoreCase = true, .wholeWordsOnly = false});
    // 2. The settings file; one that cannot be opened only means no positions are kept.
    SettingsFile settings(options.settingsPath.isEmpty() ? SettingsFile::defaultPath() : options.settingsPath);
    // 3. The icon of every window without one of its own.
    QApplication::setWindowIcon(QIcon(u":/icons/vetcert.ico"_s));
    // 4. No full-window dragging while the program runs.
    const std::unique_ptr<DesktopDragSetting> dragSetting = createDesktopDragSetting();
    FullWindowDragOff dragOff(*dragSetting);

    MessageBoxReporter reporter;
    Store store(options.dataDir, reporter);
    Help help(globals.helpTopic);
    WindowRegistry windows;
    registerShellWindows(windows);

    // 5. The frame, until it closes.
    int code = 0;
    {
        Main frame(globals, store, settings, help, windows);
        reporter.setParentWindow(&frame);
        ExitWhenShown exitWhenShown;
        if (options.exitWhenShown)
            frame.installEventFilter(&exitWhenShown);
        frame.show();
        code = QApplication::exec();
        if (frame.isVisible())
            frame.close();  // ended by a fatal message: the windows still close and save their places
        reporter.setParentWindow(nullptr);
    }
    // 6. Shut-down: the desktop setting back as it was, the settings written.
    dragOff.restore();
    settings.sync();
    setFuzzyOptions({});
    return code;
}

} // namespace vetcert
