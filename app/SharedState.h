#pragma once
// State that the link, the live display and the logger commands share for the whole run.
#include "graph/GraphMarks.h"

#include <QByteArray>
#include <QString>

struct SharedState {
    bool Connected = false;
    bool FrameSeen = false;
    bool RxBusy = false;
    bool TimerBusy = false;
    bool MaxMinBusy = false;
    qint32 MissedTicks = 0;
    bool MeterRecording = false;
    bool RealTimeRunning = false;
    bool PanelRefresh = true;
    // Marks for data no file holds yet, shared by every graph window.
    bool RealTimeUnsaved = false;
    bool DownloadUnsaved = false;
    // The line cursors of the graph windows: point indexes into subset 0, one pair for all windows.
    qint32 CursorA = 0;
    qint32 CursorB = 0;
    // Set while a cursor line is being dragged with the mouse.
    bool DragA = false;
    bool DragB = false;
    // The click mode of the graph windows and the last annotation slot a mark took, one for all
    // graph windows.
    ClickMode GraphClickMode = ClickMode::Normal;
    qint32 LastAnnotation = GraphMarks::CounterAtStart;
    QByteArray CommandFrame = QByteArray("\x02K\0\0\0\0\0\x03", 8);
    QByteArray LoggerFrame = QByteArray("\x02\0\0\0\0\0\0\x03", 8);
    QByteArray RxBuffer;
    float SamplingInterval = 0.2f;
    QString DateSeparator;
    int DateOrder = 2;
    QString UserDataFolder;
};
