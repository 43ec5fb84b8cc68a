#!/usr/bin/env python3
"""Writes app/widget.ui, the designer form of the main window.

The form has several hundred widgets built from a handful of repeating
patterns (event pages, curve panels, monitor columns), so it is generated
from the tables below rather than edited by hand.  Run from anywhere:

    python3 tools/gen_widget_ui.py            # writes app/widget.ui
    python3 tools/gen_widget_ui.py -o FILE    # writes FILE instead
"""

import argparse
import os
import re
import sys
import xml.etree.ElementTree as ET

QRC = "../resources/resources.qrc"
WINDOW_STYLE = ('QWidget{\n\tfont: 75 10pt "Arial";\n}\n'
                'QComboBox QFrame{max-height:200px;}')
TABLE_STYLE = ('QTableView{\n'
               '\tgridline-color: #C07010;\n'
               '\talternate-background-color: rgb(200, 200, 200);\n'
               '\tselection-background-color: rgb(130, 190, 100);\n'
               '}')
PLOT_STYLE = "border-image: url(:/IMG/bd5.png);"
LABEL_ICO_STYLE = "image: url(:/IMG/label.png);"
GREY_PANEL_STYLE = "background-color: rgb(191, 191, 191);\nborder-radius: 20px;"

MAX = 16777215


# ---------------------------------------------------------------- naming --

class Names:
    """Hands out Designer-style object names for widgets the form does not
    name explicitly, skipping every name given explicitly anywhere."""

    def __init__(self):
        self.used = set()
        self.next = {}

    def take(self, name):
        if name in self.used:
            raise SystemExit("duplicate object name: " + name)
        self.used.add(name)
        return name

    def auto(self, prefix):
        n = self.next.get(prefix, 1)
        while True:
            name = prefix if n == 1 else "%s_%d" % (prefix, n)
            n += 1
            if name not in self.used and name not in RESERVED:
                self.next[prefix] = n
                return self.take(name)


NAMES = Names()
# Explicit names are collected here before any automatic name is handed out
# (filled by reserve_explicit_names()).
RESERVED = set()


# ------------------------------------------------------------ properties --

def _sub(parent, tag, text=None, **attrs):
    e = ET.SubElement(parent, tag, {k: str(v) for k, v in attrs.items()})
    if text is not None:
        e.text = str(text)
    return e


def p_string(name, value, notr=False, stdset=True):
    e = ET.Element("property", {"name": name})
    if not stdset:
        e.set("stdset", "0")
    s = _sub(e, "string", value)
    if notr:
        s.set("notr", "true")
    return e


def p_number(name, value):
    e = ET.Element("property", {"name": name})
    _sub(e, "number", value)
    return e


def p_bool(name, value):
    e = ET.Element("property", {"name": name})
    _sub(e, "bool", "true" if value else "false")
    return e


def p_enum(name, value):
    e = ET.Element("property", {"name": name})
    _sub(e, "enum", value)
    return e


def p_set(name, value):
    e = ET.Element("property", {"name": name})
    _sub(e, "set", value)
    return e


def p_size(name, w, h, stdset=True):
    e = ET.Element("property", {"name": name})
    if not stdset:
        e.set("stdset", "0")
    s = _sub(e, "size")
    _sub(s, "width", w)
    _sub(s, "height", h)
    return e


def p_rect(name, x, y, w, h):
    e = ET.Element("property", {"name": name})
    r = _sub(e, "rect")
    for tag, v in (("x", x), ("y", y), ("width", w), ("height", h)):
        _sub(r, tag, v)
    return e


def p_icon(name, path):
    e = ET.Element("property", {"name": name})
    i = _sub(e, "iconset", resource=QRC)
    _sub(i, "normaloff", path)
    i[-1].tail = path
    return e


def text(s):
    return p_string("text", s)


def title(s):
    return p_string("title", s)


def style(s):
    return p_string("styleSheet", s, notr=True)


def min_size(w, h):
    return p_size("minimumSize", w, h)


def max_size(w, h):
    return p_size("maximumSize", w, h)


def centred():
    return p_set("alignment", "Qt::AlignCenter")


# ---------------------------------------------------------------- widgets --

def widget(cls, name, *props, layout=None, pages=()):
    """A widget element.  `layout` is its layout, `pages` its child widgets
    that are not in a layout (the pages of a stacked widget).  Without a
    name it gets the next free Designer-style one."""
    if name is None:
        name = NAMES.auto(cls[1].lower() + cls[2:])
    else:
        NAMES.take(name)
    e = ET.Element("widget", {"class": cls, "name": name})
    for p in props:
        e.append(p)
    if layout is not None:
        e.append(layout)
    for page in pages:
        e.append(page)
    return e


def label(name, caption, *props):
    return widget("QLabel", name, text(caption), *props)


def p_policy(h, v):
    e = ET.Element("property", {"name": "sizePolicy"})
    sp = _sub(e, "sizepolicy", hsizetype=h, vsizetype=v)
    _sub(sp, "horstretch", 0)
    _sub(sp, "verstretch", 0)
    return e


# Selectors that hold up to 16384 numbers (pitch bend ranges and levels).
# Measuring every item for the size hint would cost tens of milliseconds at
# each fill, so they are sized for five digits instead.
LONG_NUMBER_LISTS = {
    "expression_pitch_comboBox_valmin",
    "expression_pitch_comboBox_valmax",
    "expression_trigger_level",
}


def combo(name, *props):
    """A selector of the editor.  Its width follows its items at all times:
    the lists are filled after the form is built and some are refilled
    later (controller names, pitch bend levels), so a size hint taken from
    the empty box must never decide the layout."""
    if name in LONG_NUMBER_LISTS:
        sizing = (p_enum("sizeAdjustPolicy",
                         "QComboBox::AdjustToMinimumContentsLengthWithIcon"),
                  p_number("minimumContentsLength", 5))
    else:
        sizing = (p_enum("sizeAdjustPolicy", "QComboBox::AdjustToContents"),)
    return widget("QComboBox", name, p_policy("Minimum", "Fixed"), *sizing, *props)


def plain_combo(name, *props):
    return widget("QComboBox", name, *props)


def button(name, caption, *props):
    return widget("QPushButton", name, text(caption), *props)


def check(name, caption, *props):
    return widget("QCheckBox", name, text(caption), *props)


def group(name, caption, layout, *props):
    return widget("QGroupBox", name, *((title(caption),) if caption is not None else ()),
                  *props, layout=layout)


def container(name, layout=None, *props):
    return widget("QWidget", name, *props, layout=layout)


def spacer(orientation, w, h, policy=None):
    prefix = "horizontalSpacer" if orientation == "h" else "verticalSpacer"
    e = ET.Element("spacer", {"name": NAMES.auto(prefix)})
    e.append(p_enum("orientation",
                    "Qt::Horizontal" if orientation == "h" else "Qt::Vertical"))
    if policy:
        e.append(p_enum("sizeType", "QSizePolicy::" + policy))
    e.append(p_size("sizeHint", w, h, stdset=False))
    return e


def hspace(w=40, policy=None):
    return spacer("h", w, 20, policy)


def vspace(h=40, policy=None):
    return spacer("v", 20, h, policy)


# ---------------------------------------------------------------- layouts --

def _layout_props(e, margins, spacing, constraint):
    if constraint:
        e.append(p_enum("sizeConstraint", "QLayout::" + constraint))
    if spacing is not None:
        e.append(p_number("spacing", spacing))
    if margins is not None:
        if isinstance(margins, int):
            margins = (margins,) * 4
        for side, v in zip(("left", "top", "right", "bottom"), margins):
            if v is not None:
                e.append(p_number(side + "Margin", v))


def box(kind, items, stretch=None, margins=None, spacing=None, constraint=None):
    """A QVBoxLayout ('v') or QHBoxLayout ('h') holding `items` (widgets,
    layouts or spacers; a (item, alignment) pair aligns the item)."""
    cls = "QVBoxLayout" if kind == "v" else "QHBoxLayout"
    prefix = "verticalLayout" if kind == "v" else "horizontalLayout"
    e = ET.Element("layout", {"class": cls, "name": NAMES.auto(prefix)})
    if stretch is not None:
        if len(stretch) != len(items):
            raise SystemExit("stretch list does not match the items of " + e.get("name"))
        e.set("stretch", ",".join(str(s) for s in stretch))
    _layout_props(e, margins, spacing, constraint)
    for it in items:
        align = None
        if isinstance(it, tuple):
            it, align = it
        i = _sub(e, "item")
        if align:
            i.set("alignment", align)
        i.append(it)
    return e


def vbox(*items, **kw):
    return box("v", list(items), **kw)


def hbox(*items, **kw):
    return box("h", list(items), **kw)


def grid(cells, rowstretch=None, columnstretch=None, margins=None, spacing=None,
         hspacing=None, vspacing=None, constraint=None):
    """A QGridLayout; `cells` holds (row, column, item[, rowspan, colspan])."""
    e = ET.Element("layout", {"class": "QGridLayout", "name": NAMES.auto("gridLayout")})
    if rowstretch:
        e.set("rowstretch", ",".join(str(s) for s in rowstretch))
    if columnstretch:
        e.set("columnstretch", ",".join(str(s) for s in columnstretch))
    _layout_props(e, margins, spacing, constraint)
    if hspacing is not None:
        e.append(p_number("horizontalSpacing", hspacing))
    if vspacing is not None:
        e.append(p_number("verticalSpacing", vspacing))
    for cell in cells:
        row, col, it = cell[:3]
        i = _sub(e, "item", row=row, column=col)
        if len(cell) > 3:
            i.set("rowspan", str(cell[3]))
            i.set("colspan", str(cell[4]))
        i.append(it)
    return e


# ============================================================== the form ==

# -------------------------------------------------- header rows (rows 2, 3)

def device_row():
    return hbox(
        label("label_25", ""),
        plain_combo("comboBox_ComDevices", min_size(300, 0)),
        label("label_26", ""),
        button("connectButton", "Connect", min_size(100, 0), max_size(125, MAX)),
        hspace(),
        spacing=10)


def general_settings_2():
    # Never shown: fixed at 0 x 0.  Its layout must not raise that minimum.
    lay = grid([
        (0, 0, label("label_4", "Message Number")),
        (1, 0, plain_combo("Message_Number_2")),
        (0, 1, label("label_44", "Pedal Number")),
        (1, 1, plain_combo("Pedal_Number_2")),
        (1, 2, button("checkButton_2", "Check")),
    ], constraint="SetNoConstraint")
    return group("General_settings_2", "", lay,
                 min_size(0, 0), max_size(0, 0), style(GREY_PANEL_STYLE))


def settings_row():
    general = group("General_settings", "", grid([
        (0, 0, label("label_27", "Pedal Number")),
        (1, 0, combo("Pedal_Number")),
        (0, 1, label("label", "Message Number")),
        (1, 1, combo("Message_Number")),
        (0, 2, vspace(10)),
        (1, 2, button("checkButton", "Check", min_size(100, 0), max_size(125, MAX))),
        (0, 3, general_settings_2(), 2, 1),
    ], columnstretch=(1, 1, 1, 0), margins=(9, 0, 9, 0), vspacing=0),
        # The group has no title, so it needs no room for one: without the
        # title margin the padded Check button fits the 60 px.
        min_size(400, 60), max_size(400, MAX),
        style("#General_settings { margin-top: 0px; }"))
    return hbox(
        general,
        label("label_84", "TextLabel"),
        hspace(),
        label("label_ico", "", min_size(155, 0), max_size(155, MAX), style(LABEL_ICO_STYLE)))


# ---------------------------------------------------- expression / hi-hat

# (page, group, event, channel, first caption, first field, min, max, gain, curve)
# A first field given as ("label", name) is an empty placeholder label; the
# first caption is then the name of an empty label too.
EXPRESSION_PAGES = [
    ("page_7", "groupBox_5", "expression_comboBox0", "expression_cc_comboBox_chl",
     "Controller No.", "expression_cc_comboBox_ctl",
     "expression_cc_comboBox_valmin", "expression_cc_comboBox_valmax",
     "expression_cc_comboBox_gain", "expression_cc_comboBox_ql"),
    ("page_6", "groupBox_6", "expression_comboBox1", "expression_note_comboBox_chl",
     "Note No.", "expression_note_comboBox_ctl",
     "expression_note_comboBox_valmin", "expression_note_comboBox_valmax",
     "expression_note_comboBox_gain", "expression_note_comboBox_ql"),
    ("page_5", "groupBox_7", "expression_comboBox2", "expression_pitch_comboBox_chl",
     ("label_137",), ("label", "label_114"),
     "expression_pitch_comboBox_valmin", "expression_pitch_comboBox_valmax",
     "expression_pitch_comboBox_gain", "expression_pitch_comboBox_ql"),
    ("page_8", "groupBox_8", "expression_comboBox3", "expression_ch_comboBox_chl",
     ("label_139",), ("label", "label_113"),
     "expression_ch_comboBox_val1", "expression_ch_comboBox_val2",
     "expression_ch_comboBox_gain", "expression_ch_comboBox_ql"),
]

HAT_PAGES = [
    ("page_12", "groupBox_12", "hat_comboBox0", "hat_cc_comboBox_chl",
     "Controller No.", "hat_cc_comboBox_ctl",
     "hat_cc_comboBox_valmin", "hat_cc_comboBox_valmax",
     "hat_cc_comboBox_gain", "hat_cc_comboBox_ql"),
    ("page_13", "groupBox_13", "hat_comboBox1", "hat_note_comboBox_chl",
     "Note No.", "hat_note_comboBox_ctl",
     "hat_note_comboBox_valmin", "hat_note_comboBox_valmax",
     "hat_note_comboBox_gain", "hat_note_comboBox_ql"),
]


def analog_event_page(row):
    page, grp, event, chl, first_cap, first, vmin, vmax, gain, curve = row
    if isinstance(first_cap, tuple):
        cap = label(first_cap[0], "")
    else:
        cap = label(None, first_cap)
    field = label(first[1], "") if isinstance(first, tuple) else combo(first)
    head = grid([
        (0, 0, label(None, "Event")),
        (1, 0, combo(event)),
        (0, 1, label(None, "MIDI Channel")),
        (1, 1, combo(chl)),
    ], columnstretch=(3, 1), vspacing=2)
    fields = grid([
        (0, 0, cap),
        (1, 0, field),
        (0, 1, label(None, "Value Range    "), 1, 2),
        (1, 1, label(None, "Min ")),
        (1, 2, combo(vmin)),
        (2, 1, label(None, "Max ")),
        (2, 2, combo(vmax)),
        (3, 1, label(None, "Gain ")),
        (3, 2, combo(gain)),
        (4, 1, label(None, "Curve")),
        (4, 2, combo(curve)),
    ], columnstretch=(3, 0, 1), vspacing=4)
    body = hbox(hspace(10), vbox(head, fields, vspace(0), spacing=8), hspace(10),
                stretch=(1, 2, 1), margins=(4, 6, 4, 4))
    return widget("QWidget", page, layout=vbox(group(grp, "", body), margins=0))


def curve_area(area, plot, value_cap, top_cap, position_cap, corner_cap, percent_cap):
    cell = widget("QWidget", plot, min_size(180, 160), style(PLOT_STYLE))
    lay = grid([
        (0, 1, label(value_cap, " Value")),
        (1, 0, label(top_cap, "127", p_set("alignment", "Qt::AlignRight|Qt::AlignTop"))),
        (1, 1, cell),
        (1, 2, label(position_cap, "Position",
                     p_set("alignment", "Qt::AlignLeading|Qt::AlignLeft|Qt::AlignBottom"))),
        (2, 0, label(corner_cap, "Widget")),
        (2, 1, label(percent_cap, "                      100%")),
    ], rowstretch=(0, 1, 0), columnstretch=(0, 1, 0), margins=2, spacing=2)
    return container(area, lay, min_size(318, 200))


def trigger_group(name, fields, captions):
    cells = []
    for col, (f, c, t) in enumerate(zip(fields, captions,
                                        ("Trigger Level", "Press Note", "Release Note"))):
        cells.append((0, col, label(c, t)))
        cells.append((1, col, combo(f)))
    return group(name, "", grid(cells, margins=(9, 6, 9, 6), vspacing=2))


def set_delete_row(set_name, delete_name):
    return hbox(hspace(),
                button(set_name, "Set", min_size(100, 0)),
                button(delete_name, "Delete", min_size(100, 0)),
                hspace())


def analog_settings_column(column, settings_group, stack, pages, stack_props, area,
                           trigger, buttons):
    stack_w = widget("QStackedWidget", stack, *stack_props,
                     pages=[analog_event_page(p) for p in pages])
    settings = group(settings_group, "", vbox(stack_w, margins=(2, 2, 2, 2)))
    return container(column, vbox(
        settings,
        hbox(hspace(0), area, hspace(0), stretch=(1, 6, 1)),
        vbox(trigger, set_delete_row(*buttons), spacing=4),
        stretch=(6, 8, 1), margins=6, spacing=4))


# ------------------------------------------------------------------ switch

# (page, group, event, channel, first caption, first field, mode,
#  range caption, min caption, max caption, min, max)
SWITCH_PAGES = [
    ("page_9", "groupBox_9", "switch_comboBox0", "switch_cc_comboBox_chl",
     "Controller No.", "switch_cc_comboBox_ctl", "switch_cc_comboBox_mode",
     "Value Range", "label_49", "label_48",
     "switch_cc_comboBox_valmin", "switch_cc_comboBox_valmax"),
    ("page_10", "groupBox_10", "switch_comboBox1", "switch_note_comboBox_chl",
     "Note No.", "switch_note_comboBox_nno", "switch_note_comboBox_mode",
     "Value Range", "label_80", "label_79",
     "switch_note_comboBox_valmin", "switch_note_comboBox_valmax"),
    ("page_11", "groupBox_11", "switch_comboBox2", "switch_pc_comboBox_chl",
     None, None, "switch_pc_comboBox_mode",
     "PC No.", "label_112", "label_135",
     "switch_pc_comboBox_valmin", "switch_pc_comboBox_valmax"),
    ("page_2", "groupBox_14", "switch_comboBox3", None, None, None,
     "switch_stop_comboBox_mode", None, None, None, None, None),
    ("page_14", "groupBox_15", "switch_comboBox4", None, None, None,
     "switch_ctu_comboBox_mode", None, None, None, None, None),
    ("page_15", "groupBox_18", "switch_comboBox5", None, None, None,
     "switch_start_comboBox_mode", None, None, None, None, None),
    ("page_16", "groupBox_19", "switch_comboBox6", None, None, None,
     "switch_tempo_comboBox_mode", None, None, None, None, None),
]


def switch_event_page(row):
    (page, grp, event, chl, first_cap, first, mode,
     range_cap, min_cap, max_cap, vmin, vmax) = row
    left = [label(None, "Event"), combo(event)]
    if chl:
        left += [label(None, "MIDI Channel"), combo(chl)]
    if first:
        left += [label(None, first_cap), combo(first)]
    right = [label(None, "Trigger Mode"), combo(mode)]
    if range_cap:
        right += [label(None, range_cap), grid([
            (0, 0, label(min_cap, "Min")),
            (0, 1, label(max_cap, "Max")),
            (1, 0, combo(vmin)),
            (1, 1, combo(vmax)),
        ], columnstretch=(1, 1), vspacing=2)]
    if not chl:
        left.append(label(None, ""))
        right.append(label(None, ""))
    body = hbox(hspace(20), vbox(*left, vspace(0), spacing=4), hspace(10),
                vbox(*right, vspace(0), spacing=4), hspace(20),
                stretch=(2, 4, 1, 4, 2), margins=(4, 6, 4, 4))
    return widget("QWidget", page, layout=vbox(group(grp, "", body), margins=0))


def switch_settings_column():
    stack = widget("QStackedWidget", "switch_stackedWidget",
                   p_number("currentIndex", 5),
                   pages=[switch_event_page(p) for p in SWITCH_PAGES])
    settings = group("Switch_Pedal_Setting_2", "", vbox(stack, margins=(2, 2, 2, 2)))
    return container("widget_19", vbox(
        settings, set_delete_row("setButton_9", "pushButton_3"),
        margins=6, spacing=4))


# ----------------------------------------------------------------- monitor

def table_header(name, title_cap, caps, spare):
    row = hbox(*[label(n, t, centred()) for n, t in caps], label(spare, ""),
               stretch=(5, 5, 5, 5, 1), spacing=0)
    return container(name, vbox(label(title_cap, "Pedal MIDI Data", centred()), row,
                                margins=0, spacing=2))


def monitor_column(type_cap, type_combo, evert, picture, header, table, only_current,
                   clear, extra_check=None):
    type_row = hbox(
        hbox(label(type_cap, "Pedal Type  "), combo(type_combo, min_size(190, 0)), hspace(0)),
        check(evert, "Evert"),
        stretch=(4, 1))
    bottom = [check(only_current, "Show only current message number",
                    p_enum("layoutDirection", "Qt::RightToLeft"))]
    if extra_check:
        bottom.append(check(extra_check, "test"))
    bottom += [hspace(), button(clear, "Clear", min_size(100, 0))]
    return vbox(
        type_row,
        container(picture),
        table_header(*header),
        widget("QTableView", table, min_size(410, 0), style(TABLE_STYLE)),
        hbox(*bottom),
        stretch=(0, 3, 1, 5, 0), spacing=4)


# ------------------------------------------------------------ pedal pages

def expression_page():
    left = analog_settings_column(
        "widget_20", "Switch_Pedal_Setting", "expression_stackedWidget", EXPRESSION_PAGES,
        (p_number("currentIndex", 0),),
        curve_area("widget_8", "widget_13", "label_126", "label_125", "label_127",
                   "label_124", "label_123"),
        trigger_group("groupBox_2",
                      ("expression_trigger_level", "expression_press_note",
                       "expression_release_note"),
                      ("label_37", "label_38", "label_39")),
        ("setButton_6", "pushButton"))
    right = monitor_column("label_2", "pendal_type_comboBox0", "ex_Evert_checkBox", "widget_4",
                           ("widget_9", "label_148",
                            [("label_149", "Event"), ("label_150", "No."),
                             ("label_151", "Value"), ("label_152", "Channel")], "label_120"),
                           "tableView", "checkBox_ex", "clearButton", extra_check="test")
    return widget("QWidget", "page_3",
                  layout=hbox(left, right, stretch=(1, 1), margins=0, spacing=6))


def switch_page():
    right = monitor_column("label_12", "pendal_type_comboBox1", "sw_Evert_checkBox", "widget_5",
                           ("widget_11", "label_153",
                            [("label_154", "Event"), ("label_155", "No."),
                             ("label_156", "Value"), ("label_157", "Channel")], "label_121"),
                           "tableView_2", "checkBox_sw", "clearButton_2")
    return widget("QWidget", "page_4",
                  layout=hbox(switch_settings_column(), right, stretch=(1, 1),
                              margins=0, spacing=6))


def hat_page():
    left = analog_settings_column(
        "widget_18", "Switch_Pedal_Setting_3", "hat_stackedWidget", HAT_PAGES,
        (min_size(380, 0), p_number("currentIndex", 1)),
        curve_area("widget_10", "widget_14", "label_131", "label_129", "label_132",
                   "label_128", "label_130"),
        trigger_group("groupBox_16",
                      ("hat_trigger_level", "hat_press_note", "hat_release_note"),
                      ("label_104", "label_105", "label_106")),
        ("setButton_7", "pushButton_2"))
    right = monitor_column("label_14", "pendal_type_comboBox2", "ht_Evert_checkBox", "widget_7",
                           ("widget_12", "label_158",
                            [("label_159", "Event"), ("label_160", "No."),
                             ("label_161", "Value"), ("label_162", "Channel")], "label_122"),
                           "tableView_3", "checkBox_ht", "clearButton_3")
    return widget("QWidget", "page",
                  layout=grid([(0, 0, left), (0, 1, right)], columnstretch=(1, 1),
                              margins=0, hspacing=6))


# ------------------------------------------------------------ legacy panel

def caption_grid(rows, **kw):
    """Rows of (caption, [combo names]) as a grid: caption, then the combos."""
    cells = []
    for r, (cap, boxes) in enumerate(rows):
        if cap is not None:
            cells.append((r, 0, label(None, cap)))
        for c, b in enumerate(boxes):
            cells.append((r, c + 1, plain_combo(b)))
    return grid(cells, **kw)


def legacy_panel():
    expression = vbox(
        label(None, "Expression Pedal Setting"),
        group("Expression_Pedal_Setting", "", caption_grid([
            ("STATUS", ["comboBox_EPS_status"]),
            ("DATA1 Range", ["comboBox_EPS_D1_1", "comboBox_EPS_D1_2"]),
            ("Gain", ["comboBox_EPS_Gain"]),
            ("DATA2 Range", ["comboBox_EPS_D2_1", "comboBox_EPS_D2_2"]),
        ])))
    switch = vbox(
        label(None, "Switch Pedal Setting"),
        caption_grid([
            ("STATUS", ["comboBox_SPS_status", "switch_status"]),
            ("MODE", ["comboBox_SPS_mode", "switch_mode"]),
            ("DATA1 Range", ["comboBox_SPS_D1_1", "comboBox_SPS_D1_2", "comboBox", "comboBox_2"]),
            ("DATA2 Range", ["comboBox_SPS_D2_1", "comboBox_SPS_D2_2", "comboBox_3", "comboBox_4"]),
        ]))
    general = vbox(
        caption_grid([
            ("MIDI Channel", ["MIDI_Channel"]),
            (None, ["Pedal_Type"]),
        ]),
        label(None, "Pedal MIDI Data"),
        button("openButton", "Open File"),
        button("saveButton", "Save File"),
        button("deleteButton", "Delete"))
    hat = vbox(
        label(None, "Hi-hat Setting"),
        caption_grid([
            ("STATUS", ["comboBox_HHS_status"]),
            ("DATA1", ["comboBox_HHS_DATA1"]),
            ("Trigger Level", ["comboBox_HHS_TL"]),
            ("Press Note", ["comboBox_HHS_PN"]),
            ("Gain", ["comboBox_HHS_Gain"]),
            ("DATA2 Range", ["comboBox_HHS_D2_1", "comboBox_HHS_D2_2"]),
            ("Release Note", ["comboBox_HHS_RN"]),
        ]))
    # Never shown: its layout must not raise the zero maximum height.
    return group("Hi_hat_Setting", "", hbox(expression, switch, general, hat,
                                            constraint="SetNoConstraint"),
                 max_size(MAX, 0))


# --------------------------------------------------------------- top level

def form():
    pedal_stack = widget("QStackedWidget", "pedal_type_stack", p_number("currentIndex", 0),
                         pages=[expression_page(), switch_page(), hat_page()])
    top = vbox(
        container("widget"),
        device_row(),
        settings_row(),
        pedal_stack,
        legacy_panel(),
        stretch=(1, 1, 2, 24, 1), margins=(None, 2, None, None))
    window = widget(
        "QWidget", "Widget",
        p_rect("geometry", 0, 0, 870, 690),
        min_size(870, 20),
        max_size(MAX, MAX),
        p_string("windowTitle", "Widget"),
        p_icon("windowIcon", ":/IMG/icon.ico"),
        style(WINDOW_STYLE),
        layout=top)

    ui = ET.Element("ui", {"version": "4.0"})
    _sub(ui, "class", "Widget")
    ui.append(window)
    res = _sub(ui, "resources")
    _sub(res, "include", location=QRC)
    _sub(ui, "connections")
    return ui


def reserve_explicit_names():
    """Every name written literally in this file is explicit; automatic names
    must never take one of them, whatever order the builders run in."""
    with open(__file__, encoding="utf-8") as f:
        source = f.read()
    RESERVED.update(re.findall(r'"((?:label|widget|groupBox|page|pushButton|comboBox)'
                               r'(?:_\d+)?)"', source))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("-o", "--output",
                        default=os.path.join(here, os.pardir, "app", "widget.ui"))
    args = parser.parse_args()

    reserve_explicit_names()
    ui = form()
    ET.indent(ui, space=" ")
    data = ('<?xml version="1.0" encoding="UTF-8"?>\n'
            + ET.tostring(ui, encoding="unicode") + "\n")
    with open(args.output, "w", encoding="utf-8", newline="\n") as f:
        f.write(data)
    print("wrote %s (%d object names)" % (os.path.normpath(args.output), len(NAMES.used)),
          file=sys.stderr)


if __name__ == "__main__":
    main()
