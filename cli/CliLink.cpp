#include "cli/CliLink.h"

#include <cstdio>

namespace {
void printLine(const QString &text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
}
} // namespace

CliLink::CliLink() : m_session(std::make_unique<SystemClock>(), printLine)
{
    QObject::connect(&m_session, &MeterSession::statusChanged, [this](const QString &port, const QString &) {
        m_portName = port;
    });
    QObject::connect(&m_session, &MeterSession::notice, printLine);
}

CliLink::~CliLink()
{
    disconnect();
}
