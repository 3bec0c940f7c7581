// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/chmfile.h"

#include "core/cp1251.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <chm_lib.h>

using namespace Qt::StringLiterals;

namespace vetcert {

namespace {
QByteArray objectPath(const QString& name)
{
    return (name.startsWith(u'/') ? name : u'/' + name).toUtf8();
}

quint16 le16(const QByteArray& b, qsizetype at)
{
    return static_cast<quint16>(static_cast<quint8>(b[at]) | (static_cast<quint8>(b[at + 1]) << 8));
}

QString htmlUnescape(QString s)
{
    s.replace(u"&quot;"_s, u"\""_s).replace(u"&#39;"_s, u"'"_s).replace(u"&lt;"_s, u"<"_s).replace(u"&gt;"_s, u">"_s);
    return s.replace(u"&amp;"_s, u"&"_s);
}
} // namespace

// Texts in a help file are UTF-8 when they decode as such, else Windows-1251 as older compilers wrote them.
QString decodeHelpText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString s = utf8(bytes);
    if (!utf8.hasError())
        return s;
    return cp1251::decode(bytes);
}

ChmFile::ChmFile(const QString& path) : m_path(path)
{
    if (path.isEmpty() || !QFile::exists(path))
        return;
    m_handle = chm_open(QFile::encodeName(path).constData());
    if (m_handle)
        readSystem();
}

ChmFile::~ChmFile()
{
    if (m_handle)
        chm_close(m_handle);
}

std::optional<QByteArray> ChmFile::read(const QString& name) const
{
    if (!m_handle)
        return std::nullopt;
    chmUnitInfo ui{};
    const QByteArray p = objectPath(name);
    if (chm_resolve_object(m_handle, p.constData(), &ui) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    QByteArray data(static_cast<qsizetype>(ui.length), Qt::Uninitialized);
    if (ui.length > 0) {
        const LONGINT64 got = chm_retrieve_object(m_handle, &ui, reinterpret_cast<unsigned char*>(data.data()), 0,
                                                  static_cast<LONGINT64>(ui.length));
        if (got != static_cast<LONGINT64>(ui.length))
            return std::nullopt;
    }
    return data;
}

bool ChmFile::contains(const QString& name) const
{
    if (!m_handle)
        return false;
    chmUnitInfo ui{};
    return chm_resolve_object(m_handle, objectPath(name).constData(), &ui) == CHM_RESOLVE_SUCCESS;
}

QStringList ChmFile::objects() const
{
    QStringList out;
    if (!m_handle)
        return out;
    chm_enumerate(
        m_handle, CHM_ENUMERATE_ALL,
        [](chmFile*, chmUnitInfo* ui, void* context) {
            static_cast<QStringList*>(context)->append(QString::fromUtf8(ui->path));
            return CHM_ENUMERATOR_CONTINUE;
        },
        &out);
    return out;
}

void ChmFile::readSystem()
{
    // #SYSTEM: a version word, then records of a code, a length and the data.
    const std::optional<QByteArray> sys = read(u"#SYSTEM"_s);
    if (sys && sys->size() >= 4) {
        qsizetype at = 4;
        while (at + 4 <= sys->size()) {
            const quint16 code = le16(*sys, at);
            const quint16 len = le16(*sys, at + 2);
            at += 4;
            if (at + len > sys->size())
                break;
            QByteArray value = sys->mid(at, len);
            if (const qsizetype nul = value.indexOf('\0'); nul >= 0)
                value.truncate(nul);
            if (code == 0)
                m_contentsFile = decodeHelpText(value);
            else if (code == 2)
                m_defaultTopic = decodeHelpText(value);
            else if (code == 3)
                m_title = decodeHelpText(value);
            at += len;
        }
    }
    if (m_contentsFile.isEmpty()) {
        for (const QString& o : objects())
            if (o.endsWith(u".hhc"_s, Qt::CaseInsensitive)) {
                m_contentsFile = o;
                break;
            }
    }
    if (m_defaultTopic.isEmpty()) {
        const auto toc = contents();
        if (!toc.empty())
            m_defaultTopic = toc.front().local;
    }
}

std::vector<HelpContentsEntry> ChmFile::contents() const
{
    if (m_contentsFile.isEmpty())
        return {};
    const std::optional<QByteArray> data = read(m_contentsFile);
    return data ? parseSitemap(decodeHelpText(*data)) : std::vector<HelpContentsEntry>{};
}

std::vector<HelpContentsEntry> ChmFile::parseSitemap(const QString& html)
{
    static const QRegularExpression token(
        uR"re(<\s*(/?)\s*(ul|object)\b[^>]*>|<\s*param\s+name\s*=\s*"([^"]*)"\s+value\s*=\s*"([^"]*)"[^>]*>)re"_s,
        QRegularExpression::CaseInsensitiveOption);
    std::vector<HelpContentsEntry> root;
    // The list being filled at each depth; a <UL> nests under the last entry of the enclosing list.
    std::vector<std::vector<HelpContentsEntry>*> stack;
    HelpContentsEntry current;
    bool inObject = false;
    for (auto it = token.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const bool closing = !m.captured(1).isEmpty();
        const QString tag = m.captured(2).toLower();
        if (tag == u"ul"_s) {
            if (closing) {
                if (!stack.empty())
                    stack.pop_back();
            } else if (stack.empty()) {
                stack.push_back(&root);
            } else if (!stack.back()->empty()) {
                stack.push_back(&stack.back()->back().children);
            } else {
                stack.push_back(stack.back());
            }
        } else if (tag == u"object"_s) {
            if (!closing) {
                inObject = true;
                current = {};
            } else if (inObject) {
                inObject = false;
                if (!current.name.isEmpty() || !current.local.isEmpty())
                    (stack.empty() ? root : *stack.back()).push_back(current);
            }
        } else if (inObject) {
            const QString name = m.captured(3).toLower();
            const QString value = htmlUnescape(m.captured(4));
            if (name == u"name"_s)
                current.name = value;
            else if (name == u"local"_s)
                current.local = value;
        }
    }
    return root;
}

} // namespace vetcert
