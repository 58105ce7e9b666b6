#pragma once
// The range choice of the graph and table exports.
#include "data/TextUi.h"

struct RangeChoice {
    enum Status { Ok, Cancelled, NotInteger, Empty } status = Cancelled;
    qint64 start = 0, end = 0;  // 1-based, inclusive
    QString message;            // text to show for NotInteger and Empty
};

// Applies the rules to an entry of the range dialog for count rows or points.
RangeChoice chooseRange(const RangeEntry &entry, qint64 count);
// Runs the range dialog (caption, count) and applies the rules; shows the message on failure.
RangeChoice askRange(TextUi &ui, const QString &caption, qint64 count);
