// The main window's form: every named widget with its class, caption, place
// and size limits, and a layout that fits the smallest window on every page.
#include "app/appstylesheet.h"
#include "app/widget.h"
#include "device/devicesource.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QStackedWidget>
#include <QtTest>

namespace {

/// A machine with no serial ports and no USB devices.
class NothingPlugged : public DeviceSource
{
public:
    QList<SerialPortRecord> serialPorts() const override { return {}; }
    QList<UsbDeviceRecord> usbDevices() const override { return {}; }
};

/// Sentinel of the caption column: the object has no caption to compare
/// (or one that the window's own code rewrites while it is built).
const QString noCaption;

/// Widgets that only some controller models show; hidden at start.
const char *const modelDependent[] = {
    "widget_8", "widget_10", "groupBox_16", "groupBox_2", "expression_trigger_level",
    "expression_cc_comboBox_ql", "expression_note_comboBox_ql", "expression_pitch_comboBox_ql",
    "expression_ch_comboBox_ql", "hat_cc_comboBox_ql", "hat_note_comboBox_ql"};

QString captionOf(const QObject *o)
{
    if (auto *l = qobject_cast<const QLabel *>(o))
        return l->text();
    if (auto *b = qobject_cast<const QAbstractButton *>(o))
        return b->text();
    if (auto *g = qobject_cast<const QGroupBox *>(o))
        return g->title();
    return QString();
}

bool hasAncestor(const QObject *o, const QString &name)
{
    for (const QObject *p = o->parent(); p; p = p->parent())
        if (p->objectName() == name)
            return true;
    return false;
}

QStringList descendantLabelTexts(const QObject *o)
{
    QStringList out;
    for (const QLabel *l : o->findChildren<QLabel *>())
        out.append(l->text());
    return out;
}

// ---- rows of the walk ----------------------------------------------------

struct Row
{
    QString name;
    QString cls;
    QString caption = noCaption;
    QString ancestor;       // an enclosing widget, when the place matters
    int pageIndex = -1;     // index in the enclosing stack, for stack pages
    QVariantMap props;      // further properties and their values
    QStringList labels;     // captions that labels inside it must show
};

QVector<Row> rows;

Row &add(const QString &name, const QString &cls, const QString &caption = noCaption,
         const QString &ancestor = QString())
{
    Row r;
    r.name = name;
    r.cls = cls;
    r.caption = caption;
    r.ancestor = ancestor;
    rows.append(r);
    return rows.last();
}

void label(const QString &name, const QString &caption, const QString &ancestor = QString())
{
    add(name, QStringLiteral("QLabel"), caption, ancestor);
}

void combos(const QStringList &names, const QString &ancestor)
{
    for (const QString &n : names)
        add(n, QStringLiteral("QComboBox"), noCaption, ancestor);
}

void page(const QString &name, int index, const QString &stack)
{
    add(name, QStringLiteral("QWidget"), noCaption, stack).pageIndex = index;
}

void buildRows()
{
    const QString W = QStringLiteral("QWidget");
    const QString G = QStringLiteral("QGroupBox");
    const QString B = QStringLiteral("QPushButton");
    const QString C = QStringLiteral("QCheckBox");
    const QString S = QStringLiteral("QStackedWidget");
    const QString T = QStringLiteral("QTableView");

    // Device row and settings row.
    add("widget", W);
    label("label_25", "");
    add("comboBox_ComDevices", "QComboBox").props = {{"minimumWidth", 300}};
    label("label_26", "");
    add("connectButton", B, "Connect").props = {{"minimumWidth", 100}, {"maximumWidth", 125}};
    add("General_settings", G).props = {
        {"minimumWidth", 400}, {"maximumWidth", 400}, {"minimumHeight", 60}};
    label("label_27", "Pedal Number", "General_settings");
    add("Pedal_Number", "QComboBox", noCaption, "General_settings");
    label("label", "Message Number", "General_settings");
    add("Message_Number", "QComboBox", noCaption, "General_settings");
    add("checkButton", B, "Check", "General_settings").props = {
        {"minimumWidth", 100}, {"maximumWidth", 125}};
    add("General_settings_2", G, noCaption, "General_settings").props = {
        {"minimumSize", QSize(0, 0)}, {"maximumSize", QSize(0, 0)}};
    label("label_4", "Message Number", "General_settings_2");
    add("Message_Number_2", "QComboBox", noCaption, "General_settings_2");
    label("label_44", "Pedal Number", "General_settings_2");
    add("Pedal_Number_2", "QComboBox", noCaption, "General_settings_2");
    add("checkButton_2", B, "Check", "General_settings_2");
    label("label_84", "TextLabel");
    add("label_ico", "QLabel", "").props = {
        {"minimumWidth", 155}, {"maximumWidth", 155},
        {"styleSheet", QStringLiteral("image: url(:/IMG/label.png);")}};

    // The three pedal type pages.
    add("pedal_type_stack", S);
    page("page_3", 0, "pedal_type_stack");
    page("page_4", 1, "pedal_type_stack");
    page("page", 2, "pedal_type_stack");

    struct Side
    {
        const char *page, *column, *group, *stack;
        const char *set, *del;
        const char *typeCaption, *typeCombo, *evert, *picture, *header, *headerTitle;
        const char *headerCaptions[4], *headerSpare, *table, *onlyCurrent, *clear;
        QVariantMap stackProps, typeComboProps;
    };
    const Side sides[] = {
        {"page_3", "widget_20", "Switch_Pedal_Setting", "expression_stackedWidget",
         "setButton_6", "pushButton", "label_2", "pendal_type_comboBox0", "ex_Evert_checkBox",
         "widget_4", "widget_9", "label_148",
         {"label_149", "label_150", "label_151", "label_152"}, "label_120", "tableView",
         "checkBox_ex", "clearButton", {}, {{"minimumWidth", 190}}},
        {"page_4", "widget_19", "Switch_Pedal_Setting_2", "switch_stackedWidget",
         "setButton_9", "pushButton_3", "label_12", "pendal_type_comboBox1", "sw_Evert_checkBox",
         "widget_5", "widget_11", "label_153",
         {"label_154", "label_155", "label_156", "label_157"}, "label_121", "tableView_2",
         "checkBox_sw", "clearButton_2", {}, {}},
        {"page", "widget_18", "Switch_Pedal_Setting_3", "hat_stackedWidget",
         "setButton_7", "pushButton_2", "label_14", "pendal_type_comboBox2", "ht_Evert_checkBox",
         "widget_7", "widget_12", "label_158",
         {"label_159", "label_160", "label_161", "label_162"}, "label_122", "tableView_3",
         "checkBox_ht", "clearButton_3", {{"minimumWidth", 380}}, {}},
    };
    const char *headerTexts[4] = {"Event", "No.", "Value", "Channel"};
    for (const Side &s : sides) {
        add(s.column, W, noCaption, s.page);
        add(s.group, G, noCaption, s.column);
        add(s.stack, S, noCaption, s.group).props = s.stackProps;
        add(s.set, B, "Set", s.column);
        add(s.del, B, "Delete", s.column);
        label(s.typeCaption, "Pedal Type  ", s.page);
        add(s.typeCombo, "QComboBox", noCaption, s.page).props = s.typeComboProps;
        add(s.evert, C, "Evert", s.page);
        add(s.picture, W, noCaption, s.page);
        add(s.header, W, noCaption, s.page);
        label(s.headerTitle, "Pedal MIDI Data", s.header);
        for (int i = 0; i < 4; ++i)
            label(s.headerCaptions[i], headerTexts[i], s.header);
        label(s.headerSpare, "", s.header);
        add(s.table, T, noCaption, s.page).props = {{"minimumWidth", 410}};
        add(s.onlyCurrent, C, "Show only current message number", s.page).props = {
            {"layoutDirection", int(Qt::RightToLeft)}};
        add(s.clear, B, "Clear", s.page);
    }
    add("test", C, "test", "page_3");

    // Response curve areas and trigger groups.
    struct Curve
    {
        const char *area, *column, *plot, *value, *top, *position, *corner, *percent;
    };
    for (const Curve &c : {Curve{"widget_8", "widget_20", "widget_13", "label_126", "label_125",
                                 "label_127", "label_124", "label_123"},
                           Curve{"widget_10", "widget_18", "widget_14", "label_131", "label_129",
                                 "label_132", "label_128", "label_130"}}) {
        add(c.area, W, noCaption, c.column).props = {{"minimumSize", QSize(318, 200)}};
        add(c.plot, W, noCaption, c.area).props = {
            {"minimumSize", QSize(180, 160)},
            {"styleSheet", QStringLiteral("border-image: url(:/IMG/bd5.png);")}};
        label(c.value, " Value", c.area);
        label(c.top, "127", c.area);
        label(c.position, "Position", c.area);
        label(c.corner, "Widget", c.area);
        label(c.percent, "                      100%", c.area);
    }
    add("groupBox_2", G, noCaption, "widget_20");
    label("label_37", "Trigger Level", "groupBox_2");
    label("label_38", "Press Note", "groupBox_2");
    label("label_39", "Release Note", "groupBox_2");
    combos({"expression_trigger_level", "expression_press_note", "expression_release_note"},
           "groupBox_2");
    add("groupBox_16", G, noCaption, "widget_18");
    label("label_104", "Trigger Level", "groupBox_16");
    label("label_105", "Press Note", "groupBox_16");
    label("label_106", "Release Note", "groupBox_16");
    combos({"hat_trigger_level", "hat_press_note", "hat_release_note"}, "groupBox_16");

    // Event pages of the expression and hi-hat pedals.
    const QStringList analogCaptions{"Event", "MIDI Channel", "Value Range    ", "Min ",
                                     "Max ", "Gain ", "Curve"};
    struct Analog
    {
        const char *stack, *page, *group;
        int index;
        const char *firstCaption;
        QStringList selectors;
    };
    const Analog analog[] = {
        {"expression_stackedWidget", "page_7", "groupBox_5", 0, "Controller No.",
         {"expression_comboBox0", "expression_cc_comboBox_chl", "expression_cc_comboBox_ctl",
          "expression_cc_comboBox_valmin", "expression_cc_comboBox_valmax",
          "expression_cc_comboBox_gain", "expression_cc_comboBox_ql"}},
        {"expression_stackedWidget", "page_6", "groupBox_6", 1, "Note No.",
         {"expression_comboBox1", "expression_note_comboBox_chl", "expression_note_comboBox_ctl",
          "expression_note_comboBox_valmin", "expression_note_comboBox_valmax",
          "expression_note_comboBox_gain", "expression_note_comboBox_ql"}},
        {"expression_stackedWidget", "page_5", "groupBox_7", 2, nullptr,
         {"expression_comboBox2", "expression_pitch_comboBox_chl",
          "expression_pitch_comboBox_valmin", "expression_pitch_comboBox_valmax",
          "expression_pitch_comboBox_gain", "expression_pitch_comboBox_ql"}},
        {"expression_stackedWidget", "page_8", "groupBox_8", 3, nullptr,
         {"expression_comboBox3", "expression_ch_comboBox_chl", "expression_ch_comboBox_val1",
          "expression_ch_comboBox_val2", "expression_ch_comboBox_gain",
          "expression_ch_comboBox_ql"}},
        {"hat_stackedWidget", "page_12", "groupBox_12", 0, "Controller No.",
         {"hat_comboBox0", "hat_cc_comboBox_chl", "hat_cc_comboBox_ctl", "hat_cc_comboBox_valmin",
          "hat_cc_comboBox_valmax", "hat_cc_comboBox_gain", "hat_cc_comboBox_ql"}},
        {"hat_stackedWidget", "page_13", "groupBox_13", 1, "Note No.",
         {"hat_comboBox1", "hat_note_comboBox_chl", "hat_note_comboBox_ctl",
          "hat_note_comboBox_valmin", "hat_note_comboBox_valmax", "hat_note_comboBox_gain",
          "hat_note_comboBox_ql"}},
    };
    for (const Analog &a : analog) {
        page(a.page, a.index, a.stack);
        Row &g = add(a.group, G, noCaption, a.page);
        g.labels = analogCaptions;
        if (a.firstCaption)
            g.labels.append(a.firstCaption);
        combos(a.selectors, a.group);
    }
    label("label_137", "", "groupBox_7");
    label("label_114", "", "groupBox_7");
    label("label_139", "", "groupBox_8");
    label("label_113", "", "groupBox_8");

    // Event pages of the switch pedal.
    struct Switch
    {
        const char *page, *group;
        int index;
        QStringList captions;
        QStringList selectors;
    };
    const Switch switches[] = {
        {"page_9", "groupBox_9", 0,
         {"Event", "MIDI Channel", "Controller No.", "Trigger Mode", "Value Range"},
         {"switch_comboBox0", "switch_cc_comboBox_chl", "switch_cc_comboBox_ctl",
          "switch_cc_comboBox_mode", "switch_cc_comboBox_valmin", "switch_cc_comboBox_valmax"}},
        {"page_10", "groupBox_10", 1,
         {"Event", "MIDI Channel", "Note No.", "Trigger Mode", "Value Range"},
         {"switch_comboBox1", "switch_note_comboBox_chl", "switch_note_comboBox_nno",
          "switch_note_comboBox_mode", "switch_note_comboBox_valmin",
          "switch_note_comboBox_valmax"}},
        {"page_11", "groupBox_11", 2, {"Event", "MIDI Channel", "Trigger Mode", "PC No."},
         {"switch_comboBox2", "switch_pc_comboBox_chl", "switch_pc_comboBox_mode",
          "switch_pc_comboBox_valmin", "switch_pc_comboBox_valmax"}},
        {"page_2", "groupBox_14", 3, {"Event", "Trigger Mode"},
         {"switch_comboBox3", "switch_stop_comboBox_mode"}},
        {"page_14", "groupBox_15", 4, {"Event", "Trigger Mode"},
         {"switch_comboBox4", "switch_ctu_comboBox_mode"}},
        {"page_15", "groupBox_18", 5, {"Event", "Trigger Mode"},
         {"switch_comboBox5", "switch_start_comboBox_mode"}},
        {"page_16", "groupBox_19", 6, {"Event", "Trigger Mode"},
         {"switch_comboBox6", "switch_tempo_comboBox_mode"}},
    };
    for (const Switch &s : switches) {
        page(s.page, s.index, "switch_stackedWidget");
        add(s.group, G, noCaption, s.page).labels = s.captions;
        combos(s.selectors, s.group);
    }
    // The editor rewrites the "Max" captions with the trigger mode.
    label("label_49", "Min", "groupBox_9");
    label("label_48", noCaption, "groupBox_9");
    label("label_80", "Min", "groupBox_10");
    label("label_79", noCaption, "groupBox_10");
    label("label_112", "Min", "groupBox_11");
    label("label_135", noCaption, "groupBox_11");

    // The legacy panel, never shown.
    Row &legacy = add("Hi_hat_Setting", G);
    legacy.props = {{"maximumHeight", 0}};
    legacy.labels = QStringList{"Expression Pedal Setting", "Switch Pedal Setting",
                                "Hi-hat Setting", "Pedal MIDI Data", "STATUS", "DATA1 Range",
                                "Gain", "DATA2 Range", "MODE", "MIDI Channel", "DATA1",
                                "Trigger Level", "Press Note", "Release Note"};
    add("Expression_Pedal_Setting", G, noCaption, "Hi_hat_Setting");
    combos({"comboBox_EPS_status", "comboBox_EPS_D1_1", "comboBox_EPS_D1_2", "comboBox_EPS_Gain",
            "comboBox_EPS_D2_1", "comboBox_EPS_D2_2"},
           "Expression_Pedal_Setting");
    combos({"comboBox_SPS_status", "comboBox_SPS_mode", "comboBox_SPS_D1_1", "comboBox_SPS_D1_2",
            "comboBox_SPS_D2_1", "comboBox_SPS_D2_2", "switch_status", "switch_mode", "comboBox",
            "comboBox_2", "comboBox_3", "comboBox_4", "Pedal_Type", "MIDI_Channel",
            "comboBox_HHS_status", "comboBox_HHS_DATA1", "comboBox_HHS_TL", "comboBox_HHS_PN",
            "comboBox_HHS_Gain", "comboBox_HHS_D2_1", "comboBox_HHS_D2_2", "comboBox_HHS_RN"},
           "Hi_hat_Setting");
    add("openButton", B, "Open File", "Hi_hat_Setting");
    add("saveButton", B, "Save File", "Hi_hat_Setting");
    add("deleteButton", B, "Delete", "Hi_hat_Setting");
}

bool sameValue(const QVariant &actual, const QVariant &expected)
{
    if (expected.userType() == QMetaType::Int)
        return actual.toInt() == expected.toInt();
    return actual == expected;
}

// ---- layout check ----------------------------------------------------------

/// Visible widgets under `parent` that are smaller than they need to be, stick
/// out of their parent or overlap a sibling.
void collectLayoutFaults(const QWidget *parent, QStringList &faults)
{
    if (qobject_cast<const QAbstractScrollArea *>(parent))
        return; // viewport and scroll bars are the view's business
    QList<const QWidget *> shown;
    for (const QObject *o : parent->children()) {
        auto *w = qobject_cast<const QWidget *>(o);
        if (!w || w->isWindow() || !w->isVisible())
            continue;
        if (w->maximumWidth() == 0 || w->maximumHeight() == 0)
            continue; // kept at no size on purpose
        shown.append(w);
    }
    const auto id = [](const QWidget *w) {
        return QStringLiteral("%1 (%2)").arg(w->objectName(), w->metaObject()->className());
    };
    for (int i = 0; i < shown.size(); ++i) {
        const QWidget *w = shown[i];
        QSize need = w->minimumSizeHint();
        if (auto *box = qobject_cast<const QComboBox *>(w))
            if (box->sizeAdjustPolicy() == QComboBox::AdjustToContents)
                need = box->sizeHint(); // its items, not a hint taken while it was empty
        if (need.isValid() && (w->width() < need.width() || w->height() < need.height()))
            faults.append(QStringLiteral("%1 is %2x%3, needs %4x%5")
                              .arg(id(w))
                              .arg(w->width())
                              .arg(w->height())
                              .arg(need.width())
                              .arg(need.height()));
        if (!parent->rect().contains(w->geometry()))
            faults.append(QStringLiteral("%1 sticks out of %2").arg(id(w), id(parent)));
        if (!qobject_cast<const QStackedWidget *>(parent))
            for (int j = i + 1; j < shown.size(); ++j)
                if (w->geometry().intersects(shown[j]->geometry()))
                    faults.append(QStringLiteral("%1 overlaps %2").arg(id(w), id(shown[j])));
        collectLayoutFaults(w, faults);
    }
}

} // namespace

class tst_Form : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void namedWidget_hasClassCaptionPlaceAndLimits_data();
    void namedWidget_hasClassCaptionPlaceAndLimits();

    void pedalPage_fitsSmallestWindow_data();
    void pedalPage_fitsSmallestWindow();

private:
    NothingPlugged m_nothing;
    QString m_previousStyleSheet;
    Widget *m_window = nullptr;
};

void tst_Form::initTestCase()
{
    DeviceSource::setCurrent(&m_nothing);
    // Sizes depend on the application's look, as in the running program.
    m_previousStyleSheet = qApp->styleSheet();
    qApp->setStyleSheet(applicationStyleSheet());
    buildRows();
    m_window = new Widget;
}

void tst_Form::cleanupTestCase()
{
    delete m_window;
    qApp->setStyleSheet(m_previousStyleSheet);
    DeviceSource::setCurrent(nullptr);
}

void tst_Form::namedWidget_hasClassCaptionPlaceAndLimits_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("cls");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("ancestor");
    QTest::addColumn<int>("pageIndex");
    QTest::addColumn<QVariantMap>("props");
    QTest::addColumn<QStringList>("labels");
    for (const Row &r : qAsConst(rows))
        QTest::newRow(qPrintable(r.name))
            << r.name << r.cls << r.caption << r.ancestor << r.pageIndex << r.props << r.labels;
}

void tst_Form::namedWidget_hasClassCaptionPlaceAndLimits()
{
    QFETCH(QString, name);
    QFETCH(QString, cls);
    QFETCH(QString, caption);
    QFETCH(QString, ancestor);
    QFETCH(int, pageIndex);
    QFETCH(QVariantMap, props);
    QFETCH(QStringList, labels);

    // The window's own widgets, not those of its dialogs (which reuse names).
    QList<QObject *> found = m_window->findChildren<QObject *>(name);
    found.erase(std::remove_if(found.begin(), found.end(),
                               [this](QObject *o) {
                                   for (QObject *p = o->parent(); p && p != m_window;
                                        p = p->parent()) {
                                       if (qobject_cast<QDialog *>(p))
                                           return true;
                                   }
                                   return false;
                               }),
                found.end());
    QCOMPARE(found.size(), 1);
    QObject *o = found.first();
    QVERIFY2(o->inherits(qPrintable(cls)),
             qPrintable(QStringLiteral("is a %1").arg(o->metaObject()->className())));
    if (!caption.isNull())
        QCOMPARE(captionOf(o), caption);
    if (!ancestor.isEmpty())
        QVERIFY2(hasAncestor(o, ancestor), qPrintable("not inside " + ancestor));
    if (pageIndex >= 0) {
        auto *stack = qobject_cast<QStackedWidget *>(o->parent());
        QVERIFY(stack);
        QCOMPARE(stack->objectName(), ancestor);
        QCOMPARE(stack->indexOf(qobject_cast<QWidget *>(o)), pageIndex);
    }
    for (auto it = props.cbegin(); it != props.cend(); ++it)
        QVERIFY2(sameValue(o->property(qPrintable(it.key())), it.value()),
                 qPrintable(QStringLiteral("%1 is %2").arg(it.key(),
                                                           QVariant(o->property(qPrintable(it.key())))
                                                               .toString())));
    const QStringList texts = descendantLabelTexts(o);
    for (const QString &t : qAsConst(labels))
        QVERIFY2(texts.contains(t), qPrintable(QStringLiteral("no label \"%1\"").arg(t)));
}

void tst_Form::pedalPage_fitsSmallestWindow_data()
{
    QTest::addColumn<int>("pedalType");
    QTest::addColumn<QString>("eventStack");
    QTest::addColumn<bool>("allFeatures");
    const struct
    {
        const char *name;
        int type;
        const char *stack;
    } pages[] = {{"expression", 0, "expression_stackedWidget"},
                 {"switch", 1, "switch_stackedWidget"},
                 {"hi-hat", 2, "hat_stackedWidget"}};
    for (const auto &p : pages) {
        QTest::addRow("%s, basic model", p.name) << p.type << QString(p.stack) << false;
        QTest::addRow("%s, curve and trigger model", p.name) << p.type << QString(p.stack) << true;
    }
}

void tst_Form::pedalPage_fitsSmallestWindow()
{
    QFETCH(int, pedalType);
    QFETCH(QString, eventStack);
    QFETCH(bool, allFeatures);

    Widget w;
    for (const char *name : modelDependent)
        w.findChild<QWidget *>(name)->setVisible(allFeatures);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.resize(w.minimumSize());
    // The form keeps its 870 x 750; the status line sits below it.
    QCOMPARE(w.size(), QSize(870, 750 + w.statusLineGrowth()));

    w.findChild<QStackedWidget *>("pedal_type_stack")->setCurrentIndex(pedalType);
    auto *events = w.findChild<QStackedWidget *>(eventStack);
    QVERIFY(events);
    for (int i = 0; i < events->count(); ++i) {
        events->setCurrentIndex(i);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
        QStringList faults;
        collectLayoutFaults(&w, faults);
        QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("event page %1:\n  ").arg(i)
                                              + faults.join(QStringLiteral("\n  "))));
    }
}

QTEST_MAIN(tst_Form)
#include "tst_form.moc"
