#pragma once

class QUrl;
class QWidget;

/// Opens an address with the desktop's handler. When nothing takes it (no
/// browser or no handler for its scheme), a box shows the address, ready to
/// be selected and copied. Returns whether the desktop took it.
bool openExternalLink(QWidget *parent, const QUrl &url);
