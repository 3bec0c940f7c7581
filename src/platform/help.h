// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace vetcert {

class HelpViewer;

/// Help for the whole program: the compiled help file, the current topic shared by every window
/// (kept in the process-wide values) and the keys F1 and F12, which show that topic in every
/// window that prepared its help.
class Help : public QObject
{
    Q_OBJECT
public:
    static constexpr int kTopicWidth = 256;

    /// `currentTopic` is the application-wide current topic, kept by the caller.
    Help(QString& currentTopic, QString chmPath = defaultPath());
    ~Help() override;

    /// instr.chm in the program's folder.
    static QString defaultPath();
    /// A topic as the help file name, "::/" and the topic name; a topic that holds "::/" already stays as it is.
    static QString address(const QString& fileName, const QString& topic);

    const QString& chmPath() const { return m_chmPath; }
    QString currentTopic() const { return m_topic; }
    void setCurrentTopic(const QString& topic);

    /// Prepares a window's help: F1 and F12 there (F1 is taken as F12) show the current topic.
    void install(QWidget* window);

    /// What F12 does: the current topic, or the contents when no topic is current.
    void showCurrent();
    /// Opens the help file at its table of contents.
    void showContents();
    /// Opens the file at its contents, makes the topic current and shows it.
    void showTopic(const QString& topic);

    /// The viewer, once help has been shown.
    HelpViewer* viewer() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    HelpViewer* openViewer();
    void showAddress(const QString& address);

    QString& m_topic;
    QString m_chmPath;
    QPointer<HelpViewer> m_viewer;
};

} // namespace vetcert
