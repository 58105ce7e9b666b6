#pragma once
// Options for a main window under test: no system ports scanned, no start-up connection.
#include "app/ui/TfrmMain.h"

inline TfrmMainOptions quietOptions()
{
    TfrmMainOptions o;
    o.systemPorts = false;
    o.startup = false;
    return o;
}
