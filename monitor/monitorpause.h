#pragma once

#include <QString>
#include <QtGlobal>

/// The live monitor's Pause. While paused the tables stand still; frames keep
/// arriving and are counted, and the rows they make wait in the window's row
/// log (the newest of them, as many as a table holds). On resume the tables
/// take the rows that waited; those beyond a table's rows are dropped and
/// counted.
class MonitorPause
{
public:
    bool isPaused() const { return m_paused; }
    /// Starts a pause with its counts at 0; nothing while paused already.
    void pause();
    /// Ends the pause; returns how many waiting rows did not fit into a
    /// table of tableRows rows (0 when not paused).
    qint64 resume(int tableRows);

    /// A frame reached the monitor; counted while paused.
    void frameArrived()
    {
        if (m_paused)
            ++m_frames;
    }
    /// A row was made for the tables; it waits while paused.
    void rowMade()
    {
        if (m_paused)
            ++m_rows;
    }
    /// The tables were emptied: the waiting rows are gone, the counts restart
    /// and the note of a past drop goes.
    void cleared();

    /// Frames and rows since the pause (or the Clear during it).
    qint64 framesWhilePaused() const { return m_frames; }
    qint64 rowsWaiting() const { return m_rows; }
    /// Rows the last resume dropped, until the next pause or Clear.
    qint64 lastDropped() const { return m_dropped; }

    /// The note beside Pause: the frames counted while paused, the rows
    /// dropped by the last resume, or nothing.
    QString note() const;

private:
    bool m_paused = false;
    qint64 m_frames = 0;
    qint64 m_rows = 0;
    qint64 m_dropped = 0;
};
