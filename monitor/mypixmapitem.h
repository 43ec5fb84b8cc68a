#pragma once

#include <QGraphicsPixmapItem>

/// A pixmap item drawn smoothly (antialiased, with smooth scaling) whatever
/// the view's hints: the tilting pedal images.
class MyPixmapItem : public QGraphicsPixmapItem
{
public:
    using QGraphicsPixmapItem::QGraphicsPixmapItem;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget) override;
};
