#include "views/elements/module_icons.h"

#include <QPainter>

namespace views::elements {
namespace {

QPixmap blank() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::white);
    return pixmap;
}

QPixmap dot(const QColor& colour) {
    QPixmap pixmap = blank();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(colour.darker(150));
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    return pixmap;
}

}  // namespace

QPixmap markIcon(int resourceId) {
    if (resourceId != kIconChanged) return blank();
    QPixmap pixmap = blank();
    QPainter painter(&pixmap);
    painter.setPen(QPen(QColor(0xC0, 0x30, 0x20), 2));
    painter.drawLine(3, 13, 12, 4);  // a pen stroke: edited, not yet in the device
    painter.drawLine(3, 13, 6, 13);
    return pixmap;
}

QIcon treeIcon(int index) {
    QPixmap pixmap = blank();
    QPainter painter(&pixmap);
    switch (index) {
        case 0:
            painter.setPen(QColor(0x9A, 0x7B, 0x20));
            painter.setBrush(QColor(0xF2, 0xD0, 0x6B));
            painter.drawRect(1, 4, 13, 9);
            painter.drawRect(1, 2, 6, 2);
            break;
        case 2:
            painter.setPen(QColor(0x20, 0x60, 0xA0));
            painter.drawPolyline(QPolygon({QPoint(1, 13), QPoint(5, 7), QPoint(9, 10), QPoint(14, 3)}));
            break;
        case 3:
            painter.setPen(QPen(QColor(0x50, 0x50, 0x50), 2));
            painter.drawLine(3, 13, 12, 4);
            painter.drawEllipse(10, 1, 4, 4);
            break;
        default:
            painter.setPen(QColor(0x40, 0x40, 0x40));
            painter.setBrush(QColor(0xE8, 0xEE, 0xF6));
            painter.drawRect(2, 1, 11, 13);
            painter.drawLine(4, 5, 11, 5);
            painter.drawLine(4, 8, 11, 8);
            break;
    }
    return QIcon(pixmap);
}

QIcon faultIcon(long index) {
    switch (index) {
        case 0: return QIcon(dot(QColor(0x30, 0xA0, 0x40)));
        case 1: return QIcon(dot(QColor(0xD0, 0x30, 0x20)));
        case 2: return QIcon(dot(QColor(0xE8, 0xB8, 0x20)));
        default: return QIcon(dot(QColor(0x90, 0x90, 0x90)));
    }
}

}  // namespace views::elements
