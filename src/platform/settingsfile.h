// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

class QSettings;
class QWidget;

namespace vetcert {

/// The settings file Tesmar.INI: window positions, print-preview settings and saved queries, in
/// sections named after the windows. A file that cannot be opened only means that nothing is kept.
class SettingsFile
{
public:
    /// Opens the file at `path`; an empty path keeps nothing.
    explicit SettingsFile(const QString& path);
    ~SettingsFile();
    Q_DISABLE_COPY_MOVE(SettingsFile)

    /// Tesmar.INI in the user's settings directory.
    static QString defaultPath();

    const QString& path() const { return m_path; }
    QVariant value(const QString& section, const QString& key) const;
    void setValue(const QString& section, const QString& key, const QVariant& value);
    void remove(const QString& section, const QString& key);
    QStringList keys(const QString& section) const;
    void removeSection(const QString& section);
    /// Writes pending changes to disk; false when the file cannot be written.
    bool sync();

private:
    QString m_path;
    std::unique_ptr<QSettings> m_settings;
};

/// The keys of a window's section, named once.
namespace inikey {
inline const QString Maximize = QStringLiteral("Maximize");
inline const QString Minimize = QStringLiteral("Minimize");
inline const QString XPos = QStringLiteral("XPos");
inline const QString YPos = QStringLiteral("YPos");
inline const QString Width = QStringLiteral("Width");
inline const QString Height = QStringLiteral("Height");
/// The named queries of a list's query window, in the list's window section.
inline const QString SavedQueries = QStringLiteral("SavedQueries");
} // namespace inikey

/// Window placement in the section named after the window's procedure. `window` is the widget that
/// is moved: a top-level window or the QMdiSubWindow that holds an MDI child.
namespace placement {

/// Applies the stored placement right after the window opens: a window stored as not maximised is
/// first restored, then position and (when `resizable`) size are applied, then it is maximised or
/// minimised as stored. When "Maximize" is missing or neither "Yes" nor "No" the window keeps its
/// designed position and size.
void restore(QWidget* window, SettingsFile& settings, const QString& procedure, bool resizable);

/// Writes the placement when the window closes: "Maximize" and "Minimize" always; position (and size
/// when `resizable`) only while neither maximised nor minimised, removed otherwise.
void save(const QWidget* window, SettingsFile& settings, const QString& procedure, bool resizable);

} // namespace placement
} // namespace vetcert
