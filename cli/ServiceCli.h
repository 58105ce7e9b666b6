#pragma once
// The service commands of k352-cli (recall, info, set-clock, set-interval, erase): options,
// connection and output, so the tool's main only dispatches.
#include <QString>
#include <QStringList>

class CliLink;

// Their lines of the help text.
extern const char *const kServiceHelp;

bool isServiceCommand(const QString &command);
// Runs one of them: parses its options, connects to the meter (the given port, or a search) and
// returns the exit code.
int runServiceCommand(const QString &command, const QString &port, const QStringList &args);
// Keeps LinkState::MeterRecording up to date from the live frames (the tool has no decoder).
void trackMeterRecording(CliLink &cli);
// Connects to the meter (the given port, or a search) with the recording mark followed from the
// first live frame of the connection on, so a refusal never depends on a later frame. False when
// no meter answers.
bool connectTrackingRecording(CliLink &cli, const QString &port);
