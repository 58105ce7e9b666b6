#pragma once
// `k352-cli live`: samples the live level exactly as the real-time recording does and writes one
// line per sample as it is taken: on standard output in ISO 8601 with a point, into a file in the
// program's graph text format.
#include "app/TDateTime.h"

#include <QString>
#include <functional>

class CliLink;
class QIODevice;

// Takes one sample; false when it could not be written, which ends the sampling.
using LiveSink = std::function<bool(TDateTime t, float level)>;

struct LiveOptions {
    int count = 0;
    double interval = 1.0;
    QString outPath; // empty: standard output
};

// The line of a sample on standard output: "2026-12-09 14:03:07.250<TAB>54.4".
QString liveStdoutLine(double tdatetime, float level);

// Lines of the graph text file on an open device (tab or comma as separator, CR LF, the regional
// settings of the default locale), each flushed as it is written.
LiveSink graphTextSink(QIODevice &device, char separator);

// Runs the sampling until the count is reached or stopRequested() turns true (checked while the
// loop runs). Each sample goes to sink the moment it is taken. Returns the samples taken, or -1
// when the sink failed.
int runLiveSampling(CliLink &link, const LiveOptions &options, const LiveSink &sink,
                    const std::function<bool()> &stopRequested);
