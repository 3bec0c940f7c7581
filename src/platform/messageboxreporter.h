// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/reporter.h"

#include <QPointer>
#include <QWidget>
#include <deque>
#include <functional>
#include <mutex>

namespace vetcert {

/// Shows every message of the program in a message box on the GUI thread; a message from another
/// thread waits there for the answer. After a fatal message the application ends.
class MessageBoxReporter : public Reporter
{
public:
    /// How a message is put to the operator; tests replace it to answer without a window.
    using Asker = std::function<Button(const Message&, QWidget* parent)>;

    MessageBoxReporter();

    Button report(const Message& message) override;

    /// Message boxes are centred on this window.
    void setParentWindow(QWidget* parent) { m_parent = parent; }
    void setAsker(Asker asker) { m_asker = std::move(asker); }
    /// What ends the application after a fatal message (by default QCoreApplication::exit(1)).
    void setOnFatal(std::function<void()> onFatal) { m_onFatal = std::move(onFatal); }

    /// The message box itself, with Russian button texts.
    static Button showMessageBox(const Message& message, QWidget* parent);

private:
    Button reportHere(const Message& message);

    QPointer<QWidget> m_parent;
    Asker m_asker;
    std::function<void()> m_onFatal;
    std::mutex m_mutex;
};

} // namespace vetcert
