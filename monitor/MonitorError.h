#pragma once
// What went wrong with a monitoring file. The caller turns it into its message and exit code;
// every line written before it stays intact.
#include <QString>

struct MonitorError {
    enum class Kind {
        None,
        WriteFailed,   // the disk is full or the device refused the write
        FolderGone,    // the output folder or an open file was removed
        ForeignFile,   // a file of the program's name that the program did not write
    };
    Kind kind = Kind::None;
    QString path;
    QString detail;

    explicit operator bool() const { return kind != Kind::None; }
    QString message() const { return path + QStringLiteral(": ") + detail; }
};
