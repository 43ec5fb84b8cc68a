#include "monitor/monitorpause.h"

#include <QCoreApplication>

void MonitorPause::pause()
{
    if (m_paused)
        return;
    m_paused = true;
    m_frames = 0;
    m_rows = 0;
    m_dropped = 0;
}

qint64 MonitorPause::resume(int tableRows)
{
    if (!m_paused)
        return 0;
    m_paused = false;
    m_dropped = qMax<qint64>(0, m_rows - qMax(0, tableRows));
    m_frames = 0;
    m_rows = 0;
    return m_dropped;
}

void MonitorPause::cleared()
{
    m_frames = 0;
    m_rows = 0;
    m_dropped = 0;
}

QString MonitorPause::note() const
{
    if (m_paused) {
        return m_frames == 1 ? QCoreApplication::translate("MonitorPause", "Paused: 1 frame")
                             : QCoreApplication::translate("MonitorPause", "Paused: %1 frames")
                                   .arg(m_frames);
    }
    if (m_dropped > 0)
        return QCoreApplication::translate("MonitorPause", "%1 dropped while paused").arg(m_dropped);
    return QString();
}
