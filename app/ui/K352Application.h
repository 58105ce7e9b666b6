#pragma once
// The application object: every event goes through notify(), which catches what a handler lets
// escape. A silent abort ends the running command without a word; any other exception is shown in
// a message box and the event loop goes on.
#include <QApplication>
#include <QMessageBox>
#include <QTranslator>
#include <functional>

class K352Application : public QApplication {
public:
    K352Application(int &argc, char **argv);
    ~K352Application() override;

    bool notify(QObject *receiver, QEvent *event) override;

    // Shows an error text to the user. While one such message is up, further ones are dropped, so
    // a handler that fails on every timer tick cannot stack up boxes.
    static void reportError(const QString &text);

    // Whether Qt's own German texts (file, print and page set-up dialogs, standard buttons) were
    // found and installed; the program runs in German whatever the system's language.
    bool qtTranslationsLoaded() const { return m_qtTranslationsLoaded; }

    // Where error texts go instead of a message box (tests).
    void setErrorReporter(std::function<void(const QString &)> reporter) { m_reporter = std::move(reporter); }

private:
    std::function<void(const QString &)> m_reporter;
    QTranslator m_qtTranslator;
    bool m_qtTranslationsLoaded = false;
};

// A message box with the German button and caption texts of the window tables. Returns the button
// the user chose.
QMessageBox::StandardButton showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &englishCaption,
                                        const QString &text,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// Tests answer message boxes here instead of the user: while a responder is set, showMessage()
// shows nothing and returns the responder's answer.
using MessageResponder = std::function<QMessageBox::StandardButton(const QString &text, QMessageBox::StandardButtons)>;
void setMessageResponder(MessageResponder responder);
