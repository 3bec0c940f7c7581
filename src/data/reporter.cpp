// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/reporter.h"

#include <cstdio>

namespace vetcert {

Button StderrReporter::report(const Message& m)
{
    const char* level = m.level == Level::Fatal          ? "фатальная ошибка"
                        : m.level == Level::ProgramError ? "ошибка программы"
                        : m.level == Level::Question     ? "вопрос"
                                                         : "сообщение";
    const QString line = QStringLiteral("vetcert: %1: %2: %3\n").arg(QString::fromUtf8(level), m.title, m.text);
    std::fputs(line.toUtf8().constData(), stderr);
    if (m.level != Level::Question)
        return Button::Ok;
    if (m.buttons.testFlag(Button::Cancel))
        return Button::Cancel;
    return Button::No;
}

Button RecordingReporter::report(const Message& m)
{
    std::lock_guard lock(m_mutex);
    m_messages.push_back(m);
    if (m.level != Level::Question)
        return Button::Ok;
    if (!m_answers.empty()) {
        const Button b = m_answers.front();
        m_answers.pop_front();
        return b;
    }
    return m.defaultButton;
}

void RecordingReporter::answerNext(Button b)
{
    std::lock_guard lock(m_mutex);
    m_answers.push_back(b);
}

std::vector<Message> RecordingReporter::messages() const
{
    std::lock_guard lock(m_mutex);
    return m_messages;
}

QStringList RecordingReporter::texts() const
{
    std::lock_guard lock(m_mutex);
    QStringList out;
    for (const Message& m : m_messages)
        out << m.text;
    return out;
}

void RecordingReporter::clear()
{
    std::lock_guard lock(m_mutex);
    m_messages.clear();
    m_answers.clear();
}

} // namespace vetcert
