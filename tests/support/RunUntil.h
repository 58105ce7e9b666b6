#pragma once
// Runs the event loop until a condition holds or the time is up; returns the condition.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

inline bool runUntil(const std::function<bool()> &cond, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!cond() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return cond();
}
