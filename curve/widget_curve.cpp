// The main window's side of the response curve editors: building them from
// the selectors, the selectors following a drag, and the curve sync after an
// event change.
#include "app/widget.h"
#include "ui_widget.h"

#include "core/logging.h"
#include "curve/mycustomplot.h"
#include "pedal/pedalmessage.h"

#include <QVBoxLayout>

namespace {

/// Axis line colour of the curve editors.
const QColor kAxisColour(55, 43, 35);

/// Deletes everything a container's layout holds (a previous editor among
/// it) and the layout itself.
void emptyContainer(QWidget *container)
{
    QLayout *layout = container->layout();
    if (!layout)
        return;
    while (QLayoutItem *item = layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    delete layout;
}

void styleEditor(MyCustomPlot *plot, QWidget *container)
{
    plot->setBackground(Qt::transparent);
    plot->axisRect()->setBackground(Qt::transparent);
    auto *layout = new QVBoxLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(plot);
    plot->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    plot->axisRect()->setAutoMargins(QCP::msNone);
    plot->axisRect()->setMargins(QMargins(0, 0, 0, 0));

    const auto fixedTicker = [](double step) {
        QSharedPointer<QCPAxisTickerFixed> ticker(new QCPAxisTickerFixed);
        ticker->setTickStep(step);
        ticker->setScaleStrategy(QCPAxisTickerFixed::ssNone);
        return ticker;
    };
    plot->xAxis->setTicker(fixedTicker(1));
    plot->yAxis->setTicker(fixedTicker(127));
    QPen axisPen(kAxisColour, 3);
    axisPen.setCosmetic(true);
    for (QCPAxis *axis : {plot->xAxis, plot->yAxis}) {
        axis->setTickLabels(false);
        axis->setBasePen(axisPen);
    }
    plot->setMouseTracking(true);
    plot->setFocusPolicy(Qt::StrongFocus);
}

} // namespace

Widget::CurvePage Widget::selectedExpressionPage() const
{
    switch (eventCodes.value(ui->expression_comboBox0->currentText(), EventCc)) {
    case EventNote:
        return curvePageOf(ui->expression_note_comboBox_valmin);
    case EventPitchBend:
        return curvePageOf(ui->expression_pitch_comboBox_valmin);
    case EventChannelPressure:
        return curvePageOf(ui->expression_ch_comboBox_val1);
    default:
        return curvePageOf(ui->expression_cc_comboBox_valmin);
    }
}

Widget::CurvePage Widget::selectedHiHatPage() const
{
    return ui->hat_comboBox0->currentIndex() == 0 ? curvePageOf(ui->hat_cc_comboBox_valmin)
                                                  : curvePageOf(ui->hat_note_comboBox_valmin);
}

void Widget::buildCurve(MyCustomPlot *&plot, QWidget *container, const CurvePage &page,
                        double rangeScale)
{
    emptyContainer(container);
    const double min = page.min->currentText().toDouble() / rangeScale;
    const double max = page.max->currentText().toDouble() / rangeScale;
    const double gain = page.gain->currentText().toDouble();
    const double curvature = page.curve->currentText().toDouble();

    plot = new MyCustomPlot(container);
    connect(plot, &MyCustomPlot::crical_is_move, this, &Widget::moveflagchange);
    connect(plot, &MyCustomPlot::circleCoordinatesUpdated, this, &Widget::drawCirclesOnWidget);
    plot->setupCurve(min, max, gain, curvature);
    styleEditor(plot, container);
}

void Widget::setupExpressionCurve()
{
    const bool pitch =
        eventCodes.value(ui->expression_comboBox0->currentText(), -1) == EventPitchBend;
    buildCurve(expressionCurve, ui->widget_13, selectedExpressionPage(),
               pitch ? ResponseCurve::PitchScale : 1.0);
    connect(expressionCurve, &MyCustomPlot::update_max_min_gain, this, &Widget::rec_max_min_gain);
    expressionCurve->pitchMode = pitch;
}

void Widget::setupHiHatCurve()
{
    buildCurve(hiHatCurve, ui->widget_14, selectedHiHatPage(), 1.0);
    connect(hiHatCurve, &MyCustomPlot::update_max_min_gain, this,
            &Widget::rec_max_min_gain_hat);
}

int Widget::expressionCurveCode() const
{
    return expressionCurve ? expressionCurve->curveCode : 0;
}

void Widget::rec_max_min_gain(int max, int min, int, int cgain)
{
    const CurvePage page = selectedExpressionPage();
    page.max->setCurrentIndex(max);
    page.min->setCurrentIndex(min);
    if (cgain + 50 >= 0 && cgain + 50 <= 100)
        page.curve->setCurrentIndex(cgain + 50);
}

void Widget::rec_max_min_gain_hat(int max, int min, int, int cgain)
{
    const CurvePage page = selectedHiHatPage();
    if (max >= 0 && max <= 127)
        page.max->setCurrentIndex(max);
    if (min >= 0 && min <= 127)
        page.min->setCurrentIndex(min);
    if (cgain + 50 >= 0 && cgain + 50 <= 100)
        page.curve->setCurrentIndex(cgain + 50);
}

void Widget::drawCirclesOnWidget(QPoint startCoord, QPoint endCoord)
{
    circleStart = ui->widget_8->mapFromGlobal(startCoord);
    circleEnd = ui->widget_8->mapFromGlobal(endCoord);
    if (ui->widget_8->isVisible())
        ui->widget_8->update();
    else
        qCDebug(lcCurve) << "widget_8 is not available or not visible.";
}

void Widget::syncCurveFromPage()
{
    if (!expressionCurve || curveDragging)
        return;
    const auto pass = [](MyCustomPlot *plot, const CurvePage &page) {
        plot->gain = page.gain->currentIndex() - 50;
        plot->maxValue = page.max->currentIndex();
        plot->minValue = page.min->currentIndex();
        plot->curvature = page.curve->currentIndex() - 50;
        plot->updateCurve();
    };
    switch (ui->pendal_type_comboBox0->currentIndex() + 1) {
    case PedalTypeExpression:
        pass(expressionCurve, selectedExpressionPage());
        break;
    case PedalTypeHiHat:
        if (hiHatCurve)
            pass(hiHatCurve, selectedHiHatPage());
        break;
    default:
        break;
    }
}
