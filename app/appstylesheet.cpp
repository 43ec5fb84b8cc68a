#include "app/appstylesheet.h"

#include "app/themecolours.h"

#include <QColor>
#include <QLatin1String>

QString applicationStyleSheet()
{
    QString sheet = QStringLiteral(R"(
QWidget {
    background-color: @window;
    font-size: 10pt;
    font-family: "Arial";
    color: @text;
}
QPushButton {
    background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 @buttonTop, stop:1 @buttonBottom);
    border: 2px solid #444444;
    border-radius: 6px;
    color: @text;
    padding: 6px 10px;
}
QPushButton:hover {
    background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 @gold, stop:1 #8A6F33);
    color: @selectionText;
    border: 2px solid @hoverBorder;
}
QPushButton:pressed {
    background-color: qlineargradient(x1:0, y1:1, x2:0, y2:0, stop:0 #1E1E1E, stop:1 #333333);
    border: 2px solid #333333;
    color: @text;
    padding-top: 8px;
    padding-bottom: 4px;
}
QLabel {
    font-size: 10pt;
    color: @gold;
    background: transparent;
    border: none;
}
QSlider::groove:horizontal {
    background: #555555;
    height: 6px;
    border-radius: 3px;
}
QSlider::handle:horizontal {
    background: @gold;
    border: 2px solid #666666;
    width: 12px;
    border-radius: 6px;
}
QGroupBox {
    background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 @groupTop, stop:1 @groupBottom);
    border: 0px;
    border-radius: 10px;
    margin-top: 10px;
}
QGroupBox::title {
    subcontrol-origin: margin;
    subcontrol-position: top center;
    padding: 0 5px;
    color: @gold;
    font-size: 10pt;
}
QComboBox:focus {
    border: 2px solid #574d46;
    background-color: @focusBackground;
}
QComboBox::drop-down {
    background: transparent;
    border: none;
}
QComboBox QAbstractItemView {
    background-color: @window;
    color: @text;
    selection-background-color: @gold;
    selection-color: @selectionText;
}
#groupBox_5, #groupBox_6, #groupBox_7, #groupBox_8, #groupBox_12, #groupBox_13 {
    border: none;
}
#widget_18, #widget_19, #widget_20 {
    border: 2px solid @gold;
    border-radius: 6px;
}
#Switch_Pedal_Setting_2 {
    background: transparent;
}
QMenu::item:selected {
    background-color: @gold;
    color: @selectionText;
}
QMenu::separator {
    height: 1px;
    background: #444444;
    margin: 5px;
}
QMenuBar::item:selected {
    background-color: #444444;
    color: @text;
}
QMenuBar::item:pressed {
    background-color: @gold;
    color: @selectionText;
}
QPushButton:focus, QComboBox:focus, QTableView:focus {
    border: 2px solid @hoverBorder;
}
QCheckBox:focus {
    border: 1px solid @hoverBorder;
    border-radius: 3px;
}
/* Popups as a list under the box rather than a menu over it: the list's
   window then takes the box's colours, shows ten rows (within the form's
   200 px) and scrolls with a scroll bar. */
QComboBox {
    combobox-popup: 0;
}
/* Few rules for scroll bars: each costs every scroll bar in the window time
   when the window is built. */
QComboBox QAbstractItemView QScrollBar:vertical {
    background: @well;
    width: 12px;
    border: none;
}
QComboBox QAbstractItemView QScrollBar::handle:vertical {
    background: @scrollHandle;
    border-radius: 3px;
    min-height: 24px;
    margin: 2px;
}
QComboBox QAbstractItemView QScrollBar::add-line:vertical,
QComboBox QAbstractItemView QScrollBar::sub-line:vertical {
    height: 0px;
    border: none;
    background: none;
}
QCheckBox::indicator {
    width: 10px;
    height: 10px;
    border: 2px solid @indicatorOutline;
    border-radius: 3px;
    background-color: @well;
}
QCheckBox::indicator:hover {
    border-color: @hoverBorder;
}
QCheckBox::indicator:checked {
    border-color: @gold;
    background-color: @gold;
    image: url(:/IMG/check.png);
}
/* Disabled controls: dimmer text, flat buttons. (Named one by one: a rule
   for every disabled widget slows the window's start.) */
QComboBox:disabled, QCheckBox:disabled, QLineEdit:disabled {
    color: @disabledText;
}
QPushButton:disabled {
    background-color: @disabledButton;
    border: 2px solid @disabledBorder;
    color: @disabledText;
}
QCheckBox::indicator:disabled {
    border-color: @disabledIndicator;
    background-color: @window;
}
QCheckBox::indicator:checked:disabled {
    background-color: @disabledIndicator;
}
)");
    // Longer names first, so that no name is replaced inside a longer one.
    static const struct
    {
        const char *name;
        QRgb colour;
    } colours[] = {
        {"@disabledIndicator", ThemeColours::disabledIndicator},
        {"@indicatorOutline", ThemeColours::indicatorOutline},
        {"@focusBackground", ThemeColours::focusBackground},
        {"@disabledButton", ThemeColours::disabledButton},
        {"@disabledBorder", ThemeColours::disabledBorder},
        {"@selectionText", ThemeColours::selectionText},
        {"@disabledText", ThemeColours::disabledText},
        {"@scrollHandle", ThemeColours::scrollHandle},
        {"@buttonBottom", ThemeColours::buttonBottom},
        {"@groupBottom", ThemeColours::groupBottom},
        {"@hoverBorder", ThemeColours::hoverBorder},
        {"@buttonTop", ThemeColours::buttonTop},
        {"@groupTop", ThemeColours::groupTop},
        {"@window", ThemeColours::window},
        {"@text", ThemeColours::text},
        {"@gold", ThemeColours::gold},
        {"@well", ThemeColours::well},
    };
    for (const auto &c : colours)
        sheet.replace(QLatin1String(c.name), QColor(c.colour).name());
    return sheet;
}
