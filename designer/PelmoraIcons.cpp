#include "designer/PelmoraIcons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>

namespace {

constexpr int Side = 24;

template <class Paint>
QIcon Painted(Paint paint)
{
    QPixmap pixmap(Side, Side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    p.end();
    return QIcon(pixmap);
}

void Landscape(QPainter& p, QRectF r)
{
    p.fillRect(r, QColor(120, 180, 240));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 210, 40));
    p.drawEllipse(QPointF(r.right() - 5, r.top() + 5), 3, 3);
    QPainterPath hill;
    hill.moveTo(r.bottomLeft());
    hill.lineTo(r.left() + r.width() * 0.4, r.top() + r.height() * 0.45);
    hill.lineTo(r.left() + r.width() * 0.7, r.top() + r.height() * 0.7);
    hill.lineTo(r.right(), r.top() + r.height() * 0.5);
    hill.lineTo(r.bottomRight());
    p.setBrush(QColor(40, 140, 60));
    p.drawPath(hill);
}

} // namespace

QIcon IconQelImage()
{
    return Painted([](QPainter& p) {
        Landscape(p, QRectF(2, 3, 20, 18));
        p.setPen(QColor(60, 60, 60));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(2, 3, 20, 18));
    });
}

QIcon IconPnlImg()
{
    return Painted([](QPainter& p) {
        p.fillRect(QRectF(1, 1, 22, 22), QColor(192, 192, 192));
        Landscape(p, QRectF(3, 3, 15, 15));
        p.fillRect(QRectF(19, 3, 3, 15), QColor(150, 150, 150));
        p.fillRect(QRectF(3, 19, 15, 3), QColor(150, 150, 150));
        p.fillRect(QRectF(19, 6, 3, 5), QColor(90, 90, 90));
        p.fillRect(QRectF(6, 19, 5, 3), QColor(90, 90, 90));
    });
}

QIcon IconCanvas2D()
{
    return Painted([](QPainter& p) {
        p.fillRect(QRectF(1, 1, 22, 22), Qt::black);
        p.fillRect(QRectF(5, 3, 16, 16), QColor(0, 0, 128));
        p.setPen(Qt::white);
        p.drawRect(QRectF(5, 3, 16, 16));
        QPainterPath wave;
        for (int i = 0; i <= 16; ++i) {
            const QPointF pt(5 + i, 11 - 6 * std::sin(i * 0.45));
            i == 0 ? wave.moveTo(pt) : wave.lineTo(pt);
        }
        p.setPen(QPen(QColor(255, 220, 0), 1.5));
        p.drawPath(wave);
    });
}

QIcon IconEscala()
{
    return Painted([](QPainter& p) {
        QLinearGradient band(0, 2, 0, 22);
        band.setColorAt(0, Qt::red);
        band.setColorAt(0.5, Qt::green);
        band.setColorAt(1, Qt::blue);
        p.fillRect(QRectF(3, 2, 8, 20), band);
        p.setPen(Qt::black);
        for (int y = 3; y <= 21; y += 6)
            p.drawLine(QPointF(13, y), QPointF(21, y));
    });
}

QIcon IconDiskInfo()
{
    return Painted([](QPainter& p) {
        p.setPen(QColor(50, 50, 50));
        p.setBrush(QColor(170, 170, 180));
        p.drawRoundedRect(QRectF(2, 7, 20, 11), 2, 2);
        p.setBrush(QColor(60, 200, 60));
        p.drawEllipse(QPointF(17, 14), 1.5, 1.5);
        p.drawLine(QPointF(5, 11), QPointF(12, 11));
    });
}
