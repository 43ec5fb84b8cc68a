#pragma once

#include <QString>

/// What the editor does when a range, gain or curve selector changes: the
/// check that keeps a page's minimum from passing its maximum, and which
/// values go to the page's response curve. Selectors are named by their
/// object names; no widgets here.
namespace RangeRules {

/// How a refused choice is put back.
enum class PutBack {
    OwnToZero,     ///< the refused minimum goes to 0
    OwnToLast,     ///< the refused maximum goes back to the last maximum it accepted
    MinimumToZero, ///< the refused maximum stays; the page's minimum goes to 0
};

struct Check {
    QString selector;
    bool isMinimum;  ///< refused when above the other end; a maximum when below it
    QString title;
    bool chineseText; ///< the warning's text: chineseText() or englishText()
    PutBack putBack;
    bool blocked;    ///< the put-back runs with the selector's signals blocked
};

QString englishText();
QString chineseText();

/// The check of a selector, or nullptr when its choices are never refused.
const Check *checkFor(const QString &selector);
/// Equal ends are accepted.
bool refuses(const Check &check, int newIndex, int otherEnd);

/// One of the four curve settings.
enum Setting : unsigned {
    Minimum = 1,
    Maximum = 2,
    Gain = 4,     ///< selector index - 50
    Curvature = 8, ///< selector index - 50
};

/// What an accepted change passes to its page's curve: the changed
/// selector's own setting, and settings read from the page's other selectors.
struct Pass {
    QString selector;
    bool hiHat;        ///< the hi-hat curve, else the expression curve
    Setting own;
    unsigned fromPage; ///< Setting bits
    /// The hi-hat curve is created by this pass when the expression curve
    /// exists and the hi-hat curve does not; other passes need their curve.
    bool createsHiHat;
};

/// The pass of a selector, or nullptr when it passes nothing (switch pages).
const Pass *passFor(const QString &selector);

/// Every check and every pass, for tests.
const QList<Check> &checks();
const QList<Pass> &passes();

} // namespace RangeRules
