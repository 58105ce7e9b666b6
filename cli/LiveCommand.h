#pragma once
// `k352-cli live`: samples the live level exactly as the real-time recording does and writes one
// line per sample as it is taken.
#include <QString>
#include <functional>

class CliLink;
struct TextSink;

struct LiveOptions {
    int count = 0;
    double interval = 1.0;
    QString outPath; // empty: standard output
};

// The line of a sample on standard output: "2026-12-09 14:03:07.250<TAB>54.4".
QString liveStdoutLine(double tdatetime, float level);

// Runs the sampling until the count is reached or stopRequested() turns true (checked while the
// loop runs). Each line goes out through write and is flushed at once. Returns the samples taken.
int runLiveSampling(CliLink &link, const LiveOptions &options, const std::function<bool(const QString &)> &write,
                    const std::function<bool()> &stopRequested);
