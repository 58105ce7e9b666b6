#pragma once
// A LinkListener that remembers what the link reported, and the commands the window would offer
// after each change of the link.
#include "session/LinkControls.h"
#include "link/LinkListener.h"

#include <QMap>
#include <QStringList>

class RecordingView : public LinkListener {
public:
    explicit RecordingView(const LinkState &state) : m_state(state) {}

    QMap<Control, bool> enabled;
    QMap<Control, bool> visible;
    QString statusPort, statusState, diagnostics, splashStatus;
    QStringList notices;
    QStringList statusHistory;
    bool splash = false;
    bool panel = false;
    bool noConnectionShown = false;
    int connectedLookCount = 0;

    void linkChanged() override
    {
        for (Control c : AllLinkControls)
            enabled[c] = linkControlEnabled(c, m_state);
    }
    void loggerCommandsShown() override { visible[Control::DataLogger1] = visible[Control::btnDataLogger] = true; }
    void setStatus(const QString &port, const QString &state) override
    {
        statusPort = port;
        statusState = state;
        statusHistory << state;
    }
    void setDiagnostics(const QString &text) override { diagnostics = text; }
    void notice(const QString &text) override { notices << text; }
    void setSplashStatus(const QString &text) override
    {
        if (splash)
            splashStatus = text;
    }
    void closeSplash() override { splash = false; }
    void setPanelNoConnection(bool shown) override
    {
        if (panel)
            noConnectionShown = shown;
    }
    void setPanelConnectedLook() override
    {
        if (panel)
            ++connectedLookCount;
    }

private:
    const LinkState &m_state;
};
