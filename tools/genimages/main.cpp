// Paints every picture the application uses and writes them under a resource
// directory:
//
//   stompwright-genimages <resources dir> [--preview <dir>]
//
// The pedal pictures are painted in the coordinates of the pedal scenes: each
// image knows the rectangle of the scene it will cover once the window has
// scaled and placed it, so base and pedal overlay exactly and every moving part
// turns about the point the scene turns it about.  --preview also renders the
// three scenes at rest and at their extreme angles, for checking by eye.

#include "app/themecolours.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGraphicsPixmapItem>
#include <QGraphicsRotation>
#include <QGraphicsScene>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>
#include <QTextStream>
#include <QtMath>

#include <cstdio>
#include <functional>

namespace {

const QColor kWindow(0x2A, 0x2A, 0x2A);
const QColor kGold(0xA6, 0x8D, 0x44);
const QColor kGoldLight(0xE6, 0xCC, 0x7E);
const QColor kGoldDark(0x6B, 0x57, 0x24);
const QColor kOutline(0x0B, 0x0B, 0x0B);

// ---------------------------------------------------------------------------
// Pedal scene geometry.  The window scales a base image to fit 328 x 130 and
// places it at (-w/2, 0); a pedal image is scaled to fit its own box and placed
// relative to an anchor, lifted by the base height.

const QSize kReference(410, 163);
const QSize kBaseFit(328, 130);
/// Both images of a pedal use this canvas (three times the on-screen size).
const QSize kPedalCanvas(984, 390);

enum class Pedal { Expression, HiHat, Switch };

struct PedalGeometry {
    QSize pedalFit;
    QPoint anchor; // pedal at (anchor.x - p/2, anchor.y - base height)
    double sceneTopFraction;
};

PedalGeometry geometry(Pedal pedal)
{
    switch (pedal) {
    case Pedal::Expression:
        return {QSize(328, 130), QPoint(0, 105), 0.3};
    case Pedal::HiHat:
        return {QSize(360, 138), QPoint(0, 97), 0.2};
    case Pedal::Switch:
        break;
    }
    return {QSize(217, 68), QPoint(45, 110), 0.22};
}

QRectF baseArea()
{
    const QSize s = kPedalCanvas.scaled(kBaseFit, Qt::KeepAspectRatio);
    return QRectF(-(s.width() / 2), 0, s.width(), s.height());
}

QRectF pedalArea(Pedal pedal)
{
    const PedalGeometry g = geometry(pedal);
    const QSize s = kPedalCanvas.scaled(g.pedalFit, Qt::KeepAspectRatio);
    const int baseHeight = kPedalCanvas.scaled(kBaseFit, Qt::KeepAspectRatio).height();
    return QRectF(g.anchor.x() - s.width() / 2, g.anchor.y() - baseHeight, s.width(),
                  s.height());
}

QRectF sceneRect(Pedal pedal)
{
    return QRectF(-kReference.width() / 2.0, -geometry(pedal).sceneTopFraction * kReference.height(),
                  kReference.width(), kReference.height());
}

/// The scene point each pedal turns about.
QPointF pivot(Pedal pedal)
{
    const QRectF a = pedalArea(pedal);
    switch (pedal) {
    case Pedal::Expression:
        return a.topLeft() + QPointF(0.65 * a.width(), 0.5 * a.height());
    case Pedal::HiHat:
        return a.topLeft() + QPointF(0.88 * a.width(), 0.8 * a.height());
    case Pedal::Switch:
        break;
    }
    return a.topLeft(); // the rotation transformation keeps its default origin
}

// ---------------------------------------------------------------------------
// Painting helpers.

QImage newCanvas(const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void prepare(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::TextAntialiasing);
}

/// Maps the scene rectangle an image will cover onto the whole image.
void mapScene(QPainter &p, const QImage &image, const QRectF &area)
{
    p.scale(image.width() / area.width(), image.height() / area.height());
    p.translate(-area.topLeft());
}

QColor gray(int v, int alpha = 255)
{
    return QColor(v, v, v, alpha);
}

QLinearGradient verticalGradient(qreal top, qreal bottom,
                                 std::initializer_list<std::pair<qreal, QColor>> stops)
{
    QLinearGradient g(0, top, 0, bottom);
    for (const auto &s : stops)
        g.setColorAt(s.first, s.second);
    return g;
}

/// Dark painted metal seen from the side, lit from above.
QLinearGradient sideMetal(qreal top, qreal bottom)
{
    return verticalGradient(top, bottom, {{0.0, gray(0x58)}, {0.06, gray(0x44)}, {0.45, gray(0x2C)},
                                          {1.0, gray(0x16)}});
}

QPen outlinePen(qreal width = 1.1)
{
    QPen pen(kOutline, width);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void softShadow(QPainter &p, const QRectF &ellipse, int alpha = 120)
{
    p.save();
    p.translate(ellipse.center());
    p.scale(ellipse.width() / 2, ellipse.height() / 2);
    QRadialGradient g(QPointF(0, 0), 1.0);
    g.setColorAt(0.0, QColor(0, 0, 0, alpha));
    g.setColorAt(0.6, QColor(0, 0, 0, alpha / 2));
    g.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(QPointF(0, 0), 1.0, 1.0);
    p.restore();
}

/// A gold bolt head with a hexagon socket.
void bolt(QPainter &p, const QPointF &c, qreal r)
{
    QRadialGradient g(c + QPointF(-r * 0.35, -r * 0.35), r * 1.4);
    g.setColorAt(0.0, kGoldLight);
    g.setColorAt(0.5, kGold);
    g.setColorAt(1.0, kGoldDark);
    p.setPen(QPen(kOutline, r * 0.18));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
    QPolygonF hex;
    for (int i = 0; i < 6; ++i) {
        const qreal a = qDegreesToRadians(30.0 + 60.0 * i);
        hex << c + QPointF(qCos(a), qSin(a)) * r * 0.42;
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x24, 0x1D, 0x0A));
    p.drawPolygon(hex);
}

/// A rubber grip pad: a strip with rounded ridges standing on its top edge.
void gripPad(QPainter &p, const QRectF &pad, qreal pitch, qreal ridgeHeight)
{
    p.setPen(outlinePen(0.8));
    p.setBrush(verticalGradient(pad.top(), pad.bottom(), {{0.0, gray(0x30)}, {1.0, gray(0x12)}}));
    p.drawRoundedRect(pad, pad.height() * 0.4, pad.height() * 0.4);
    const int count = int((pad.width() - pitch * 0.5) / pitch);
    const qreal start = pad.left() + (pad.width() - (count - 1) * pitch) / 2;
    const qreal w = pitch * 0.55;
    for (int i = 0; i < count; ++i) {
        const QRectF ridge(start + i * pitch - w / 2, pad.top() - ridgeHeight, w,
                           ridgeHeight + pad.height() * 0.5);
        p.setPen(outlinePen(0.6));
        p.setBrush(verticalGradient(ridge.top(), ridge.bottom(),
                                    {{0.0, gray(0x4A)}, {0.5, gray(0x26)}, {1.0, gray(0x16)}}));
        p.drawRoundedRect(ridge, w * 0.45, w * 0.45);
    }
}

void goldLine(QPainter &p, const QPointF &a, const QPointF &b, qreal width)
{
    QPen pen(kGold, width);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    p.drawLine(a, b);
    pen.setColor(QColor(0xF2, 0xDC, 0x98, 110));
    pen.setWidthF(width * 0.35);
    p.setPen(pen);
    p.drawLine(a - QPointF(0, width * 0.2), b - QPointF(0, width * 0.2));
}

/// A small amber status lamp with its glow.
void lamp(QPainter &p, const QPointF &c, qreal r)
{
    QRadialGradient glow(c, r * 3.2);
    glow.setColorAt(0.0, QColor(0xFF, 0xC8, 0x50, 150));
    glow.setColorAt(1.0, QColor(0xFF, 0xC8, 0x50, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(c, r * 3.2, r * 3.2);
    QRadialGradient g(c - QPointF(r * 0.3, r * 0.3), r * 1.2);
    g.setColorAt(0.0, QColor(0xFF, 0xF2, 0xC0));
    g.setColorAt(0.6, QColor(0xF0, 0xB0, 0x30));
    g.setColorAt(1.0, QColor(0x9A, 0x62, 0x10));
    p.setPen(QPen(kOutline, r * 0.25));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

/// The word "STOMPWRIGHT" engraved in gold, centred on a point.
void badge(QPainter &p, const QPointF &centre, qreal capHeight)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(100);
    f.setLetterSpacing(QFont::PercentageSpacing, 112);
    QPainterPath text;
    text.addText(0, 0, f, QStringLiteral("STOMPWRIGHT"));
    const QRectF b = text.boundingRect();
    const qreal s = capHeight / b.height();
    p.save();
    p.translate(centre);
    p.scale(s, s);
    p.translate(-b.center());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 160));
    p.drawPath(text.translated(0, 6));
    p.setBrush(kGold);
    p.drawPath(text);
    p.restore();
}

// ---------------------------------------------------------------------------
// Expression pedal: a housing with a hinge cheek and a long treadle that
// tilts about the cheek's axle, toe (left) up at the low end of the range.

void paintExpressionBase(QImage &image)
{
    QPainter p(&image);
    prepare(p);
    mapScene(p, image, baseArea());
    const QPointF axle = pivot(Pedal::Expression);

    softShadow(p, QRectF(-168, 88, 336, 18));

    // Feet.
    p.setPen(outlinePen(0.8));
    p.setBrush(gray(0x10));
    p.drawRoundedRect(QRectF(-142, 88, 30, 10), 3, 3);
    p.drawRoundedRect(QRectF(112, 88, 30, 10), 3, 3);

    // Housing, a little wider at the bottom.
    QPainterPath housing;
    housing.moveTo(-146, 46);
    housing.lineTo(150, 46);
    housing.quadTo(156, 46, 157, 52);
    housing.lineTo(160, 86);
    housing.quadTo(160, 93, 153, 93);
    housing.lineTo(-153, 93);
    housing.quadTo(-160, 93, -159, 86);
    housing.lineTo(-153, 52);
    housing.quadTo(-152, 46, -146, 46);
    p.setPen(outlinePen());
    p.setBrush(sideMetal(46, 93));
    p.drawPath(housing);

    // Top edge catching the light, then a gold trim line and a dark plinth.
    p.setPen(QPen(gray(0x7A), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-145, 47.3), QPointF(149, 47.3));
    goldLine(p, QPointF(-150, 56), QPointF(154, 56), 2.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRect(QRectF(-157, 83, 314, 9));

    badge(p, QPointF(-62, 70), 6.5);
    lamp(p, QPointF(-136, 70), 2.6);

    // Output jack on the heel end.
    p.setPen(outlinePen(0.8));
    p.setBrush(verticalGradient(62, 76, {{0.0, gray(0x3A)}, {1.0, gray(0x14)}}));
    p.drawRoundedRect(QRectF(157, 62, 6, 14), 1.5, 1.5);
    p.setBrush(kGold);
    p.drawRect(QRectF(162, 66, 2, 6));

    // Hinge cheek over the treadle, holding the axle.
    QPainterPath cheek;
    cheek.moveTo(axle.x() - 24, 54);
    cheek.lineTo(axle.x() - 11, axle.y() + 4);
    cheek.arcTo(QRectF(axle.x() - 12, axle.y() - 12, 24, 24), 200, -220);
    cheek.lineTo(axle.x() + 24, 54);
    cheek.closeSubpath();
    p.setPen(outlinePen());
    p.setBrush(verticalGradient(axle.y() - 12, 54,
                                {{0.0, gray(0x66)}, {0.3, gray(0x48)}, {1.0, gray(0x24)}}));
    p.drawPath(cheek);
    bolt(p, axle, 5.2);
}

void paintExpressionTreadle(QImage &image)
{
    QPainter p(&image);
    prepare(p);
    mapScene(p, image, pedalArea(Pedal::Expression));

    // Side wall under the board; its lower edge stays inside the housing.
    QPainterPath skirt;
    skirt.moveTo(-146, 40);
    skirt.lineTo(144, 40);
    skirt.lineTo(144, 54);
    skirt.lineTo(-112, 54);
    skirt.quadTo(-132, 54, -146, 46);
    skirt.closeSubpath();
    p.setPen(outlinePen());
    p.setBrush(verticalGradient(40, 54, {{0.0, gray(0x22)}, {1.0, gray(0x0E)}}));
    p.drawPath(skirt);

    // The board.
    const QRectF board(-154, 28.5, 300, 15);
    p.setPen(outlinePen());
    p.setBrush(sideMetal(board.top(), board.bottom()));
    p.drawRoundedRect(board, 6, 6);
    goldLine(p, QPointF(-146, 36.5), QPointF(138, 36.5), 1.8);

    gripPad(p, QRectF(-146, 24.5, 280, 4.5), 10.0, 2.6);
}

// ---------------------------------------------------------------------------
// Hi-hat pedal: a base rail with a heel block carrying the hinge, a spring cup
// under the toe, and a long footboard with a spring beneath its toe.

/// Where the toe spring meets the footboard, on the unrotated footboard.
QPointF hiHatSpringTop()
{
    QTransform t;
    t.translate(pivot(Pedal::HiHat).x(), pivot(Pedal::HiHat).y());
    t.rotate(5);
    return t.map(QPointF(-236, -3));
}

void paintHiHatBase(QImage &image)
{
    QPainter p(&image);
    prepare(p);
    mapScene(p, image, baseArea());
    const QPointF hinge = pivot(Pedal::HiHat);
    const qreal springX = hiHatSpringTop().x();

    softShadow(p, QRectF(-170, 112, 340, 16));

    // Rail with feet.
    p.setPen(outlinePen(0.8));
    p.setBrush(gray(0x10));
    p.drawRoundedRect(QRectF(-158, 114, 28, 10), 3, 3);
    p.drawRoundedRect(QRectF(128, 114, 30, 10), 3, 3);
    p.setPen(outlinePen());
    p.setBrush(sideMetal(104, 118));
    p.drawRoundedRect(QRectF(-162, 104, 326, 14), 4, 4);
    goldLine(p, QPointF(-154, 109.5), QPointF(156, 109.5), 1.6);

    // Spring cup under the toe.
    const QRectF cup(springX - 13, 80, 26, 26);
    QLinearGradient chrome(cup.left(), 0, cup.right(), 0);
    chrome.setColorAt(0.0, gray(0x1A));
    chrome.setColorAt(0.35, gray(0x5E));
    chrome.setColorAt(0.55, gray(0x3A));
    chrome.setColorAt(1.0, gray(0x14));
    p.setPen(outlinePen());
    p.setBrush(chrome);
    p.drawRoundedRect(cup, 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(kGold);
    p.drawRect(QRectF(cup.left() + 0.8, 83, cup.width() - 1.6, 2.4));

    // Heel block and hinge cheek.
    QPainterPath heel;
    heel.moveTo(108, 106);
    heel.lineTo(114, 88);
    heel.lineTo(hinge.x() - 10, hinge.y() + 5);
    heel.arcTo(QRectF(hinge.x() - 11, hinge.y() - 11, 22, 22), 210, -240);
    heel.lineTo(158, 88);
    heel.quadTo(162, 90, 162, 96);
    heel.lineTo(162, 106);
    heel.closeSubpath();
    p.setPen(outlinePen());
    p.setBrush(verticalGradient(hinge.y() - 11, 106,
                                {{0.0, gray(0x64)}, {0.25, gray(0x46)}, {1.0, gray(0x1C)}}));
    p.drawPath(heel);
    goldLine(p, QPointF(117, 98), QPointF(156, 98), 1.6);
    bolt(p, hinge, 5.0);
}

void paintHiHatFootboard(QImage &image)
{
    QPainter p(&image);
    prepare(p);
    mapScene(p, image, pedalArea(Pedal::HiHat));
    const QPointF hinge = pivot(Pedal::HiHat);
    const QPointF springTop = hiHatSpringTop();

    // Spring, long enough to reach into the cup at either end of the travel.
    const qreal springLength = 38;
    const qreal coil = 5.2;
    QPen wire(gray(0xB8), 2.2, Qt::SolidLine, Qt::RoundCap);
    QPen wireShade(gray(0x30), 3.4, Qt::SolidLine, Qt::RoundCap);
    for (qreal y = springTop.y() + 2; y < springTop.y() + springLength; y += coil) {
        const QPointF a(springTop.x() - 8, y);
        const QPointF b(springTop.x() + 8, y + coil * 0.5);
        p.setPen(wireShade);
        p.drawLine(a, b);
        p.setPen(wire);
        p.drawLine(a, b);
    }
    p.setPen(outlinePen());
    p.setBrush(gray(0x2A));
    p.drawRoundedRect(QRectF(springTop.x() - 9, springTop.y() - 2, 18, 5), 1.5, 1.5);

    // The footboard, drawn along its own axis and sloping up to the toe.
    p.save();
    p.translate(hinge);
    p.rotate(5);

    // Hinge lugs under the heel.
    p.setPen(outlinePen());
    p.setBrush(gray(0x30));
    p.drawRoundedRect(QRectF(-12, -6, 24, 14), 5, 5);

    const QRectF board(-266, -16, 290, 14);
    p.setBrush(sideMetal(board.top(), board.bottom()));
    p.drawRoundedRect(board, 5, 5);
    goldLine(p, QPointF(-258, -9), QPointF(16, -9), 1.6);

    // Toe stop.
    p.setPen(outlinePen());
    p.setBrush(verticalGradient(-25, -12, {{0.0, gray(0x5A)}, {1.0, gray(0x22)}}));
    p.drawRoundedRect(QRectF(-269, -25, 11, 14), 3, 3);

    gripPad(p, QRectF(-254, -20, 250, 4), 9.5, 2.4);
    p.restore();
}

// ---------------------------------------------------------------------------
// Footswitch: an enclosure with a cable plug, and a hinged cap whose heel
// corner is the turning point; pressing drops its toe (right) into the box.

void paintSwitchBase(QImage &image)
{
    QPainter p(&image);
    prepare(p);
    mapScene(p, image, baseArea());

    softShadow(p, QRectF(-70, 90, 230, 16));

    // Cable leaving the plug and running off to the left along the floor.
    QPainterPath cable;
    cable.moveTo(-84, 62);
    cable.cubicTo(-112, 62, -112, 96, -136, 96);
    cable.lineTo(-164, 96);
    QLinearGradient fade(-164, 0, -120, 0);
    fade.setColorAt(0.0, QColor(0x0C, 0x0C, 0x0C, 0));
    fade.setColorAt(0.6, QColor(0x0C, 0x0C, 0x0C, 255));
    p.setPen(QPen(QBrush(fade), 6.5, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(cable);
    QLinearGradient sheen(-164, 0, -120, 0);
    sheen.setColorAt(0.0, QColor(0x6A, 0x6A, 0x6A, 0));
    sheen.setColorAt(0.6, QColor(0x6A, 0x6A, 0x6A, 200));
    p.setPen(QPen(QBrush(sheen), 1.4, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(cable.translated(0, -1.6));

    // Plug.
    p.setPen(outlinePen());
    p.setBrush(verticalGradient(54, 70, {{0.0, gray(0x4C)}, {1.0, gray(0x16)}}));
    p.drawRoundedRect(QRectF(-86, 54, 28, 16), 4, 4);
    p.setPen(QPen(gray(0x0E), 1.0));
    for (qreal x = -80; x <= -66; x += 3.5)
        p.drawLine(QPointF(x, 56.5), QPointF(x, 67.5));
    p.setPen(outlinePen(0.8));
    p.setBrush(kGold);
    p.drawRoundedRect(QRectF(-58, 57, 6, 10), 1.2, 1.2);

    // Feet and enclosure.
    p.setPen(outlinePen(0.8));
    p.setBrush(gray(0x10));
    p.drawRoundedRect(QRectF(-44, 90, 28, 10), 3, 3);
    p.drawRoundedRect(QRectF(108, 90, 28, 10), 3, 3);
    const QRectF box(-54, 8, 198, 86);
    p.setPen(outlinePen());
    p.setBrush(sideMetal(box.top(), box.bottom()));
    p.drawRoundedRect(box, 9, 9);
    p.setPen(QPen(gray(0x7C), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-46, 9.4), QPointF(136, 9.4));
    goldLine(p, QPointF(-48, 22), QPointF(138, 22), 2.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRoundedRect(QRectF(-53, 80, 196, 13), 8, 8);

    badge(p, QPointF(45, 53), 9.0);
    lamp(p, QPointF(126, 36), 3.2);
}

void paintSwitchCap(QImage &image)
{
    QPainter p(&image);
    prepare(p);
    mapScene(p, image, pedalArea(Pedal::Switch));
    const QPointF hinge = pivot(Pedal::Switch);

    // Side wall; its lower part is hidden by the enclosure.
    p.setPen(outlinePen());
    p.setBrush(verticalGradient(-8, 16, {{0.0, gray(0x24)}, {1.0, gray(0x0E)}}));
    p.drawRoundedRect(QRectF(QPointF(hinge.x() + 1, -8), QPointF(126, 16)), 3, 3);

    // Plate.
    const QRectF plate(QPointF(hinge.x() + 0.5, -14), QPointF(129, -3.5));
    p.setBrush(sideMetal(plate.top(), plate.bottom()));
    p.drawRoundedRect(plate, 4, 4);
    goldLine(p, QPointF(plate.left() + 6, -8.2), QPointF(plate.right() - 5, -8.2), 1.6);

    gripPad(p, QRectF(plate.left() + 12, -17.2, plate.width() - 22, 3.4), 8.5, 2.2);

    // Hinge pin near the turning corner.
    bolt(p, hinge + QPointF(6.5, 9.2), 3.2);
}

// ---------------------------------------------------------------------------
// Logo pieces.

/// The pedal emblem: a housing and a treadle tipped toe-up on its axle, with
/// two strokes along the toe's swing.  Painted in a 100 x 100 box.
void emblem(QPainter &p, const QRectF &box)
{
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / 100.0, box.height() / 100.0);

    QLinearGradient gold(0, 20, 0, 92);
    gold.setColorAt(0.0, kGoldLight);
    gold.setColorAt(0.55, kGold);
    gold.setColorAt(1.0, kGoldDark);
    const QPen edge(QColor(0x14, 0x10, 0x06), 2.4);
    const QPointF axle(68, 64);

    // Treadle, toe up; the housing covers its heel.
    p.setPen(edge);
    p.setBrush(gold);
    p.save();
    p.translate(axle);
    p.rotate(18);
    p.drawRoundedRect(QRectF(-64, -9, 76, 13), 5, 5);
    p.restore();

    QPainterPath housing;
    housing.moveTo(12, 72);
    housing.lineTo(90, 72);
    housing.lineTo(95, 90);
    housing.lineTo(6, 90);
    housing.closeSubpath();
    p.drawPath(housing);

    // Axle cheek.
    QPainterPath cheek;
    cheek.moveTo(axle.x() - 13, 73);
    cheek.lineTo(axle.x() - 7, axle.y());
    cheek.arcTo(QRectF(axle.x() - 8, axle.y() - 8, 16, 16), 180, -180);
    cheek.lineTo(axle.x() + 13, 73);
    p.drawPath(cheek);
    p.setBrush(QColor(0x1C, 0x1A, 0x14));
    p.drawEllipse(axle, 4.2, 4.2);

    // Swing strokes above the toe, concentric with the axle.
    QPen stroke(kGold, 5, Qt::SolidLine, Qt::RoundCap);
    p.setPen(stroke);
    p.setBrush(Qt::NoBrush);
    for (const qreal r : {50.0, 63.0})
        p.drawArc(QRectF(axle.x() - r, axle.y() - r, 2 * r, 2 * r), 127 * 16, 22 * 16);
    p.restore();
}

/// "Stompwright" in gold, fitted into a rectangle.
void wordmark(QPainter &p, const QRectF &box, Qt::Alignment align)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(200);
    f.setLetterSpacing(QFont::PercentageSpacing, 96);
    QPainterPath text;
    text.addText(0, 0, f, QStringLiteral("Stompwright"));
    const QRectF b = text.boundingRect();
    const qreal s = qMin(box.width() / b.width(), box.height() / b.height());
    const qreal w = b.width() * s;
    qreal x = box.left();
    if (align & Qt::AlignHCenter)
        x = box.center().x() - w / 2;
    else if (align & Qt::AlignRight)
        x = box.right() - w;

    p.save();
    p.translate(x, box.center().y());
    p.scale(s, s);
    p.translate(-b.left(), -b.center().y());
    QLinearGradient gold(0, b.top(), 0, b.bottom());
    gold.setColorAt(0.0, kGoldLight);
    gold.setColorAt(0.5, kGold);
    gold.setColorAt(1.0, QColor(0x86, 0x6E, 0x30));
    p.setPen(QPen(QColor(0x18, 0x12, 0x04), 5));
    p.setBrush(gold);
    p.drawPath(text);
    p.restore();
}

QImage paintLabel()
{
    QImage image = newCanvas(QSize(620, 160));
    QPainter p(&image);
    prepare(p);
    emblem(p, QRectF(2, 8, 144, 144));
    wordmark(p, QRectF(150, 22, 464, 116), Qt::AlignLeft);
    return image;
}

QImage paintAboutLogo()
{
    QImage image = newCanvas(QSize(480, 240));
    QPainter p(&image);
    prepare(p);
    emblem(p, QRectF(176, 2, 128, 128));
    wordmark(p, QRectF(16, 134, 448, 74), Qt::AlignHCenter);
    QLinearGradient rule(40, 0, 440, 0);
    rule.setColorAt(0.0, QColor(0xA6, 0x8D, 0x44, 0));
    rule.setColorAt(0.5, kGold);
    rule.setColorAt(1.0, QColor(0xA6, 0x8D, 0x44, 0));
    p.setPen(QPen(QBrush(rule), 3));
    p.drawLine(QPointF(40, 224), QPointF(440, 224));
    return image;
}

QImage paintIcon(int size)
{
    QImage image = newCanvas(QSize(size, size));
    QPainter p(&image);
    prepare(p);
    p.scale(size / 256.0, size / 256.0);
    const QRectF tile(8, 8, 240, 240);
    QLinearGradient bg(0, tile.top(), 0, tile.bottom());
    bg.setColorAt(0.0, QColor(0x40, 0x3C, 0x34));
    bg.setColorAt(1.0, QColor(0x16, 0x16, 0x16));
    p.setPen(QPen(kGold, 10));
    p.setBrush(bg);
    p.drawRoundedRect(tile.adjusted(5, 5, -5, -5), 44, 44);
    emblem(p, QRectF(30, 22, 196, 196));
    return image;
}

/// The background of the response-curve cell: a dark panel with a grid.
QImage paintCurveBackground()
{
    const QSize size(360, 320);
    QImage image = newCanvas(size);
    QPainter p(&image);
    prepare(p);
    const QRectF panel(1.5, 1.5, size.width() - 3, size.height() - 3);
    p.setPen(Qt::NoPen);
    p.setBrush(verticalGradient(0, size.height(), {{0.0, QColor(0x24, 0x23, 0x21)},
                                                   {1.0, QColor(0x15, 0x15, 0x15)}}));
    p.drawRoundedRect(panel, 6, 6);

    const int divisions = 8;
    for (int i = 1; i < divisions; ++i) {
        const bool major = i % 2 == 0;
        const QPen pen(major ? QColor(0x4A, 0x46, 0x3C) : QColor(0x30, 0x2F, 0x2C), major ? 1.6 : 1.0);
        p.setPen(pen);
        const qreal x = panel.left() + panel.width() * i / divisions;
        const qreal y = panel.top() + panel.height() * i / divisions;
        p.drawLine(QPointF(x, panel.top() + 2), QPointF(x, panel.bottom() - 2));
        p.drawLine(QPointF(panel.left() + 2, y), QPointF(panel.right() - 2, y));
    }
    // A faint straight response from corner to corner as a reference.
    QPen diagonal(QColor(0xA6, 0x8D, 0x44, 60), 1.4, Qt::DashLine);
    p.setPen(diagonal);
    p.drawLine(panel.bottomLeft() + QPointF(3, -3), panel.topRight() + QPointF(-3, 3));

    p.setPen(QPen(QColor(0x8A, 0x74, 0x38), 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(panel, 6, 6);
    return image;
}

// ---------------------------------------------------------------------------

/// The tick of a checked check box: a square picture drawn over the gold
/// indicator (10 x 10 logical pixels; size is 10 or 20 for the @2x copy).
QImage paintCheckMark(int size)
{
    QImage image = newCanvas(QSize(size, size));
    QPainter p(&image);
    prepare(p);
    p.scale(size / 10.0, size / 10.0);
    QPen pen{QColor(ThemeColours::checkMark), 1.9};
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.drawPolyline(QPolygonF({QPointF(1.6, 5.2), QPointF(4.0, 7.6), QPointF(8.4, 2.6)}));
    return image;
}

bool save(const QImage &image, const QString &path, const char *format = "png")
{
    QImageWriter writer(path, format);
    if (!writer.write(image)) {
        QTextStream(stderr) << "cannot write " << path << ": " << writer.errorString() << '\n';
        return false;
    }
    QTextStream(stdout) << "wrote " << path << " (" << image.width() << 'x' << image.height()
                        << ")\n";
    return true;
}

QImage paintPedalImage(const std::function<void(QImage &)> &paint)
{
    QImage image = newCanvas(kPedalCanvas);
    paint(image);
    return image;
}

/// Renders one pedal scene the way the window sets it up, at a given angle.
QImage renderScene(Pedal pedal, const QImage &baseImage, const QImage &pedalImage, qreal angle,
                   int zoom)
{
    QGraphicsScene scene;
    const QPixmap base = QPixmap::fromImage(baseImage).scaled(kBaseFit, Qt::KeepAspectRatio,
                                                              Qt::SmoothTransformation);
    QGraphicsPixmapItem *baseItem = scene.addPixmap(base);
    baseItem->setPos(-(base.width() / 2), 0);
    baseItem->setZValue(1);

    const PedalGeometry g = geometry(pedal);
    const QPixmap moving = QPixmap::fromImage(pedalImage).scaled(g.pedalFit, Qt::KeepAspectRatio,
                                                                 Qt::SmoothTransformation);
    QGraphicsPixmapItem *item = scene.addPixmap(moving);
    item->setTransformationMode(Qt::SmoothTransformation);
    item->setPos(g.anchor.x() - moving.width() / 2, g.anchor.y() - base.height());
    item->setZValue(0);
    const QRectF r = item->boundingRect();
    QGraphicsRotation rotation;
    switch (pedal) {
    case Pedal::Expression:
        item->setTransformOriginPoint(r.left() + 0.65 * r.width(), r.top() + 0.5 * r.height());
        item->setRotation(angle);
        break;
    case Pedal::HiHat:
        item->setTransformOriginPoint(r.left() + 0.88 * r.width(), r.top() + 0.8 * r.height());
        item->setRotation(angle);
        break;
    case Pedal::Switch:
        item->setTransformOriginPoint(r.center());
        rotation.setAxis(Qt::ZAxis);
        rotation.setAngle(angle);
        item->setTransformations({&rotation});
        break;
    }
    scene.setSceneRect(sceneRect(pedal));
    scene.setBackgroundBrush(QColor(190, 190, 190, 128));

    QImage out(kReference * zoom, QImage::Format_ARGB32_Premultiplied);
    out.fill(kWindow);
    QPainter p(&out);
    prepare(p);
    scene.render(&p, QRectF(QPointF(0, 0), QSizeF(out.size())), scene.sceneRect());
    p.end();
    item->setTransformations({});
    return out;
}

bool writePreview(const QString &dir, Pedal pedal, const QImage &base, const QImage &moving,
                  std::initializer_list<qreal> angles, const QString &name)
{
    const int zoom = 1;
    QImage sheet(kReference.width() * zoom, int(kReference.height() * zoom * angles.size()),
                 QImage::Format_ARGB32_Premultiplied);
    sheet.fill(kWindow);
    QPainter p(&sheet);
    int row = 0;
    for (const qreal angle : angles) {
        const int y = row * kReference.height() * zoom;
        p.drawImage(0, y, renderScene(pedal, base, moving, angle, zoom));
        p.setPen(Qt::white);
        p.drawText(6, y + 16, QStringLiteral("%1\u00B0").arg(angle));
        ++row;
    }
    p.end();
    return save(sheet, dir + QLatin1Char('/') + name);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString previewDir;
    const int previewAt = args.indexOf(QStringLiteral("--preview"));
    if (previewAt >= 0 && previewAt + 1 < args.size()) {
        previewDir = args.at(previewAt + 1);
        args.removeAt(previewAt + 1);
        args.removeAt(previewAt);
    }
    if (args.size() != 1) {
        QTextStream(stderr) << "usage: stompwright-genimages <resources dir> [--preview <dir>]\n";
        return 2;
    }
    const QString root = args.first();
    const QString img = root + QStringLiteral("/IMG/");
    if (!QDir().mkpath(img)) {
        QTextStream(stderr) << "cannot create " << img << '\n';
        return 1;
    }

    const QImage expressionBase = paintPedalImage(paintExpressionBase);
    const QImage expressionTreadle = paintPedalImage(paintExpressionTreadle);
    const QImage hiHatBase = paintPedalImage(paintHiHatBase);
    const QImage hiHatFootboard = paintPedalImage(paintHiHatFootboard);
    const QImage switchBase = paintPedalImage(paintSwitchBase);
    const QImage switchCap = paintPedalImage(paintSwitchCap);
    const QImage icon = paintIcon(256);

    bool ok = true;
    ok &= save(paintLabel(), img + QStringLiteral("label.png"));
    ok &= save(paintAboutLogo(), img + QStringLiteral("label2.png"));
    ok &= save(paintCurveBackground(), img + QStringLiteral("bd5.png"));
    ok &= save(expressionBase, img + QStringLiteral("n_ex_xh.png"));
    ok &= save(expressionTreadle, img + QStringLiteral("ext.png"));
    ok &= save(hiHatBase, img + QStringLiteral("BgSub_n_ht_xh.png"));
    ok &= save(hiHatFootboard, img + QStringLiteral("n_ex_sh.png"));
    ok &= save(switchBase, img + QStringLiteral("swd.png"));
    ok &= save(switchCap, img + QStringLiteral("n_sw_sh.png"));
    ok &= save(icon, img + QStringLiteral("icon.png"));
    ok &= save(icon, img + QStringLiteral("icon.ico"), "ico");
    ok &= save(paintIcon(128), root + QStringLiteral("/ico.png"));
    ok &= save(paintCheckMark(10), img + QStringLiteral("check.png"));
    ok &= save(paintCheckMark(20), img + QStringLiteral("check@2x.png"));

    if (!previewDir.isEmpty()) {
        QDir().mkpath(previewDir);
        ok &= writePreview(previewDir, Pedal::Expression, expressionBase, expressionTreadle,
                           {15.0, 7.5, 0.0}, QStringLiteral("preview-expression.png"));
        ok &= writePreview(previewDir, Pedal::HiHat, hiHatBase, hiHatFootboard, {3.0, 0.0, -5.0},
                           QStringLiteral("preview-hihat.png"));
        ok &= writePreview(previewDir, Pedal::Switch, switchBase, switchCap, {0.0, 4.0, 8.0},
                           QStringLiteral("preview-switch.png"));
    }
    return ok ? 0 : 1;
}
