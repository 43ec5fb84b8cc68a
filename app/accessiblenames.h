#pragma once

#include <QString>

/// Names that screen readers announce for the main window's controls,
/// derived from the form's object names and the captions beside them.
namespace AccessibleNames {

/// The name for a control of the form, for example
/// "expression_cc_comboBox_valmin" -> "Expression CC Min"; empty for an
/// object name the form does not use for a control.
QString forObjectName(const QString &objectName);

} // namespace AccessibleNames
