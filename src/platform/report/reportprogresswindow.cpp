// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/report/reportprogresswindow.h"

#include "platform/dialogunits.h"
#include "platform/fonts.h"
#include "platform/settingsfile.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>

using namespace Qt::StringLiterals;

// Resources of a static library are registered by hand, outside any namespace.
static void initReportResources()
{
    Q_INIT_RESOURCE(report);
}

namespace vetcert {

ReportProgressWindow::ReportProgressWindow(const QString& windowName, SettingsFile& settings, QWidget* parent)
    : QWidget(parent, Qt::Dialog), m_windowName(windowName), m_settings(settings)
{
    initReportResources();
    setObjectName(u"ReportProgress"_s);
    setWindowTitle(u"Готовность..."_s);
    const QFont font = fontFromStored(u"Arial CYR"_s, 7, 400);
    setFont(font);
    const DialogUnits du(font);
    setFixedSize(du.size(142, 59));
    m_background.load(u":/report/fon_nnn.jpg"_s);

    m_percent = new QLabel(this);
    m_percent->setObjectName(u"percent"_s);
    m_percent->setAlignment(Qt::AlignCenter);
    m_percent->setGeometry(du.rect(10, 4, 122, 9));

    m_bar = new QProgressBar(this);
    m_bar->setObjectName(u"progress"_s);
    m_bar->setRange(0, 100);
    m_bar->setTextVisible(false);
    m_bar->setGeometry(du.rect(10, 14, 122, 10));

    m_status = new QLabel(this);
    m_status->setObjectName(u"status"_s);
    m_status->setAlignment(Qt::AlignCenter);
    m_status->setGeometry(du.rect(10, 26, 122, 9));

    m_cancel = new QPushButton(u"Отмена"_s, this);
    m_cancel->setObjectName(u"cancel"_s);
    m_cancel->setGeometry(du.rect(46, 39, 50, 14));
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_cancel->setEnabled(false);
        emit cancelRequested();
    });

    setProgress(0);
    setStatus({});
}

ReportProgressWindow::~ReportProgressWindow() = default;

void ReportProgressWindow::setProgress(int tenThousandths)
{
    const int percent = std::clamp(tenThousandths, 0, 10000) / 100;
    m_bar->setValue(percent);
    m_percent->setText(u"%1% Complete"_s.arg(percent));
}

void ReportProgressWindow::setStatus(const QString& text)
{
    m_status->setText(text);
}

void ReportProgressWindow::finish()
{
    m_finishing = true;
    close();
}

void ReportProgressWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_placed) {
        m_placed = true;
        placement::restore(this, m_settings, m_windowName, false);
    }
}

void ReportProgressWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!m_background.isNull())
        p.drawTiledPixmap(rect(), m_background);
}

void ReportProgressWindow::closeEvent(QCloseEvent* event)
{
    if (m_placed && isVisible())
        placement::save(this, m_settings, m_windowName, false);
    if (!m_finishing) {
        // Closing the window while the run goes on is the same as "Отмена".
        m_cancel->setEnabled(false);
        emit cancelRequested();
    }
    event->accept();
}

} // namespace vetcert
