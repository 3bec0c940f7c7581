// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/tooltips.h"

#include <QApplication>
#include <QToolTip>
#include <QWidget>

namespace vetcert {

Tooltips::Tooltips(QObject* parent) : QObject(parent) { qApp->installEventFilter(this); }

Tooltips::~Tooltips() = default;

void Tooltips::applyColor()
{
    QPalette p = QToolTip::palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(g, QPalette::ToolTipText, kTextColor);
    QToolTip::setPalette(p);
}

void Tooltips::setEnabled(bool on)
{
    m_enabled = on;
    if (!on)
        QToolTip::hideText();
}

bool Tooltips::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return false;
    if (!m_enabled)
        return true;
    // Widgets show their tooltips themselves; they keep them up for the program's time.
    if (watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (w->toolTipDuration() < 0)
            w->setToolTipDuration(kDurationMs);
    }
    return false;
}

} // namespace vetcert
