#pragma once
// The main window's data logger service commands, given the pieces the main window owns:
// RECALL1Click, EraseMemory1Click, Setup1Click and Cali1Click.
#include "link/LinkState.h"
#include "link/Clock.h"
#include "link/MeterLink.h"
#include "link/Timer.h"
#include "logger/SingleValuesRecall.h"
#include "logger/ui/RecallWindowUi.h"
#include "logger/ui/TfrmSetup.h"

#include <QPointer>

class QMdiArea;

struct ServicePieces {
    LinkState &state;
    MeterLink &link;     // its port is Comm1; its receive handler is re-attached after a recall
    Clock &clock;
    Timer &mainTimer;
    QMdiArea *workspace; // where the child windows go
    QWidget *parent;     // parent of message boxes and dialogs
};

// RECALL1Click: the single-values window kept in window (created when there is none).
SingleValuesRecall::Outcome runRecall(ServicePieces &p, QPointer<TfrmDataCapture> &window);
// EraseMemory1Click: refusal while recording, the question, 'e' on Comm1.
void runEraseMemory(ServicePieces &p);
// Setup1Click: the set-up window kept in window; brought back to normal size when it exists.
void openSetup(ServicePieces &p, QPointer<TfrmSetup> &window);
// Cali1Click.
void openCalibration(ServicePieces &p);
