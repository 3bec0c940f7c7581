// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/zast.h"

#include "data/store.h"
#include "platform/dialogunits.h"
#include "platform/entryhighlight.h"
#include "platform/help.h"
#include "platform/windows.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace vetcert {

namespace {
const QColor kBackground{255, 225, 255};
const QColor kGreen{0, 128, 64};
const QColor kGrey{128, 128, 128};

QFont arialCyr(double points)
{
    QFont f(u"Arial CYR"_s);
    f.setPointSizeF(points);
    return f;
}

// A line of text turned by 270 degrees, read from the bottom up.
class VerticalText : public QWidget
{
public:
    VerticalText(const QString& text, QWidget* parent) : QWidget(parent), m_text(text) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setFont(font());
        p.setPen(kGrey);
        p.translate(0, height());
        p.rotate(270);
        p.drawText(QRect(0, 0, height(), width()), Qt::AlignCenter, m_text);
    }

private:
    QString m_text;
};
} // namespace

Zast::Zast(std::unique_ptr<Context> context, QWidget* parent) : QWidget(parent), m_context(std::move(context))
{
    setObjectName(kProcedure);
    setWindowTitle(u"О программе [Ветеринарное удостоверение]"_s);
    setFont(arialCyr(9));
    const QString hint = u"Продолжение работы с программой - левая кнопка мыши"_s;
    setStatusTip(hint);
    const DialogUnits du(font());
    setFixedSize(du.size(188, 209));

    auto* region = new QFrame(this);
    region->setObjectName(u"REGION"_s);
    region->setFrameStyle(QFrame::Box | QFrame::Sunken);
    region->setGeometry(du.rect(5, 4, 178, 190));

    auto* icon = new QLabel(this);
    icon->setObjectName(u"IMAGE1"_s);
    icon->setGeometry(du.rect(32, 19, 18, 16));
    icon->setPixmap(QApplication::windowIcon().pixmap(icon->size()));
    icon->setAlignment(Qt::AlignCenter);

    auto* title = new QLabel(u"Ветеринарное удостоверение"_s, this);
    title->setObjectName(u"STRING1"_s);
    QFont tf = arialCyr(8);
    tf.setUnderline(true);
    title->setFont(tf);
    title->setGeometry(du.rect(49, 6, 93, 10));

    auto* subtitle = new QLabel(u"Рекомендации, заполнение и печать"_s, this);
    subtitle->setObjectName(u"STRING2"_s);
    subtitle->setFont(arialCyr(7));
    subtitle->adjustSize();
    subtitle->move(du.x(51), du.y(12));

    for (QLabel* l : {title, subtitle}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, kGreen);
        l->setPalette(p);
    }

    auto* country = new VerticalText(u"[Российская Федерация, районная станция по борьбе с болезнями животных]"_s, this);
    country->setObjectName(u"STRING3"_s);
    country->setFont(arialCyr(7));
    country->setGeometry(du.rect(8, 14, 13, 87));

    auto* picture = new QLabel(this);
    picture->setObjectName(u"IMAGE2"_s);
    picture->setGeometry(du.rect(45, 30, 94, 118));
    picture->setPixmap(QPixmap(u":/pictures/Regud_zast.jpg"_s)
                           .scaled(picture->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    picture->setAlignment(Qt::AlignCenter);

    for (QWidget* w : findChildren<QWidget*>()) {
        w->setStatusTip(hint);
        w->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    new EntryHighlight(this);
}

Zast::~Zast() = default;

QWidget* Zast::start(std::unique_ptr<Context> context, const WindowEnv& env)
{
    auto* z = new Zast(std::move(context));
    env.help.install(z);
    QMdiSubWindow* sub = openInFrame(env, z, kProcedure, false);
    sub->setWindowIcon(QApplication::windowIcon());
    z->watchActivation();
    return z;
}

void Zast::watchActivation()
{
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!sub)
        return;
    sub->installEventFilter(this);
    connect(sub, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates, Qt::WindowStates now) {
        if (now.testFlag(Qt::WindowActive))
            m_wasActive = true;
        else if (m_wasActive)
            closeWindow();
    });
    m_wasActive = sub->isActiveWindow() && sub->windowState().testFlag(Qt::WindowActive);
}

bool Zast::eventFilter(QObject* watched, QEvent* event)
{
    // The whole program lost the focus to another application.
    if (event->type() == QEvent::WindowDeactivate && watched == parentWidget() && m_wasActive)
        closeWindow();
    return QWidget::eventFilter(watched, event);
}

void Zast::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
        closeWindow();
}

void Zast::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        closeWindow();
}

void Zast::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kBackground);
    p.fillRect(rect(), QBrush(QPixmap(u":/pictures/color1.jpg"_s)));
}

void Zast::closeWindow()
{
    if (m_closing)
        return;
    m_closing = true;
    // Closed after the event that asked for it has been handled.
    QWidget* w = parentWidget() ? parentWidget() : this;
    QTimer::singleShot(0, w, [w] { w->close(); });
}

} // namespace vetcert
