#pragma once
// State that the link, the live display, the real-time recording and the logger commands share
// for the whole run.
#include "link/PortLoans.h"

#include <QByteArray>
#include <QString>

struct LinkState {
    bool Connected = false;
    // Set when the watchdog has declared the meter lost, cleared when it answers again: the data
    // logger commands are offered only while it is clear.
    bool MeterLost = false;
    bool FrameSeen = false;
    bool RxBusy = false;
    bool TimerBusy = false;
    bool MaxMinBusy = false;
    qint32 MissedTicks = 0;
    bool MeterRecording = false;
    bool RealTimeRunning = false;
    bool PanelRefresh = true;
    // Marks for data no file holds yet: the real-time recording and the downloaded data sets.
    bool RealTimeUnsaved = false;
    bool DownloadUnsaved = false;
    QByteArray CommandFrame = QByteArray("\x02K\0\0\0\0\0\x03", 8);
    QByteArray LoggerFrame = QByteArray("\x02\0\0\0\0\0\0\x03", 8);
    QByteArray RxBuffer;
    float SamplingInterval = 0.2f;
    QString DateSeparator;
    int DateOrder = 2;
    QString UserDataFolder;
    // Commands that hold the port away from the live link for a while.
    PortLoans Loans;
};
