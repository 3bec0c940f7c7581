// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/help.h"

#include "platform/helpviewer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace vetcert {

namespace {
const char* const kHelpWindowProperty = "vetcertHelp";
const QString kSeparator = u"::/"_s;
} // namespace

Help::Help(QString& currentTopic, QString chmPath) : m_topic(currentTopic), m_chmPath(std::move(chmPath))
{
    qApp->installEventFilter(this);
}

Help::~Help()
{
    delete m_viewer;
}

QString Help::defaultPath() { return QDir(QCoreApplication::applicationDirPath()).filePath(u"instr.chm"_s); }

QString Help::address(const QString& fileName, const QString& topic)
{
    if (topic.contains(kSeparator))
        return topic;
    return fileName + kSeparator + topic;
}

HelpViewer* Help::viewer() const { return m_viewer; }

void Help::setCurrentTopic(const QString& topic) { m_topic = topic.left(kTopicWidth); }

void Help::install(QWidget* window) { window->setProperty(kHelpWindowProperty, true); }

bool Help::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() != Qt::Key_F1 && key->key() != Qt::Key_F12) || key->modifiers() != Qt::NoModifier)
        return false;
    for (auto* w = static_cast<QWidget*>(watched); w; w = w->parentWidget()) {
        if (w->property(kHelpWindowProperty).toBool()) {
            showCurrent();
            return true;
        }
    }
    return false;
}

HelpViewer* Help::openViewer()
{
    if (!m_viewer) {
        m_viewer = new HelpViewer();
        m_viewer->setAttribute(Qt::WA_QuitOnClose, false);
    }
    if (m_viewer->filePath() != m_chmPath || !m_viewer->isFileOpen())
        m_viewer->openFile(m_chmPath);
    m_viewer->show();
    m_viewer->raise();
    m_viewer->activateWindow();
    return m_viewer;
}

void Help::showCurrent()
{
    if (m_topic.trimmed().isEmpty())
        showContents();
    else
        showAddress(address(QFileInfo(m_chmPath).fileName(), m_topic.trimmed()));
}

void Help::showContents() { openViewer()->showContents(); }

void Help::showTopic(const QString& topic)
{
    setCurrentTopic(topic);
    showContents();
    showAddress(address(QFileInfo(m_chmPath).fileName(), topic));
}

void Help::showAddress(const QString& addr)
{
    // The part before "::/" names the file; this program has one help file, in its own folder.
    const qsizetype sep = addr.indexOf(kSeparator);
    openViewer()->showTopic(sep >= 0 ? addr.mid(sep + kSeparator.size()) : addr);
}

} // namespace vetcert
