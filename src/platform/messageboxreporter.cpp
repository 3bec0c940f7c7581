// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/messageboxreporter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

using namespace Qt::StringLiterals;

namespace vetcert {

MessageBoxReporter::MessageBoxReporter()
    : m_asker(&MessageBoxReporter::showMessageBox), m_onFatal([] { QCoreApplication::exit(1); })
{
}

Button MessageBoxReporter::report(const Message& message)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread())
        return reportHere(message);
    // One message box at a time; the worker waits for the operator's answer.
    std::lock_guard lock(m_mutex);
    Button answer = Button::None;
    QMetaObject::invokeMethod(app, [&] { answer = reportHere(message); }, Qt::BlockingQueuedConnection);
    return answer;
}

Button MessageBoxReporter::reportHere(const Message& message)
{
    Message shown = message;
    if (shown.level != Level::Question) {
        shown.buttons = Button::Ok;
        shown.defaultButton = Button::Ok;
    }
    Button answer = m_asker(shown, m_parent);
    if (message.level != Level::Question)
        answer = Button::Ok;
    else if (!shown.buttons.testFlag(answer))
        answer = shown.buttons.testFlag(Button::Cancel) ? Button::Cancel : Button::No;
    if (message.level == Level::Fatal && m_onFatal)
        m_onFatal();
    return answer;
}

Button MessageBoxReporter::showMessageBox(const Message& m, QWidget* parent)
{
    QMessageBox box(parent);
    box.setWindowTitle(m.title);
    box.setText(m.text);
    switch (m.icon) {
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Error: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    }
    struct Choice
    {
        Button button;
        QMessageBox::ButtonRole role;
        QString text;
    };
    const Choice choices[] = {{Button::Ok, QMessageBox::AcceptRole, u"ОК"_s},
                              {Button::Yes, QMessageBox::YesRole, u"Да"_s},
                              {Button::No, QMessageBox::NoRole, u"Нет"_s},
                              {Button::Cancel, QMessageBox::RejectRole, u"Отмена"_s}};
    std::vector<std::pair<QAbstractButton*, Button>> added;
    for (const Choice& c : choices) {
        if (!m.buttons.testFlag(c.button))
            continue;
        QPushButton* b = box.addButton(c.text, c.role);
        added.emplace_back(b, c.button);
        if (c.button == m.defaultButton)
            box.setDefaultButton(b);
        if (c.button == Button::Cancel || (c.button == Button::No && !m.buttons.testFlag(Button::Cancel)))
            box.setEscapeButton(b);
    }
    box.exec();
    for (const auto& [widget, button] : added)
        if (box.clickedButton() == widget)
            return button;
    return m.buttons.testFlag(Button::Cancel) ? Button::Cancel : (m.buttons.testFlag(Button::No) ? Button::No : Button::Ok);
}

} // namespace vetcert
