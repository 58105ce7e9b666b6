#pragma once
// A LinkView that remembers what the link did to the screen.
#include "link/LinkView.h"

#include <QMap>
#include <QStringList>

class RecordingView : public LinkView {
public:
    QMap<Control, bool> enabled;
    QMap<Control, bool> visible;
    QString statusPort, statusState, diagnostics, splashStatus;
    QStringList notices;
    QStringList statusHistory;
    bool splash = false;
    bool panel = false;
    bool noConnectionShown = false;
    int connectedLookCount = 0;
    bool rtWindow = false;

    void setControlEnabled(Control c, bool on) override { enabled[c] = on; }
    void setControlVisible(Control c, bool on) override { visible[c] = on; }
    void setStatus(const QString &port, const QString &state) override
    {
        statusPort = port;
        statusState = state;
        statusHistory << state;
    }
    void setDiagnostics(const QString &text) override { diagnostics = text; }
    void portListChanged() override {}
    void notice(const QString &text) override { notices << text; }
    bool splashOpen() const override { return splash; }
    void setSplashStatus(const QString &text) override { splashStatus = text; }
    void closeSplash() override { splash = false; }
    bool panelOpen() const override { return panel; }
    void setPanelNoConnection(bool shown) override { noConnectionShown = shown; }
    void setPanelConnectedLook() override { ++connectedLookCount; }
    bool realTimeWindowExists() const override { return rtWindow; }
};
