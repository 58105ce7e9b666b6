#include "tables/TableToGraph.h"

#include "app/Catalogue.h"
#include "data/DateTimeText.h"

#include <string>

QString invalidDateTimeMessage(const QString &text)
{
    return QStringLiteral("'%1' is not a valid date and time").arg(text);
}

std::optional<TDateTime> rowDateTime(const TextGrid &grid, qint64 row, const RegionalFormat &format,
                                     std::string *text)
{
    std::string local;
    std::string &s = text ? *text : local;
    s.assign(grid.cellUtf8(1, row));
    s += ' ';
    s.append(grid.cellUtf8(2, row));
    return textToDateTime(s, format);
}

TableGraph convertTableToGraph(const TextGrid &grid, TextUi &ui, const RegionalFormat &format)
{
    TableGraph g;
    if (grid.cellEmpty(1, 1)) {
        g.status = TableGraph::NoData;
        g.message = LoadStr(83);
        ui.message(g.message);
        return g;
    }
    const qint64 n = grid.rowCount() - 1;

    std::string text;
    TDateTime *ends[2] = {&g.first, &g.last};
    const qint64 endRows[2] = {1, n};
    for (int k = 0; k < 2; ++k) {
        const std::optional<TDateTime> t = rowDateTime(grid, endRows[k], format, &text);
        if (!t) {
            g.status = TableGraph::BadEnds;
            g.message = invalidDateTimeMessage(QString::fromUtf8(text.data(), qsizetype(text.size())));
            ui.message(g.message);
            return g;
        }
        *ends[k] = *t;
    }

    g.xs.assign(size_t(n), 0.0);
    g.ys.assign(size_t(n), kTableNullLevel);

    ProgressSetup setup;
    setup.caption = LoadStr(84);
    setup.text = LoadStr(85);
    setup.total = n;
    setup.showCancel = false;
    setup.processEvents = true;
    ui.progressOpen(setup);

    g.status = TableGraph::Converted;
    for (qint64 i = 1; i <= n; ++i) {
        if (!ui.progressStep(i)) {
            g.status = TableGraph::Cancelled;
            break;
        }
        const std::optional<TDateTime> t = rowDateTime(grid, i, format, &text);
        if (!t)
            continue;
        g.xs[size_t(i - 1)] = *t;
        const std::optional<double> level = textToNumber(grid.cellUtf8(3, i), format);
        if (level)
            g.ys[size_t(i - 1)] = float(*level);
    }
    ui.progressClose();
    return g;
}
