#include "sentry/Logo.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace hg::sentry {
namespace {

// A shield with a keyhole, in the box given.
void drawShield(QPainter& painter, const QRectF& box) {
    QPainterPath shield;
    const qreal l = box.left(), r = box.right(), t = box.top(), b = box.bottom();
    const qreal mid = box.center().x();
    shield.moveTo(mid, t);
    shield.cubicTo(mid + box.width() * 0.25, t + box.height() * 0.08, r - box.width() * 0.1, t + 4,
                   r, t + box.height() * 0.1);
    shield.cubicTo(r, t + box.height() * 0.62, mid + box.width() * 0.2, b - box.height() * 0.1, mid,
                   b);
    shield.cubicTo(mid - box.width() * 0.2, b - box.height() * 0.1, l, t + box.height() * 0.62, l,
                   t + box.height() * 0.1);
    shield.cubicTo(l + box.width() * 0.1, t + 4, mid - box.width() * 0.25, t + box.height() * 0.08,
                   mid, t);
    shield.closeSubpath();

    QLinearGradient steel(box.topLeft(), box.bottomRight());
    steel.setColorAt(0, QColor(0x4f, 0x7f, 0xb8));
    steel.setColorAt(1, QColor(0x17, 0x2f, 0x5a));
    painter.setPen(QPen(QColor(0xd9, 0xb2, 0x4c), 2.5));
    painter.setBrush(steel);
    painter.drawPath(shield);

    QPainterPath keyhole;
    const qreal radius = box.width() * 0.13;
    const QPointF centre(mid, t + box.height() * 0.4);
    keyhole.addEllipse(centre, radius, radius);
    QPolygonF slot;
    slot << QPointF(mid - radius * 0.55, centre.y()) << QPointF(mid + radius * 0.55, centre.y())
         << QPointF(mid + radius * 0.9, t + box.height() * 0.72)
         << QPointF(mid - radius * 0.9, t + box.height() * 0.72);
    keyhole.addPolygon(slot);
    keyhole.setFillRule(Qt::WindingFill);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xf2, 0xf2, 0xf2));
    painter.drawPath(keyhole.simplified());
}

}  // namespace

QPixmap hallgardLogo() {
    QPixmap picture(kLogoWidth, kLogoHeight);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    drawShield(painter, QRectF(10, 6, 62, 75));

    QFont title("DejaVu Serif");
    title.setPixelSize(33);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(QColor(0xf2, 0xf2, 0xf2));
    painter.drawText(QRectF(86, 4, 200, 50), Qt::AlignLeft | Qt::AlignVCenter, "Hallgard");
    const int titleWidth = painter.fontMetrics().horizontalAdvance("Hallgard");
    painter.setPen(QColor(0xd9, 0xb2, 0x4c));
    painter.drawText(QRectF(86 + titleWidth + 8, 4, 90, 50), Qt::AlignLeft | Qt::AlignVCenter,
                     "Pro");

    painter.setPen(QPen(QColor(0xd9, 0xb2, 0x4c), 1.5));
    painter.drawLine(QPointF(88, 56), QPointF(340, 56));

    QFont motto("DejaVu Sans");
    motto.setPixelSize(13);
    painter.setFont(motto);
    painter.setPen(QColor(0xa8, 0xb8, 0xcc));
    painter.drawText(QRectF(88, 60, 255, 22), Qt::AlignLeft | Qt::AlignVCenter,
                     "Access control for shared desktops");
    return picture;
}

}  // namespace hg::sentry
