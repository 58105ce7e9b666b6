#include "logger/ui/ServiceCommands.h"

#include "app/ui/K352Application.h"
#include "logger/LoggerSetup.h"
#include "logger/ui/TfrmCali.h"

#include <QCoreApplication>
#include <QMdiArea>

SingleValuesRecall::Outcome runRecall(ServicePieces &p, QPointer<TfrmDataCapture> &window)
{
    RecallWindowUi ui(window, p.workspace, p.parent);
    SingleValuesRecall recall(p.state, p.link.port(), p.clock, p.mainTimer, ui,
                              [] { QCoreApplication::processEvents(); });
    recall.setReceiveHandler(p.link.receiveHandler());
    return recall.RECALL1Click();
}

void runEraseMemory(ServicePieces &p)
{
    QWidget *parent = p.parent;
    eraseMemoryFromMenu(
        p.state, p.link,
        [parent](const QString &text) { showMessage(parent, QMessageBox::Information, QStringLiteral("Information"), text); },
        [parent](const QString &text) {
            return showMessage(parent, QMessageBox::Question, QStringLiteral("Confirm"), text,
                               QMessageBox::Yes | QMessageBox::No)
                   == QMessageBox::Yes;
        });
}

void openSetup(ServicePieces &p, QPointer<TfrmSetup> &window)
{
    if (window) {
        QWidget *frame = window->parentWidget() ? window->parentWidget() : window.data();
        frame->showNormal();
        frame->raise();
        return;
    }
    window = new TfrmSetup(p.state, p.link.port(), p.clock, p.mainTimer);
    if (p.workspace)
        window->addToWorkspace(p.workspace);
    else
        window->show();
}

void openCalibration(ServicePieces &p)
{
    openCalibrationDialog(p.state, p.link.port(), p.mainTimer, p.parent);
}
