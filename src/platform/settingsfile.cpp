// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/settingsfile.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace vetcert {

namespace {
QString sectionKey(const QString& section, const QString& key) { return section + u'/' + key; }
} // namespace

SettingsFile::SettingsFile(const QString& path) : m_path(path)
{
    if (!path.isEmpty())
        m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
}

SettingsFile::~SettingsFile()
{
    if (m_settings)
        m_settings->sync();
}

QString SettingsFile::defaultPath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (dir.isEmpty())
        dir = QDir::homePath();
    QDir().mkpath(dir);
    return QDir(dir).filePath(u"Tesmar.INI"_s);
}

QVariant SettingsFile::value(const QString& section, const QString& key) const
{
    return m_settings ? m_settings->value(sectionKey(section, key)) : QVariant();
}

void SettingsFile::setValue(const QString& section, const QString& key, const QVariant& value)
{
    if (m_settings)
        m_settings->setValue(sectionKey(section, key), value);
}

void SettingsFile::remove(const QString& section, const QString& key)
{
    if (m_settings)
        m_settings->remove(sectionKey(section, key));
}

QStringList SettingsFile::keys(const QString& section) const
{
    if (!m_settings)
        return {};
    m_settings->beginGroup(section);
    const QStringList k = m_settings->childKeys();
    m_settings->endGroup();
    return k;
}

void SettingsFile::removeSection(const QString& section)
{
    if (m_settings)
        m_settings->remove(section);
}

bool SettingsFile::sync()
{
    if (!m_settings)
        return false;
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

namespace placement {

namespace {
const QString kYes = u"Yes"_s;
const QString kNo = u"No"_s;

QString yesNo(bool b) { return b ? kYes : kNo; }
} // namespace

void restore(QWidget* window, SettingsFile& settings, const QString& procedure, bool resizable)
{
    const QString maximize = settings.value(procedure, inikey::Maximize).toString();
    if (maximize != kYes && maximize != kNo)
        return;  // keep the designed position and size
    const bool max = maximize == kYes;
    const bool min = settings.value(procedure, inikey::Minimize).toString() == kYes;
    if (window->isMaximized() && !max)
        window->showNormal();
    bool ok1 = false, ok2 = false;
    const int x = settings.value(procedure, inikey::XPos).toInt(&ok1);
    const int y = settings.value(procedure, inikey::YPos).toInt(&ok2);
    if (ok1 && ok2)
        window->move(x, y);
    if (resizable) {
        const int w = settings.value(procedure, inikey::Width).toInt(&ok1);
        const int h = settings.value(procedure, inikey::Height).toInt(&ok2);
        if (ok1 && ok2 && w > 0 && h > 0)
            window->resize(w, h);
    }
    if (max)
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
    if (min)
        window->setWindowState(window->windowState() | Qt::WindowMinimized);
}

void save(const QWidget* window, SettingsFile& settings, const QString& procedure, bool resizable)
{
    const bool max = window->isMaximized();
    const bool min = window->isMinimized();
    settings.setValue(procedure, inikey::Maximize, yesNo(max));
    settings.setValue(procedure, inikey::Minimize, yesNo(min));
    if (max || min) {
        for (const QString& k : {inikey::XPos, inikey::YPos, inikey::Width, inikey::Height})
            settings.remove(procedure, k);
    } else {
        settings.setValue(procedure, inikey::XPos, window->x());
        settings.setValue(procedure, inikey::YPos, window->y());
        if (resizable) {
            settings.setValue(procedure, inikey::Width, window->width());
            settings.setValue(procedure, inikey::Height, window->height());
        } else {
            settings.remove(procedure, inikey::Width);
            settings.remove(procedure, inikey::Height);
        }
    }
    settings.sync();
}

} // namespace placement
} // namespace vetcert
