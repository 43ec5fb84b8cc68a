#include "curve/mycustomplot.h"

#include <QMouseEvent>

#include <algorithm>

namespace {

/// Height of a handle in output values (a tenth of the 0..127 scale).
constexpr double HandleHeight = 12.7;
constexpr double HandleHalfHeight = HandleHeight / 2;
/// Labels sit this far above a handle's lower edge.
constexpr double CaptionOffset = 20;
/// A press grabs a handle closer than this, in pixels.
constexpr double GrabDistance = 10;
/// Points of the straight preview drawn before the first recompute.
constexpr int PreviewPoints = 2000;

void setRect(QCPItemRect *rect, double x1, double y1, double x2, double y2)
{
    rect->topLeft->setCoords(x1, y1);
    rect->bottomRight->setCoords(x2, y2);
}

/// Moves a handle so that it is centred vertically on value.
void centreOn(QCPItemRect *rect, double value)
{
    rect->topLeft->setCoords(rect->topLeft->coords().x(), value - HandleHalfHeight);
    rect->bottomRight->setCoords(rect->bottomRight->coords().x(), value + HandleHalfHeight);
}

int inRangeOrMinusOne(double v, double lo, double hi)
{
    return v >= lo && v <= hi ? int(v) : -1;
}

} // namespace

MyCustomPlot::MyCustomPlot(QWidget *parent)
    : QCustomPlot(parent)
{
}

void MyCustomPlot::setupCurve(double minimum, double maximum, double gainValue,
                              double curvatureValue)
{
    minValue = minimum;
    maxValue = maximum;
    gain = gainValue;
    curvature = curvatureValue;

    clearGraphs();
    QCPGraph *curve = addGraph();
    curve->setPen(QPen(QColor(255, 165, 0), 2));
    pointCount = PreviewPoints;
    keys.resize(pointCount);
    values.resize(pointCount);
    for (int i = 0; i < pointCount; ++i) {
        keys[i] = double(i) / (pointCount - 1);
        values[i] = minValue + (maxValue - minValue) * keys[i];
    }
    curve->setData(keys, values, true);

    for (QCPAxis *axis : {xAxis, yAxis}) {
        axis->setTickPen(Qt::NoPen);
        axis->setSubTickPen(Qt::NoPen);
        axis->grid()->setVisible(true);
        axis->grid()->setPen(QPen(QColor(Qt::gray), 1));
    }
    xAxis->setRange(0, 1);
    yAxis->setRange(0, 127);

    const QPen outline(QColor(128, 128, 128), 0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    const QBrush fill(QColor(173, 216, 230, 128));
    for (QCPItemRect **handle : {&minHandle, &maxHandle, &curveHandle}) {
        *handle = new QCPItemRect(this);
        (*handle)->setPen(outline);
        (*handle)->setBrush(fill);
    }
    emitHandleCorners();

    replot();
    updateCurve();
}

void MyCustomPlot::updateCurve()
{
    ResponseCurve::Input in;
    in.minValue = minValue;
    in.maxValue = maxValue;
    in.gain = gain;
    in.curvature = curvature;
    in.pitchMode = pitchMode;
    ResponseCurve::compute(in, &m_curve);
    const ResponseCurve::Curve &c = m_curve;

    minValue = c.minValue;
    maxValue = c.maxValue;
    curveCode = c.curveCode;
    pointCount = ResponseCurve::SampleCount;
    keys = c.keys;
    values = c.values;

    if (graphCount() == 0)
        addGraph();
    graph(0)->setData(keys, values, true);
    graph(0)->setAntialiased(true);
    yAxis->setRange(0, 151);
    yAxis->grid()->setVisible(false);

    for (int i = itemCount() - 1; i >= 0; --i) {
        if (qobject_cast<QCPItemText *>(item(i)))
            removeItem(i);
    }

    const double end = c.endValue;
    const double start = c.startValue;
    if (maxHandle) {
        setRect(maxHandle, 1.0, end, 0.8, end + HandleHeight);
        setRect(minHandle, 0.0, start, 0.2, start + HandleHeight);
        setRect(curveHandle, c.middleKey - 0.1, c.middleValue, c.middleKey + 0.1,
                c.middleValue + HandleHeight);
    }
    addLabel(QStringLiteral("MAX"), 0.9, end + CaptionOffset);
    addLabel(QString::number(c.maxLabel), 0.9, end + HandleHalfHeight);
    addLabel(QStringLiteral("MIN"), 0.1, start + CaptionOffset);
    addLabel(QString::number(c.minLabel), 0.1, start + HandleHalfHeight);
    addLabel(QStringLiteral("Curve"), c.middleKey, c.middleValue + CaptionOffset);
    addLabel(QString::number(c.curvature), c.middleKey, c.middleValue + HandleHalfHeight);

    setAntialiasedElements(QCP::aeAll);
    replot(rpQueuedReplot);
}

QCPItemText *MyCustomPlot::addLabel(const QString &text, double x, double y)
{
    auto *label = new QCPItemText(this);
    label->setText(text);
    label->setFont(QFont(QStringLiteral("Arial"), 9));
    label->setColor(Qt::black);
    label->position->setCoords(x, y);
    return label;
}

void MyCustomPlot::emitHandleCorners()
{
    if (!minHandle || !maxHandle)
        return;
    const QPointF start = minHandle->topLeft->pixelPosition();
    const QPointF end = maxHandle->topLeft->pixelPosition();
    emit circleCoordinatesUpdated(QPoint(int(start.x()), int(start.y())),
                                  QPoint(int(end.x()), int(end.y())));
}

void MyCustomPlot::mousePressEvent(QMouseEvent *event)
{
    if (minHandle && minHandle->selectTest(event->pos(), false) < GrabDistance)
        dragMin = true;
    else if (maxHandle && maxHandle->selectTest(event->pos(), false) < GrabDistance)
        dragMax = true;
    else if (curveHandle && curveHandle->selectTest(event->pos(), false) < GrabDistance)
        dragCurve = true;
    QCustomPlot::mousePressEvent(event);
}

void MyCustomPlot::mouseMoveEvent(QMouseEvent *event)
{
    if (!(dragMin || dragMax || dragCurve)) {
        QCustomPlot::mouseMoveEvent(event);
        return;
    }

    const double v = std::clamp(yAxis->pixelToCoord(event->pos().y()), 0.0, 127.0);
    const double scale = pitchMode ? ResponseCurve::PitchScale : 1.0;
    if (dragMin) {
        centreOn(minHandle, v);
        if (v > maxValue)
            return; // the minimum may not pass the maximum
        minValue = v * scale;
        maxValue *= scale;
        updateCurve();
    } else if (dragMax) {
        centreOn(maxHandle, v);
        if (v < minValue)
            return;
        maxValue = v * scale;
        minValue *= scale;
        updateCurve();
    } else {
        centreOn(curveHandle, v);
        if (pitchMode) {
            if (maxValue <= 127)
                maxValue *= scale;
            if (minValue <= 127)
                minValue *= scale;
        }
        curvature = v * 100 / 127 - 50;
        updateCurve();
    }

    replot();
    emitHandleCorners();
    emit crical_is_move(true);
    if (pitchMode)
        emit update_max_min_gain(int(maxValue) * int(ResponseCurve::PitchScale),
                                 int(minValue) * int(ResponseCurve::PitchScale), int(gain),
                                 int(curvature));
    else
        emit update_max_min_gain(inRangeOrMinusOne(maxValue, 0, 127),
                                 inRangeOrMinusOne(minValue, 0, 127),
                                 inRangeOrMinusOne(gain, -50, 50), int(curvature));
    emit crical_is_move(true);
    QCustomPlot::mouseMoveEvent(event);
}

void MyCustomPlot::mouseReleaseEvent(QMouseEvent *event)
{
    dragMin = dragMax = dragCurve = false;
    QCustomPlot::mouseReleaseEvent(event);
    emit crical_is_move(false);
}
