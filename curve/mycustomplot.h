#pragma once

#include "curve/responsecurve.h"

#include <QPoint>
#include <QVector>
#include <qcustomplot.h>

/// The response curve editor of one pedal page: plots the curve that range,
/// gain and curvature produce and lets the user drag three handles (minimum,
/// maximum, curvature). Plot coordinates: x is the pedal position 0..1, y the
/// output value 0..127.
class MyCustomPlot : public QCustomPlot
{
    Q_OBJECT

public:
    explicit MyCustomPlot(QWidget *parent = nullptr);

    /// First drawing: stores the settings, builds graph, axes and handles, then updateCurve().
    void setupCurve(double minimum, double maximum, double gain, double curvature);
    /// Recomputes the curve from the members and redraws it with its handles and labels.
    void updateCurve();

    QCPItemRect *minHandle = nullptr;
    QCPItemRect *maxHandle = nullptr;
    QCPItemRect *curveHandle = nullptr;
    bool dragMin = false;
    bool dragMax = false;
    bool dragCurve = false;
    /// Output range in selector units. In pitch mode callers store 14-bit
    /// values, which updateCurve() divides by 129 and stores back, so between
    /// updates they hold 0..127.
    double minValue = 0;
    double maxValue = 127;
    double gain = 0;       ///< -50..50
    int curveCode = 100;   ///< 0..100: where the curve reaches its maximum, in percent of the travel
    double curvature = 0;  ///< -50..50
    bool pitchMode = false;
    QVector<double> keys;
    QVector<double> values;
    int pointCount = 0;

signals:
    /// Values set by a drag: range (-1 when out of 0..127 outside pitch mode,
    /// 14-bit in pitch mode), gain and curvature.
    void update_max_min_gain(int max, int min, int gain, int cgain);
    /// True while a handle is dragged, false on release.
    void crical_is_move(bool flag);
    /// Pixel positions of the top-left corners of the minimum and maximum handles.
    void circleCoordinatesUpdated(QPoint startCoord, QPoint endCoord);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QCPItemText *addLabel(const QString &text, double x, double y);
    void emitHandleCorners();

    ResponseCurve::Curve m_curve;
};
