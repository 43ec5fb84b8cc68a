#include "monitor/mypixmapitem.h"

#include <QPainter>

void MyPixmapItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter->drawPixmap(boundingRect().toRect(), pixmap());
}
