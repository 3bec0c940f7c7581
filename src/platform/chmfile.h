// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

struct chmFile;

namespace vetcert {

/// One entry of a compiled help file's table of contents.
struct HelpContentsEntry
{
    QString name;
    QString local;  // the topic's object path without the leading '/', empty for a heading
    std::vector<HelpContentsEntry> children;
};

/// A compiled HTML help file (.chm), read through chmlib.
class ChmFile
{
public:
    explicit ChmFile(const QString& path);
    ~ChmFile();
    Q_DISABLE_COPY_MOVE(ChmFile)

    bool isOpen() const { return m_handle != nullptr; }
    const QString& path() const { return m_path; }

    /// The stored object at `name` ("Контакты.htm" or "/Контакты.htm"), or nothing when it is absent.
    std::optional<QByteArray> read(const QString& name) const;
    bool contains(const QString& name) const;
    /// Every object path of the file.
    QStringList objects() const;

    QString title() const { return m_title; }
    /// The topic the file opens at.
    QString defaultTopic() const { return m_defaultTopic; }
    std::vector<HelpContentsEntry> contents() const;

    /// Parses a sitemap (.hhc) into its tree of entries.
    static std::vector<HelpContentsEntry> parseSitemap(const QString& html);

private:
    void readSystem();

    QString m_path;
    chmFile* m_handle = nullptr;
    QString m_title;
    QString m_defaultTopic;
    QString m_contentsFile;
};

/// A text of a help file: UTF-8 when it decodes as such, else Windows-1251.
QString decodeHelpText(const QByteArray& bytes);

} // namespace vetcert
