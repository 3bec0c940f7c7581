// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QObject>

namespace vetcert {

/// Tooltips of the whole application: switched on or off at once, in the program's colour, and
/// shown for a minute.
class Tooltips : public QObject
{
    Q_OBJECT
public:
    static inline const QColor kTextColor{5, 111, 156};
    static constexpr int kDurationMs = 60'000;

    explicit Tooltips(QObject* parent = nullptr);
    ~Tooltips() override;

    /// Sets the tooltip text colour for the application.
    static void applyColor();

    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_enabled = true;
};

} // namespace vetcert
