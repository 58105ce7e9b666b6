#pragma once
// Acting on a modal dialog from a test: exec() blocks the caller, so a timer polls for it.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

// Runs act on the next modal dialog once it is shown.
inline void onNextModal(std::function<void(QWidget *)> act)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || !w->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act(w);
    });
    timer->start();
}
