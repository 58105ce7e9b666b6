#pragma once
// What the memory download needs from the windows: the information window while the link is
// prepared, the transfer progress window, message boxes and confirmations, and the data-set graph
// window. Windows implement it; tests script it. Nothing here blocks on its own.
#include <QList>
#include <QString>

class LoggerUi {
public:
    enum class Button { Ok, Cancel, Retry };

    virtual ~LoggerUi() = default;

    // Information window "Information" with "Vorbereitung zum Laden..."; closing frees it.
    virtual void showPreparing() = 0;
    virtual void closePreparing() = 0;

    // Transfer progress window (a new range and progress window each time): caption, range 0 to
    // total, position 0, lblTotalBytes = total, lblBytesReceived = "0", SText1/SText2 visible.
    virtual void openProgress(const QString &caption, int total) = 0;
    // lblBytesReceived and the position of Progress1.
    virtual void setProgress(int received) = 0;
    // Repaint the progress window now (the transfer processes no other window events).
    virtual void refreshProgress() = 0;
    virtual void closeProgress() = 0;

    // Message box with one text.
    virtual void message(const QString &text) = 0;
    // Confirmation dialog with the given buttons; returns the one pressed.
    virtual Button confirm(const QString &text, const QList<Button> &buttons) = 0;

    // Make sure the data-set graph window exists (restoring it to normal state when it does);
    // true when it was created just now.
    virtual bool prepareDataSetWindow() = 0;
    // A parse succeeded: fill the data-set list (dataSetListRows) and show set 0 (ShowDataSet).
    virtual void dataSetsLoaded() = 0;
    // Set the mark that the data-set graph window asks about when it closes.
    virtual void setDownloadUnsaved() = 0;
};
