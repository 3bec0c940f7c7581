// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFlags>
#include <QString>
#include <QStringList>
#include <deque>
#include <mutex>
#include <vector>

namespace vetcert {

/// The four levels of a message to the operator.
enum class Level { Notice, Question, Fatal, ProgramError };
enum class Icon { Information, Warning, Error, Question };

enum class Button { None = 0, Ok = 1, Yes = 2, No = 4, Cancel = 8 };
Q_DECLARE_FLAGS(Buttons, Button)
Q_DECLARE_OPERATORS_FOR_FLAGS(Buttons)

/// A message with its level; questions carry their buttons and the preselected one.
struct Message
{
    Level level = Level::Notice;
    Icon icon = Icon::Information;
    QString title;
    QString text;
    Buttons buttons = Button::Ok;
    Button defaultButton = Button::Ok;
};

/// The question an entry form asks before it throws away changes: Yes discards, No returns to the form.
inline Message discardChangesQuestion()
{
    Message m;
    m.level = Level::Question;
    m.icon = Icon::Question;
    m.title = QStringLiteral("Изменения не сохранены!");
    m.text = QStringLiteral("Не сохранять изменения?");
    m.buttons = Button::Yes | Button::No;
    m.defaultButton = Button::Yes;
    return m;
}

/// Where every message of the program goes: message boxes in the windows, stderr on the
/// command line, a record in tests. Called from any thread; the GUI implementation marshals.
class Reporter
{
public:
    virtual ~Reporter() = default;
    /// Shows the message and returns the button chosen (Ok for notices).
    virtual Button report(const Message& message) = 0;
};

/// Prints to stderr; questions take their safe answer (No, or Cancel when offered), never a retry.
class StderrReporter : public Reporter
{
public:
    Button report(const Message& message) override;
};

/// Keeps every message; questions are answered from a queue given in advance, else with their default.
class RecordingReporter : public Reporter
{
public:
    Button report(const Message& message) override;

    void answerNext(Button b);
    std::vector<Message> messages() const;
    QStringList texts() const;
    void clear();

private:
    mutable std::mutex m_mutex;
    std::vector<Message> m_messages;
    std::deque<Button> m_answers;
};

} // namespace vetcert
