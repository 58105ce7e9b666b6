// Program entry: the about box as splash, the main window, the event loop.
#include "app/ui/K352Application.h"
#include "app/ui/TfrmAbout.h"
#include "app/ui/TfrmMain.h"
#include "link/WireLog.h"
#include "sim/PtyMeter.h"
#include "sim/SimCommands.h"

#include <QCommandLineParser>
#include <QScreen>
#include <QSocketNotifier>
#include <unistd.h>
#include <QTextStream>
#include <exception>
#include <memory>

namespace {
// The value of --lang (or --lang=VALUE) before the application exists: the language decides which
// of Qt's translations it loads. The parser checks the option again below.
QString langArgument(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--"))
            break;
        if (arg == QLatin1String("--lang") && i + 1 < argc)
            return QString::fromLocal8Bit(argv[i + 1]);
        if (arg.startsWith(QLatin1String("--lang=")))
            return arg.mid(7);
    }
    return QString();
}
} // namespace

int main(int argc, char *argv[])
{
    const std::optional<Language> language = chooseLanguage(langArgument(argc, argv), QLocale::system());
    K352Application app(argc, argv, language.value_or(Language::English));
    QCoreApplication::setApplicationName(QStringLiteral("k352_4"));
    QCoreApplication::setApplicationVersion(TfrmAbout::versionString());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Companion program of the kavor 352-4 sound level meter"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Serial device to try first (may be given more than once)."),
                                        QStringLiteral("PATH"));
    const QCommandLineOption demoOption(QStringLiteral("demo"),
                                        QStringLiteral("Start a simulated meter on a pseudo-terminal and use it."));
    const QCommandLineOption serviceOption(QStringLiteral("service"),
                                           QStringLiteral("Show the service items of the data logger menu."));
    const QCommandLineOption logWireOption(
        QStringLiteral("log-wire"),
        QStringLiteral("Append every byte read from and written to the serial port to FILE, as hexadecimal "
                       "with the date and time of each read and write."),
        QStringLiteral("FILE"));
    parser.addOption(portOption);
    parser.addOption(demoOption);
    const QCommandLineOption langOption(QStringLiteral("lang"),
                                        QStringLiteral("Language of the program: de or en (default: the system's)."),
                                        QStringLiteral("LANG"));
    parser.addOption(serviceOption);
    parser.addOption(logWireOption);
    parser.addOption(langOption);
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("Files to open (.rec, .ghf, .txt, .csv, .cap)."),
                                 QStringLiteral("[FILE...]"));
    parser.process(app);
    if (!language) {
        QTextStream(stderr) << "k352: unknown language \"" << parser.value(langOption) << "\" (de or en)\n";
        return 2;
    }
    if (parser.isSet(logWireOption) && !startWireLogFile(parser.value(logWireOption))) {
        QTextStream(stderr) << "k352: cannot write " << parser.value(logWireOption) << '\n';
        return 1;
    }

    // Declared before the main window so that it outlives the port that talks to it.
    std::unique_ptr<PtyMeter> demoMeter;
    std::unique_ptr<TfrmMain> mainWindow;
    try {
        TfrmMainOptions options;
        options.extraPorts = parser.values(portOption);
        options.serviceItems = parser.isSet(serviceOption);
        options.files = parser.positionalArguments();
        if (parser.isSet(demoOption)) {
            demoMeter = std::make_unique<PtyMeter>();
            if (demoMeter->start()) {
                options.extraPorts.prepend(demoMeter->slavePath());
            } else {
                QTextStream(stderr) << "k352: simulated meter not started: " << demoMeter->errorString() << '\n';
                demoMeter.reset();
            }
        }

        auto *splash = new TfrmAbout;
        splash->setAttribute(Qt::WA_DeleteOnClose);
        splash->showAsSplash();

        mainWindow = std::make_unique<TfrmMain>(options);
        mainWindow->setSplash(splash);
        // Fill the screen also where no window manager maximises the window.
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            mainWindow->setGeometry(screen->availableGeometry());
        mainWindow->showMaximized();
    } catch (const std::exception &e) {
        showMessage(nullptr, QMessageBox::Critical, QStringLiteral("Error"), QString::fromStdString(e.what()));
        return 1;
    }

    // The demo meter takes k352-sim's commands on standard input ("off", "on", "spell 85 10", ...),
    // so that a demonstration can show a lost meter or a loud spell. Nothing when stdin is empty.
    QByteArray stdinPending;
    std::unique_ptr<QSocketNotifier> stdinNotifier;
    if (demoMeter) {
        stdinNotifier = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
        QObject::connect(stdinNotifier.get(), &QSocketNotifier::activated, [&] {
            char buf[512];
            const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
            if (n <= 0) {
                stdinNotifier->setEnabled(false);
                return;
            }
            stdinPending.append(buf, n);
            for (qsizetype nl; (nl = stdinPending.indexOf('\n')) >= 0; stdinPending.remove(0, nl + 1))
                applySimCommand(*demoMeter, std::string_view(stdinPending.constData(), size_t(nl)));
        });
    }

    const int rc = app.exec();
    stdinNotifier.reset();
    mainWindow.reset();
    if (demoMeter)
        demoMeter->stop();
    return rc;
}
