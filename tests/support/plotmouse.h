#pragma once

#include "curve/mycustomplot.h"

#include <QApplication>
#include <QMouseEvent>

/// Real mouse events on a curve editor, delivered as the window system would.
namespace PlotMouse {

inline void send(QWidget *target, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, target->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

inline void press(QWidget *target, QPoint pos)
{
    send(target, QEvent::MouseButtonPress, pos, Qt::LeftButton);
}

inline void move(QWidget *target, QPoint pos)
{
    send(target, QEvent::MouseMove, pos, Qt::LeftButton);
}

inline void release(QWidget *target, QPoint pos)
{
    send(target, QEvent::MouseButtonRelease, pos, Qt::NoButton);
}

/// Pixel centre of a handle.
inline QPoint centreOf(const QCPItemRect *handle)
{
    return QRectF(handle->topLeft->pixelPosition(), handle->bottomRight->pixelPosition())
        .center()
        .toPoint();
}

/// The point at the same x as from, at the pixel row of an output value.
inline QPoint atValue(const MyCustomPlot *plot, QPoint from, double value)
{
    return QPoint(from.x(), int(plot->yAxis->coordToPixel(value) + 0.5));
}

/// Press on a handle, move to the given output value, release.
inline void drag(MyCustomPlot *plot, const QCPItemRect *handle, double value)
{
    const QPoint start = centreOf(handle);
    const QPoint end = atValue(plot, start, value);
    press(plot, start);
    move(plot, end);
    release(plot, end);
}

} // namespace PlotMouse
