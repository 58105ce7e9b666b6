#pragma once
// The journal of a real-time recording: every sample is appended to a file in the user's data
// folder as it is taken (flushed at once, synced to the disk about once a second), so that a
// recording survives a crash or a power cut. A recording that is saved or discarded takes its
// journal with it; one found at the next start is a recording that was lost.
//
// The file: the header line "time,level,rate,count", then one line per sample with the local time
// in ISO 8601 with milliseconds, the level with a point, the sampling rate in seconds and the
// number of values asked for, e.g. "2026-12-09T14:03:07.250,54.4,0.2,2000".
#include "app/TDateTime.h"
#include "realtime/RealTimeRecorder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <optional>
#include <vector>

// A recording read back from its journal.
struct JournalRecording {
    float rate = 0.2f;
    int count = 0;              // the number of values asked for
    std::vector<TDateTime> x;   // sample times
    std::vector<float> y;       // levels
};

class RecordingJournal : public RealTimeJournal {
public:
    static inline const QByteArray Header = QByteArrayLiteral("time,level,rate,count");

    explicit RecordingJournal(QString path) : m_path(std::move(path)) {}
    ~RecordingJournal() override;

    const QString &path() const { return m_path; }

    // RealTimeJournal.
    void begin(float rate, int count) override;
    void add(TDateTime t, float level) override;
    void discard() override;

    // The recording in the journal at path; none when there is no such file, it is not a journal
    // or it holds no sample. A torn last line is left out.
    static std::optional<JournalRecording> read(const QString &path);

private:
    void sync();

    QString m_path;
    QFile m_file;
    QByteArray m_suffix; // ",rate,count"
    QElapsedTimer m_sinceSync;
    bool m_dirty = false;
};
