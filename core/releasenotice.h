#pragma once

class QWidget;

/// The box telling that this release is the latest, with a link to the
/// maker's site that opens in the browser and can be used from the keyboard.
/// Modal; returns when it is closed.
void execLatestReleaseNotice(QWidget *parent);
