// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/helpviewer.h"

#include "platform/chmfile.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QSplitter>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace vetcert {

namespace {
const QString kScheme = u"chm"_s;

QUrl topicUrl(const QString& objectPath)
{
    QUrl url;
    url.setScheme(kScheme);
    url.setPath(objectPath.startsWith(u'/') ? objectPath : u'/' + objectPath);
    return url;
}
} // namespace

/// Reads the pages, style sheets and pictures of a topic from the help file.
class ChmBrowser : public QTextBrowser
{
public:
    explicit ChmBrowser(QWidget* parent) : QTextBrowser(parent) {}
    ChmFile* file = nullptr;

    QVariant loadResource(int type, const QUrl& name) override
    {
        if (file && (name.scheme() == kScheme || name.isRelative())) {
            if (const std::optional<QByteArray> data = file->read(name.path())) {
                if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource)
                    return decodeHelpText(*data);
                return *data;
            }
            return {};
        }
        return QTextBrowser::loadResource(type, name);
    }
};

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(u"HelpViewer"_s);
    setWindowTitle(u"Справка"_s);
    resize(820, 560);
    auto* split = new QSplitter(this);
    m_contents = new QTreeWidget(split);
    m_contents->setObjectName(u"HelpContents"_s);
    m_contents->setHeaderHidden(true);
    m_browser = new ChmBrowser(split);
    m_browser->setObjectName(u"HelpPage"_s);
    m_browser->setOpenLinks(false);
    split->setStretchFactor(1, 3);
    split->setSizes({220, 600});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(split);

    connect(m_contents, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const QString local = item->data(0, Qt::UserRole).toString();
        if (!local.isEmpty())
            showTopic(local);
    });
    connect(m_contents, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        const QString local = item->data(0, Qt::UserRole).toString();
        if (!local.isEmpty() && local != m_topic)
            showTopic(local);
    });
    connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        const QUrl target = m_browser->source().resolved(link);
        if (target.scheme() == kScheme)
            showTopic(target.path());
        else
            QDesktopServices::openUrl(link);
    });
}

HelpViewer::~HelpViewer() = default;

QString HelpViewer::filePath() const { return m_requestedPath; }

bool HelpViewer::isFileOpen() const { return m_file && m_file->isOpen(); }

bool HelpViewer::openFile(const QString& path)
{
    m_requestedPath = path;
    m_file = std::make_unique<ChmFile>(path);
    m_browser->file = m_file.get();
    fillContents();
    if (!m_file->isOpen()) {
        setWindowTitle(u"Справка"_s);
        showMessage(u"Не удалось открыть файл справки «%1»: файла нет или он повреждён."_s.arg(path));
        return false;
    }
    setWindowTitle(m_file->title().isEmpty() ? u"Справка"_s : m_file->title());
    return true;
}

void HelpViewer::showContents()
{
    if (!isFileOpen()) {
        showMessage(u"Не удалось открыть файл справки «%1»: файла нет или он повреждён."_s.arg(m_requestedPath));
        return;
    }
    m_contents->expandAll();
    if (!m_file->defaultTopic().isEmpty())
        showTopic(m_file->defaultTopic());
}

bool HelpViewer::showTopic(const QString& topic)
{
    if (!isFileOpen()) {
        showMessage(u"Не удалось открыть файл справки «%1»: файла нет или он повреждён."_s.arg(m_requestedPath));
        return false;
    }
    QString path = topic;
    while (path.startsWith(u'/'))
        path.remove(0, 1);
    if (const qsizetype hash = path.indexOf(u'#'); hash >= 0)
        path.truncate(hash);
    if (!m_file->contains(path)) {
        for (const QString& ext : {u".htm"_s, u".html"_s})
            if (m_file->contains(path + ext)) {
                path += ext;
                break;
            }
    }
    if (path.isEmpty() || !m_file->contains(path)) {
        showMessage(u"В файле справки «%1» нет раздела «%2»."_s.arg(m_requestedPath, topic));
        return false;
    }
    m_message.clear();
    m_topic = path;
    m_browser->setSource(topicUrl(path), QTextDocument::HtmlResource);
    selectInContents(path);
    return true;
}

void HelpViewer::showMessage(const QString& text)
{
    m_topic.clear();
    m_message = text;
    m_browser->setHtml(u"<h2>Справка недоступна</h2><p>%1</p>"_s.arg(text.toHtmlEscaped()));
}

void HelpViewer::fillContents()
{
    m_contents->clear();
    if (!isFileOpen())
        return;
    const std::function<void(const std::vector<HelpContentsEntry>&, QTreeWidgetItem*)> add =
        [&](const std::vector<HelpContentsEntry>& entries, QTreeWidgetItem* parent) {
            for (const HelpContentsEntry& e : entries) {
                auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_contents);
                item->setText(0, e.name);
                item->setData(0, Qt::UserRole, e.local);
                add(e.children, item);
            }
        };
    add(m_file->contents(), nullptr);
    m_contents->expandAll();
}

void HelpViewer::selectInContents(const QString& topic)
{
    for (QTreeWidgetItemIterator it(m_contents); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toString().compare(topic, Qt::CaseInsensitive) == 0) {
            m_contents->setCurrentItem(*it);
            return;
        }
    }
}

} // namespace vetcert
