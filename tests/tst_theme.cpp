// The dark theme's readability: the contrast arithmetic, the contrast of the
// theme's colour pairs, check boxes and disabled controls as the style sheet
// draws them, and the combo box popups of the main window.
#include "app/appstylesheet.h"
#include "app/themecolours.h"
#include "app/widget.h"
#include "support/fakedevicesource.h"
#include "update/downloadserver.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QtTest>

#include <functional>

Q_DECLARE_METATYPE(std::function<QWidget *(QWidget *)>)

using namespace ThemeColours;

namespace {

QRgb grey(int v)
{
    return qRgb(v, v, v);
}

/// The lightest and the darkest pixel in a rectangle of a picture.
std::pair<QRgb, QRgb> extremes(const QImage &picture, const QRect &area)
{
    QRgb light = 0xFF000000;
    QRgb dark = 0xFFFFFFFF;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = picture.pixel(x, y) | 0xFF000000;
            if (relativeLuminance(p) > relativeLuminance(light))
                light = p;
            if (relativeLuminance(p) < relativeLuminance(dark))
                dark = p;
        }
    }
    return {light, dark};
}

} // namespace

class tst_Theme : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void contrastRatio_matchesWcagReferences_data();
    void contrastRatio_matchesWcagReferences();
    void contrastRatio_symmetricBoundedAndMonotonic();
    void themePairs_meetWcagMinimum_data();
    void themePairs_meetWcagMinimum();
    void styleSheet_everyColourNameResolved();

    void checkBoxIndicator_outlineStandsOutAsDrawn();
    void disabledControls_drawnDimmer_data();
    void disabledControls_drawnDimmer();
    void comboPopups_atMost200pxThemedAndScrolling();

private:
    FakeDeviceSource m_nothing;
    QString m_previousStyleSheet;
};

void tst_Theme::initTestCase()
{
    DeviceSource::setCurrent(&m_nothing);
    DownloadServer::setBase(QUrl(QStringLiteral("http://127.0.0.1:9"))); // closed: no update offer
    m_previousStyleSheet = qApp->styleSheet();
    qApp->setStyleSheet(applicationStyleSheet());
}

void tst_Theme::cleanupTestCase()
{
    qApp->setStyleSheet(m_previousStyleSheet);
    DownloadServer::setBase(QUrl());
    DeviceSource::setCurrent(nullptr);
}

void tst_Theme::contrastRatio_matchesWcagReferences_data()
{
    QTest::addColumn<QRgb>("a");
    QTest::addColumn<QRgb>("b");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<double>("luminanceA");

    QTest::newRow("black on white") << qRgb(0, 0, 0) << qRgb(255, 255, 255) << 21.0 << 0.0;
    QTest::newRow("white on black") << qRgb(255, 255, 255) << qRgb(0, 0, 0) << 21.0 << 1.0;
    QTest::newRow("equal greys") << grey(0x77) << grey(0x77) << 1.0 << 0.1845;
    QTest::newRow("red on white") << qRgb(255, 0, 0) << qRgb(255, 255, 255) << 3.998 << 0.2126;
    QTest::newRow("green on black") << qRgb(0, 255, 0) << qRgb(0, 0, 0) << 15.304 << 0.7152;
    QTest::newRow("blue on white") << qRgb(0, 0, 255) << qRgb(255, 255, 255) << 8.592 << 0.0722;
    // The lightest grey that passes 4.5 on white, and its neighbour that fails.
    QTest::newRow("#767676 on white") << grey(0x76) << grey(0xFF) << 4.542 << 0.1812;
    QTest::newRow("#777777 on white") << grey(0x77) << grey(0xFF) << 4.478 << 0.1845;
    QTest::newRow("#808080 on white") << grey(0x80) << grey(0xFF) << 3.949 << 0.2159;
    // Dark channels fall on the linear part of the sRGB curve (c / 12.92).
    QTest::newRow("#0A0A0A on black") << grey(0x0A) << grey(0x00) << 1.061 << 0.003035;
}

void tst_Theme::contrastRatio_matchesWcagReferences()
{
    QFETCH(QRgb, a);
    QFETCH(QRgb, b);
    QFETCH(double, ratio);
    QFETCH(double, luminanceA);
    QVERIFY2(qAbs(contrastRatio(a, b) - ratio) < 0.005, qPrintable(QString::number(contrastRatio(a, b))));
    QVERIFY2(qAbs(relativeLuminance(a) - luminanceA) < 0.0005,
             qPrintable(QString::number(relativeLuminance(a))));
}

void tst_Theme::contrastRatio_symmetricBoundedAndMonotonic()
{
    QRandomGenerator random(7);
    for (int i = 0; i < 2000; ++i) {
        const QRgb a = random.generate() | 0xFF000000;
        const QRgb b = random.generate() | 0xFF000000;
        const double r = contrastRatio(a, b);
        QCOMPARE(r, contrastRatio(b, a));
        QVERIFY(r >= 1.0 && r <= 21.0);
        QCOMPARE(contrastRatio(a, a), 1.0);
        // Alpha plays no part.
        QCOMPARE(contrastRatio(a & 0x00FFFFFF, b), r);
    }
    for (int v = 0; v < 255; ++v) {
        QVERIFY2(contrastRatio(grey(v + 1), grey(0)) > contrastRatio(grey(v), grey(0)),
                 qPrintable(QString::number(v)));
        QVERIFY(contrastRatio(grey(v), grey(255)) > contrastRatio(grey(v + 1), grey(255)));
    }
}

void tst_Theme::themePairs_meetWcagMinimum_data()
{
    QTest::addColumn<QRgb>("foreground");
    QTest::addColumn<QRgb>("background");
    QTest::addColumn<double>("minimum");

    // WCAG: 3 for the parts of a control, 4.5 for body text.
    constexpr double control = 3.0;
    constexpr double textMinimum = 4.5;
    // Every surface the window's controls sit on; popups are drawn on window.
    const std::pair<const char *, QRgb> surfaces[] = {
        {"window", window}, {"group top", groupTop}, {"group bottom", groupBottom}};
    for (const auto &[name, surface] : surfaces) {
        const auto row = [name = name](const char *what) -> QTestData & {
            return QTest::addRow("%s on %s", what, name);
        };
        row("check box outline") << indicatorOutline << surface << control;
        row("checked check box") << gold << surface << control;
        row("text") << text << surface << textMinimum;
        row("disabled text") << disabledText << surface << control;
    }
    QTest::newRow("check box outline around its well") << indicatorOutline << well << control;
    QTest::newRow("tick on the checked box") << checkMark << gold << control;
    QTest::newRow("text on a focused combo box") << text << focusBackground << textMinimum;
    QTest::newRow("button text, gradient top") << text << buttonTop << textMinimum;
    QTest::newRow("button text, gradient bottom") << text << buttonBottom << textMinimum;
    QTest::newRow("disabled button text") << disabledText << disabledButton << control;
    QTest::newRow("popup selection") << selectionText << gold << textMinimum;
    QTest::newRow("popup scroll handle") << scrollHandle << well << control;
}

void tst_Theme::themePairs_meetWcagMinimum()
{
    QFETCH(QRgb, foreground);
    QFETCH(QRgb, background);
    QFETCH(double, minimum);
    const double ratio = contrastRatio(foreground, background);
    QVERIFY2(ratio >= minimum, qPrintable(QStringLiteral("%1 on %2: %3 < %4")
                                              .arg(QColor(foreground).name(),
                                                   QColor(background).name())
                                              .arg(ratio, 0, 'f', 2)
                                              .arg(minimum)));
}

void tst_Theme::styleSheet_everyColourNameResolved()
{
    const QString sheet = applicationStyleSheet();
    QVERIFY2(!sheet.contains(QLatin1Char('@')),
             qPrintable(sheet.mid(sheet.indexOf(QLatin1Char('@')), 40)));
}

void tst_Theme::checkBoxIndicator_outlineStandsOutAsDrawn()
{
    QWidget page;
    auto *layout = new QHBoxLayout(&page);
    layout->setContentsMargins(12, 12, 12, 12);
    QCheckBox *boxes[2];
    for (QCheckBox *&box : boxes) {
        box = new QCheckBox(QStringLiteral("Evert"), &page);
        layout->addWidget(box);
    }
    boxes[1]->setChecked(true);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    const QImage picture = page.grab().toImage();
    const auto at = [&picture](QPoint p) { return picture.pixel(p) | 0xFF000000; };
    const QRgb background = at(QPoint(2, 2));
    QCOMPARE(background, window);

    for (QCheckBox *box : boxes) {
        QStyleOptionButton option;
        option.initFrom(box);
        const QRect indicator = box->style()
                                    ->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box)
                                    .translated(box->pos());
        QVERIFY(indicator.width() >= 12 && indicator.height() >= 12);
        // One pixel into the left edge of the two-pixel outline, and inside it.
        const QRgb outline = at(QPoint(indicator.left() + 1, indicator.center().y()));
        const QRgb inside = at(indicator.center() + QPoint(-2, -3));
        QVERIFY2(contrastRatio(outline, background) >= 3.0,
                 qPrintable(QColor(outline).name() + QLatin1String(" on ") + QColor(background).name()));
        if (!box->isChecked()) {
            QVERIFY2(contrastRatio(outline, inside) >= 3.0, qPrintable(QColor(inside).name()));
            continue;
        }
        // A checked box is filled; its tick is the darkest thing in it.
        QCOMPARE(inside, outline);
        const auto [light, dark] = extremes(picture, indicator.adjusted(3, 3, -3, -3));
        QCOMPARE(light, inside);
        QVERIFY2(contrastRatio(dark, light) >= 3.0,
                 qPrintable(QColor(dark).name() + QLatin1String(" on ") + QColor(light).name()));
    }
}

void tst_Theme::disabledControls_drawnDimmer_data()
{
    using Make = std::function<QWidget *(QWidget *)>;
    QTest::addColumn<Make>("make");
    QTest::addColumn<bool>("fillAtLeft"); // else behind the caption, at the right

    QTest::newRow("push button") << Make([](QWidget *parent) {
        return new QPushButton(QStringLiteral("Upgrade"), parent);
    }) << true;
    QTest::newRow("combo box") << Make([](QWidget *parent) {
        auto *box = new QComboBox(parent);
        box->addItem(QStringLiteral("ZT-3 Bootloader"));
        return box;
    }) << true;
    QTest::newRow("check box") << Make([](QWidget *parent) {
        return new QCheckBox(QStringLiteral("Evert"), parent);
    }) << false;
}

void tst_Theme::disabledControls_drawnDimmer()
{
    using Make = std::function<QWidget *(QWidget *)>;
    QFETCH(Make, make);
    QFETCH(bool, fillAtLeft);
    QWidget page;
    auto *layout = new QHBoxLayout(&page);
    QWidget *enabled = make(&page);
    QWidget *disabled = make(&page);
    disabled->setEnabled(false);
    layout->addWidget(enabled);
    layout->addWidget(disabled);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));

    const QImage on = enabled->grab().toImage();
    const QImage off = disabled->grab().toImage();
    QCOMPARE(on.size(), off.size());
    const QRgb onLight = extremes(on, on.rect()).first;
    const auto [offLight, offDark] = extremes(off, off.rect());
    // The text is the lightest thing in either: dimmer when disabled, yet
    // legible on the darkest part of the control.
    QVERIFY2(relativeLuminance(offLight) < relativeLuminance(onLight) / 2,
             qPrintable(QColor(offLight).name() + QLatin1String(" vs ") + QColor(onLight).name()));
    const QRgb fill =
        off.pixel(fillAtLeft ? QPoint(4, off.height() / 2) : QPoint(off.width() - 2, 2)) | 0xFF000000;
    QVERIFY2(contrastRatio(offLight, fill) >= 3.0,
             qPrintable(QColor(offLight).name() + QLatin1String(" on ") + QColor(fill).name()));
    QVERIFY(contrastRatio(offLight, offDark) >= 3.0);
}

void tst_Theme::comboPopups_atMost200pxThemedAndScrolling()
{
    Widget w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QList<QComboBox *> boxes = w.findChildren<QComboBox *>();
    int scrolling = 0;
    int shown = 0;
    for (QComboBox *box : boxes) {
        // Nothing to show: the device list with no controller, and the lists
        // of the group that is fixed at 0 x 0 and so never seen.
        if (box->count() == 0 || box->width() == 0)
            continue;
        ++shown;
        const QByteArray name = box->objectName().toLatin1();
        box->showPopup();
        QAbstractItemView *view = box->view();
        QWidget *popup = view->window();
        QTRY_VERIFY2(popup->isVisible(), name);
        QVERIFY2(popup != &w, name);
        QVERIFY2(popup->height() <= 200, name + ": " + QByteArray::number(popup->height()));
        QVERIFY2(view->height() <= 200, name);
        // Every row of a long list can be reached with the scroll bar.
        const int rowsHeight = view->sizeHintForRow(0) * box->count();
        const bool longer = rowsHeight > view->viewport()->height();
        QVERIFY2(view->verticalScrollBar()->isVisible() == longer,
                 name + ": " + QByteArray::number(box->count()) + " rows of "
                     + QByteArray::number(view->sizeHintForRow(0)) + " px in "
                     + QByteArray::number(view->viewport()->height()) + " px");
        if (longer) {
            ++scrolling;
            QScrollBar *bar = view->verticalScrollBar();
            bar->setValue(bar->maximum());
            const QModelIndex last = box->model()->index(box->count() - 1, box->modelColumn());
            QVERIFY2(view->viewport()->rect().contains(view->visualRect(last)), name);
            bar->setValue(0);
        }
        QCOMPARE(popup->palette().color(QPalette::Active, QPalette::Window).rgb(), window);
        QCOMPARE(view->palette().color(QPalette::Active, QPalette::Base).rgb(), window);
        QCOMPARE(view->palette().color(QPalette::Active, QPalette::Text).rgb(), text);
        // Drawn: mostly the theme's background, and nothing light but text.
        const QImage picture = popup->grab().toImage();
        int themed = 0;
        int light = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb p = picture.pixel(x, y) | 0xFF000000;
                // The current row is drawn in a shade of the gold.
                themed += p == window || contrastRatio(p, gold) < 1.1;
                light += relativeLuminance(p) > 0.5;
            }
        }
        const int area = picture.width() * picture.height();
        QVERIFY2(themed > area / 2, name + ": " + QByteArray::number(themed) + " of "
                                        + QByteArray::number(area) + " pixels in theme colours");
        QVERIFY2(light < area / 5, name + ": " + QByteArray::number(light) + " light pixels");
        box->hidePopup();
        QTRY_VERIFY2(!popup->isVisible(), name);
    }
    QVERIFY(shown > 50);
    // The controller and note lists are long: they must have been among them.
    QVERIFY(scrolling >= 10);
}

QTEST_MAIN(tst_Theme)
#include "tst_theme.moc"
