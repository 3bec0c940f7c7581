// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <memory>

namespace vetcert {

class Context;
struct WindowEnv;

/// The about window: what the program is for. It closes as soon as the operator clicks it (left,
/// left double or right) or turns to another window.
class Zast : public QWidget
{
    Q_OBJECT
public:
    static inline const QString kProcedure = QStringLiteral("Zast");

    explicit Zast(std::unique_ptr<Context> context, QWidget* parent = nullptr);
    ~Zast() override;

    /// Opens a new about window in the frame.
    static QWidget* start(std::unique_ptr<Context> context, const WindowEnv& env);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void watchActivation();
    void closeWindow();

    std::unique_ptr<Context> m_context;
    bool m_wasActive = false;
    bool m_closing = false;
};

} // namespace vetcert
