#pragma once
// What the live link reports as it happens. Every report does nothing by default, so a listener
// takes only what it shows; the meter session turns them into its signals.
#include <QString>

class LinkListener {
public:
    virtual ~LinkListener() = default;

    // The connection was made, lost or taken up again: LinkState's Connected and MeterLost.
    virtual void linkChanged() {}
    // The data logger commands are to be shown (once the start-up or a late handshake is done).
    virtual void loggerCommandsShown() {}
    // Status: the port name and the connection state.
    virtual void setStatus(const QString &port, const QString &state) { (void)port; (void)state; }
    // Diagnostics: checksum failures "/" candidate frames.
    virtual void setDiagnostics(const QString &text) { (void)text; }
    // The port list's entries or selection changed.
    virtual void portListChanged() {}
    // A one-time notice to the user (for example a port that may not be opened).
    virtual void notice(const QString &text) { (void)text; }
    // Progress of the start-up search, and its end.
    virtual void setSplashStatus(const QString &text) { (void)text; }
    virtual void closeSplash() {}
    // The live display's "no connection" mark, and its connected look (base artwork hidden, REC
    // text empty, clock shown).
    virtual void setPanelNoConnection(bool shown) { (void)shown; }
    virtual void setPanelConnectedLook() {}
};
