// The table window with a large graph text file: reading 100,000 and 1,000,000 lines into the
// window's model, showing the window, and turning the table into graph arrays; time per step,
// memory of the grid and of the process, and the growth between the two sizes.
#include "data/GraphTextFile.h"
#include "tables/TextGridModel.h"
#include "tables/ui/TfrmList.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

namespace {

void print(const char *name, double value, const char *unit, int decimals = 3)
{
    const QByteArray line = QByteArray(name) + ": " + QByteArray::number(value, 'f', decimals) + ' ' + unit + '\n';
    std::fputs(line.constData(), stdout);
    std::fflush(stdout);
}

// Resident memory of the process in MB.
double residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

void writeFile(const QString &name, qint64 n)
{
    std::vector<TDateTime> x(static_cast<size_t>(n));
    std::vector<float> y(static_cast<size_t>(n));
    for (qint64 i = 0; i < n; ++i) {
        x[size_t(i)] = 40543.5 + double(i) / 86400.0 * 0.5;
        y[size_t(i)] = 40.0f + float(i % 900) / 10.0f;
    }
    UnattendedTextUi ui;
    exportGraphText(ui, name, x.data(), y.data(), n, '\t');
}

struct Figures {
    double read = 0, show = 0, convert = 0, gridMb = 0, windowMb = 0;
    size_t points = 0;
};

Figures run(const QString &name)
{
    Figures f;
    const double before = residentMb();
    QElapsedTimer t;
    t.start();
    TfrmList *list = TfrmList::readTextFile(name, '\t');
    f.read = double(t.nsecsElapsed()) / 1e9;
    f.gridMb = double(list->grid()->memoryBytes()) / 1e6;

    t.restart();
    list->show();
    QCoreApplication::processEvents();
    f.show = double(t.nsecsElapsed()) / 1e9;
    f.windowMb = residentMb() - before;

    list->outputToGraph = [&](const TableGraph &graph, const QString &) { f.points = graph.xs.size(); };
    t.restart();
    list->btnOutputToGraphClick();
    f.convert = double(t.nsecsElapsed()) / 1e9;
    delete list;
    return f;
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A point before the milliseconds converts where the decimal separator is a point.
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    QTemporaryDir dir;
    const QString smallName = dir.filePath(QStringLiteral("s.txt"));
    const QString largeName = dir.filePath(QStringLiteral("l.txt"));
    writeFile(smallName, 100000);
    writeFile(largeName, 1000000);

    const Figures s = run(smallName);
    const Figures l = run(largeName);
    print("table_read_100k", s.read, "s");
    print("table_read_1M", l.read, "s");
    print("table_read_growth_1M_over_100k", l.read / s.read, "ratio", 2);
    print("table_show_100k", s.show, "s");
    print("table_show_1M", l.show, "s");
    print("table_to_graph_100k", s.convert, "s");
    print("table_to_graph_1M", l.convert, "s");
    print("table_to_graph_growth_1M_over_100k", l.convert / s.convert, "ratio", 2);
    print("table_to_graph_points_1M", double(l.points), "points", 0);
    print("table_grid_memory_100k", s.gridMb, "MB", 1);
    print("table_grid_memory_1M", l.gridMb, "MB", 1);
    print("table_window_resident_growth_1M", l.windowMb, "MB", 1);
    return 0;
}
