#pragma once
// The about box: program name and version, with an OK button. At start-up the same window is the
// splash, without the OK button, and its bottom line reports the progress of the meter search.
#include <QDialog>

class QLabel;
class QPushButton;

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget *parent = nullptr);

    // Shows the box as the start-up splash: OK hidden, on top, centred, painted before returning.
    void showAsSplash();
    // The splash status line (Label4), repainted at once (the search runs without an event loop).
    void setStatus(const QString &text);
    QString status() const;

    // The program's version string, empty when it is not known.
    static QString versionString();

private:
    void BitBtn1Click();
    void centreOnScreen();

    QLabel *m_label1;
    QLabel *m_label2;
    QLabel *m_label3;
    QLabel *m_label4;
    QPushButton *m_bitBtn1;
};
