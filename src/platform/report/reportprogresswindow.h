// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace vetcert {

class SettingsFile;

/// The window of a run under way: "Готовность...", 142 × 59 dialog units in "Arial CYR" 7 pt over the
/// picture fon_nnn.jpg, with a progress bar, "NN% Complete", a status line and "Отмена". Its
/// placement is kept under the run's window name.
class ReportProgressWindow : public QWidget
{
    Q_OBJECT

public:
    ReportProgressWindow(const QString& windowName, SettingsFile& settings, QWidget* parent = nullptr);
    ~ReportProgressWindow() override;

    /// Progress in ten-thousandths: the bar and the whole percentage.
    void setProgress(int tenThousandths);
    void setStatus(const QString& text);
    /// Closes the window at the end of the run (a close by the operator cancels instead).
    void finish();

signals:
    void cancelRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QString m_windowName;
    SettingsFile& m_settings;
    QPixmap m_background;
    QProgressBar* m_bar;
    QLabel* m_percent;
    QLabel* m_status;
    QPushButton* m_cancel;
    bool m_placed = false;
    bool m_finishing = false;
};

} // namespace vetcert
