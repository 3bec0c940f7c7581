// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace vetcert {

/// Kinds of controls as the highlight tells them apart.
enum class ControlKind {
    Entry,      // QLineEdit
    SpinBox,    // QAbstractSpinBox, date entries included
    TextBox,    // QTextEdit, QPlainTextEdit
    CheckBox,
    RadioButton,
    ListBox,    // item views
    DropList,   // QComboBox, not editable
    DropCombo,  // QComboBox, editable
    Other
};

ControlKind controlKind(const QWidget* control);
/// Kinds that are highlighted: entries, spin boxes, text boxes, check boxes and radio buttons.
bool isRestyledKind(ControlKind kind);
/// Lists and combos, which are never restyled.
bool isListKind(ControlKind kind);
/// Entries of a control's drop-down part; 0 for controls without one.
int dropDownCount(const QWidget* control);

/// The required attribute of an input control (it takes the pink highlight).
void setRequired(QWidget* control, bool required);
bool isRequired(const QWidget* control);

/// The background colour a control has of its own; an invalid colour when it shows the default.
QColor backgroundColor(const QWidget* control);
/// Gives a control its own background colour; an invalid colour gives it back its default look.
void setBackgroundColor(QWidget* control, const QColor& color);
/// The font style of a control: weight (400 normal, 700 bold) plus 4096 italic, 8192 underline, 16384 strike-out.
int fontStyle(const QWidget* control);
void setFontStyle(QWidget* control, int style);

/// Marks the input control that holds the keyboard focus: bold on light yellow, or on light pink
/// for a required control; the control gets back its own colour and style when the focus moves on.
/// One per window, created by the window with itself as parent; it handles the controls of that
/// window that no inner window with a highlight of its own claims.
class EntryHighlight : public QObject
{
    Q_OBJECT
public:
    static constexpr int kHighlightStyle = 700;
    static inline const QColor kYellow{255, 255, 189};
    static inline const QColor kPink{255, 189, 189};

    explicit EntryHighlight(QWidget* window);
    ~EntryHighlight() override;

    /// The highlight attached to the window that owns a control, or nullptr.
    static EntryHighlight* forControl(const QWidget* control);

    /// The control last taken over (SCFIELD), its saved style (SCSTYLE) and colour (SCCOLOR).
    QWidget* field() const { return m_field; }
    int savedStyle() const { return m_style; }
    QColor savedColor() const { return m_color; }

    /// Runs the highlight for a control of this window that gained the focus.
    void controlFocused(QWidget* control);

signals:
    /// After the highlight has run for a control of this window; windows add their own work here.
    void focusEntered(QWidget* control);

private:
    QWidget* m_window;
    QPointer<QWidget> m_field;
    ControlKind m_fieldKind = ControlKind::Other;
    int m_style = 0;
    QColor m_color;
    bool m_ownFont = false;
};

} // namespace vetcert
