// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows.h"

#include "data/store.h"
#include "platform/settingsfile.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace vetcert {

namespace {
// Writes a window's placement when it closes.
class PlacementKeeper : public QObject
{
public:
    PlacementKeeper(QMdiSubWindow* sub, SettingsFile& settings, QString procedure, bool resizable)
        : QObject(sub), m_settings(settings), m_procedure(std::move(procedure)), m_resizable(resizable)
    {
        sub->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close && !m_saved) {
            m_saved = true;
            placement::save(static_cast<QWidget*>(watched), m_settings, m_procedure, m_resizable);
        }
        return false;
    }

private:
    SettingsFile& m_settings;
    QString m_procedure;
    bool m_resizable;
    bool m_saved = false;
};
} // namespace

void WindowRegistry::add(const QString& procedure, WindowFactory factory)
{
    m_factories[procedure] = std::move(factory);
}

bool WindowRegistry::contains(const QString& procedure) const { return m_factories.contains(procedure); }

QWidget* WindowRegistry::start(const QString& procedure, const WindowEnv& env) const
{
    const auto it = m_factories.find(procedure);
    if (it == m_factories.end())
        return nullptr;
    return it->second(std::make_unique<Context>(env.store, procedure), env);
}

QMdiSubWindow* openInFrame(const WindowEnv& env, QWidget* window, const QString& procedure, bool resizable)
{
    return openInArea(env.mdiArea, env.settings, window, procedure, resizable);
}

QMdiSubWindow* openInArea(QMdiArea* area, SettingsFile& settings, QWidget* window, const QString& procedure,
                          bool resizable)
{
    QMdiSubWindow* sub = area->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setObjectName(procedure);
    sub->adjustSize();
    // The designed position: centred in the area.
    const QSize free = area->viewport()->size() - sub->size();
    sub->move(std::max(0, free.width() / 2), std::max(0, free.height() / 2));
    new PlacementKeeper(sub, settings, procedure, resizable);
    sub->show();
    placement::restore(sub, settings, procedure, resizable);
    return sub;
}

} // namespace vetcert
