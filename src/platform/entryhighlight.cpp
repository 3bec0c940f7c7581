// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/entryhighlight.h"

#include "platform/fonts.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace vetcert {

namespace {
const char* const kRequiredProperty = "vetcertRequired";
const char* const kHighlightProperty = "vetcertEntryHighlight";

QPalette::ColorRole backgroundRole(const QWidget* w)
{
    const ControlKind k = controlKind(w);
    return k == ControlKind::CheckBox || k == ControlKind::RadioButton ? QPalette::Window : QPalette::Base;
}

// A line edit inside a combo or spin box stands for its owner.
QWidget* owningControl(QWidget* w)
{
    if (qobject_cast<QLineEdit*>(w) && w->parentWidget()
        && (qobject_cast<QComboBox*>(w->parentWidget()) || qobject_cast<QAbstractSpinBox*>(w->parentWidget())))
        return w->parentWidget();
    return w;
}
} // namespace

ControlKind controlKind(const QWidget* w)
{
    if (qobject_cast<const QLineEdit*>(w))
        return ControlKind::Entry;
    if (qobject_cast<const QAbstractSpinBox*>(w))
        return ControlKind::SpinBox;
    if (qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w))
        return ControlKind::TextBox;
    if (qobject_cast<const QCheckBox*>(w))
        return ControlKind::CheckBox;
    if (qobject_cast<const QRadioButton*>(w))
        return ControlKind::RadioButton;
    if (qobject_cast<const QAbstractItemView*>(w))
        return ControlKind::ListBox;
    if (auto* combo = qobject_cast<const QComboBox*>(w))
        return combo->isEditable() ? ControlKind::DropCombo : ControlKind::DropList;
    return ControlKind::Other;
}

bool isRestyledKind(ControlKind k) { return k <= ControlKind::RadioButton; }

bool isListKind(ControlKind k) { return k >= ControlKind::ListBox && k <= ControlKind::DropCombo; }

int dropDownCount(const QWidget* w)
{
    if (auto* combo = qobject_cast<const QComboBox*>(w))
        return combo->maxVisibleItems();
    return 0;
}

void setRequired(QWidget* control, bool required) { control->setProperty(kRequiredProperty, required); }

bool isRequired(const QWidget* control) { return control->property(kRequiredProperty).toBool(); }

QColor backgroundColor(const QWidget* w)
{
    if (!w->testAttribute(Qt::WA_SetPalette))
        return {};
    return w->palette().color(backgroundRole(w));
}

void setBackgroundColor(QWidget* w, const QColor& color)
{
    const QPalette::ColorRole role = backgroundRole(w);
    const bool fills = role == QPalette::Window;
    if (!color.isValid()) {
        w->setPalette(QPalette());
        if (fills)
            w->setAutoFillBackground(false);
        return;
    }
    QPalette p = w->palette();
    p.setColor(role, color);
    w->setPalette(p);
    if (fills)
        w->setAutoFillBackground(true);
}

int fontStyle(const QWidget* w)
{
    const QFont& f = w->font();
    int style = f.weight();
    if (f.italic())
        style |= FontStyleBits::kItalic;
    if (f.underline())
        style |= FontStyleBits::kUnderline;
    if (f.strikeOut())
        style |= FontStyleBits::kStrikeOut;
    return style;
}

void setFontStyle(QWidget* w, int style)
{
    QFont f = w->font();
    const int weight = style & FontStyleBits::kWeightMask;
    f.setWeight(static_cast<QFont::Weight>(std::clamp(weight > 0 ? weight : 400, 100, 900)));
    f.setItalic(style & FontStyleBits::kItalic);
    f.setUnderline(style & FontStyleBits::kUnderline);
    f.setStrikeOut(style & FontStyleBits::kStrikeOut);
    w->setFont(f);
}

EntryHighlight::EntryHighlight(QWidget* window) : QObject(window), m_window(window)
{
    window->setProperty(kHighlightProperty, QVariant::fromValue(static_cast<QObject*>(this)));
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (!now)
            return;
        QWidget* control = owningControl(now);
        if (forControl(control) == this)
            controlFocused(control);
    });
}

EntryHighlight::~EntryHighlight()
{
    if (m_window && m_window->property(kHighlightProperty).value<QObject*>() == this)
        m_window->setProperty(kHighlightProperty, QVariant());
}

EntryHighlight* EntryHighlight::forControl(const QWidget* control)
{
    for (const QWidget* w = control; w; w = w->parentWidget()) {
        if (auto* h = qobject_cast<EntryHighlight*>(w->property(kHighlightProperty).value<QObject*>()))
            return h;
    }
    return nullptr;
}

void EntryHighlight::controlFocused(QWidget* n)
{
    // Undo the previous highlight with the values saved when that control was taken over.
    if (m_field && !isListKind(m_fieldKind)) {
        setBackgroundColor(m_field, m_color);
        if (!m_ownFont) {
            m_field->setFont(QFont());
            if (fontStyle(m_field) != m_style)
                setFontStyle(m_field, m_style);
        } else {
            setFontStyle(m_field, m_style);
        }
    }
    const ControlKind kind = controlKind(n);
    if (!n->isVisible() || !n->isEnabled()) {
        m_field = nullptr;
    } else if ((isRestyledKind(kind) || isListKind(kind))
               && !((kind == ControlKind::ListBox || kind == ControlKind::DropList || kind == ControlKind::DropCombo)
                    && dropDownCount(n) <= 0)) {
        m_field = n;
        m_fieldKind = kind;
        m_style = fontStyle(n);
        m_color = backgroundColor(n);
        m_ownFont = n->testAttribute(Qt::WA_SetFont);
        if (isRestyledKind(kind)) {
            setFontStyle(n, kHighlightStyle);
            setBackgroundColor(n, isRequired(n) ? kPink : kYellow);
        }
    }
    emit focusEntered(n);
}

} // namespace vetcert
