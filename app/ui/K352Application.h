#pragma once
// The application object: every event goes through notify(), which catches what a handler lets
// escape. A silent abort ends the running command without a word; any other exception is shown in
// a message box and the event loop goes on.
#include "app/Catalogue.h"

#include <QApplication>
#include <QMessageBox>
#include <QTranslator>
#include <functional>

class K352Application : public QApplication {
public:
    // Chooses the program's language for the whole run (see setActiveLanguage); tests get German
    // unless they ask for another.
    K352Application(int &argc, char **argv, Language language = Language::German);
    ~K352Application() override;

    bool notify(QObject *receiver, QEvent *event) override;

    // Shows an error text to the user. While one such message is up, further ones are dropped, so
    // a handler that fails on every timer tick cannot stack up boxes.
    static void reportError(const QString &text);

    // Whether Qt's own German texts (file, print and page set-up dialogs, standard buttons) were
    // found and installed; they are loaded only when the program runs in German.
    bool qtTranslationsLoaded() const { return m_qtTranslationsLoaded; }

    // Where error texts go instead of a message box (tests).
    void setErrorReporter(std::function<void(const QString &)> reporter) { m_reporter = std::move(reporter); }

private:
    std::function<void(const QString &)> m_reporter;
    QTranslator m_qtTranslator;
    bool m_qtTranslationsLoaded = false;
};

// A message box with the button and caption texts of the window tables in the active language. Returns the button
// the user chose.
QMessageBox::StandardButton showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &englishCaption,
                                        const QString &text,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// Tests answer message boxes here instead of the user: while a responder is set, showMessage()
// shows nothing and returns the responder's answer.
using MessageResponder = std::function<QMessageBox::StandardButton(const QString &text, QMessageBox::StandardButtons)>;
void setMessageResponder(MessageResponder responder);
