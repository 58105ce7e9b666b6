#include "app/ui/K352Application.h"

#include "app/WindowTexts.h"
#include "link/SerialPort.h"

#include <QLibraryInfo>
#include <QPushButton>
#include <exception>

namespace {
bool g_reporting = false;

// The English label of a standard button, as the window tables key it.
QString englishButtonText(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Ok: return QStringLiteral("OK");
    case QMessageBox::Cancel: return QStringLiteral("Cancel");
    case QMessageBox::Yes: return QStringLiteral("&Yes");
    case QMessageBox::No: return QStringLiteral("&No");
    case QMessageBox::Abort: return QStringLiteral("&Abort");
    case QMessageBox::Retry: return QStringLiteral("&Retry");
    case QMessageBox::Ignore: return QStringLiteral("&Ignore");
    case QMessageBox::YesToAll: return QStringLiteral("Yes to &All");
    case QMessageBox::NoToAll: return QStringLiteral("N&o to All");
    case QMessageBox::Help: return QStringLiteral("&Help");
    default: return QString();
    }
}
} // namespace

K352Application::K352Application(int &argc, char **argv, Language language) : QApplication(argc, argv)
{
    setActiveLanguage(language);
    // From the Debian package qt6-translations-l10n; without it Qt's dialogs stay English.
    if (activeLanguage() == Language::German)
        m_qtTranslationsLoaded = m_qtTranslator.load(QStringLiteral("qtbase_de"),
                                                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))
                                 && installTranslator(&m_qtTranslator);
}

K352Application::~K352Application() = default;

bool K352Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const SilentAbort &) {
    } catch (const std::exception &e) {
        reportError(QString::fromStdString(e.what()));
    } catch (...) {
        reportError(messageText("UnknownError"));
    }
    return false;
}

void K352Application::reportError(const QString &text)
{
    if (g_reporting)
        return;
    g_reporting = true;
    struct Reset {
        ~Reset() { g_reporting = false; }
    } reset;
    auto *app = dynamic_cast<K352Application *>(QCoreApplication::instance());
    if (app && app->m_reporter)
        app->m_reporter(text);
    else
        showMessage(QApplication::activeWindow(), QMessageBox::Critical, QStringLiteral("Error"), text);
}

namespace {
MessageResponder g_responder;
}

void setMessageResponder(MessageResponder responder)
{
    g_responder = std::move(responder);
}

QMessageBox::StandardButton showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &englishCaption,
                                        const QString &text, QMessageBox::StandardButtons buttons)
{
    if (g_responder)
        return g_responder(text, buttons);
    QMessageBox box(icon, dlgText(englishCaption), text, buttons, parent);
    for (QAbstractButton *b : box.buttons()) {
        const QString english = englishButtonText(box.standardButton(b));
        if (!english.isEmpty())
            b->setText(dlgText(english));
    }
    return QMessageBox::StandardButton(box.exec());
}
