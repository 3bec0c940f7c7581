// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <memory>

class QTreeWidget;
class QTreeWidgetItem;
class QTextBrowser;

namespace vetcert {

class ChmFile;
class ChmBrowser;

/// The program's own help viewer: the table of contents of a compiled help file beside the topic
/// shown. A missing file or topic is told in the viewer itself.
class HelpViewer : public QWidget
{
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);
    ~HelpViewer() override;

    /// Opens a help file (kept open until another is opened); false when it cannot be read.
    bool openFile(const QString& path);
    /// Shows the file at its table of contents and its opening topic.
    void showContents();
    /// Shows a topic given by its name in the file ("Контакты.htm"; "UpdateAgent" also finds
    /// "UpdateAgent.htm"); false, with the viewer's message, when the file has no such topic.
    bool showTopic(const QString& topic);

    /// The topic shown, as its object path without the leading '/'; empty when a message is shown.
    QString currentTopic() const { return m_topic; }
    /// The message shown instead of a topic, empty when a topic is shown.
    QString message() const { return m_message; }
    QString filePath() const;
    bool isFileOpen() const;

private:
    void showMessage(const QString& text);
    void fillContents();
    void selectInContents(const QString& topic);

    std::unique_ptr<ChmFile> m_file;
    QString m_requestedPath;
    QTreeWidget* m_contents;
    ChmBrowser* m_browser;
    QString m_topic;
    QString m_message;
};

} // namespace vetcert
