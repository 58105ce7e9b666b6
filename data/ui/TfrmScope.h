#pragma once
// The range and progress window. One small dialog serves two uses, each with its own instance:
// the range dialog (the "Alle" / " Auswahl " choice with the two edits, OK and Cancel, modal) and
// the progress window (a bar, a status text and Cancel, shown without blocking the caller). All
// controls start hidden; a use shows the ones it needs. Cancel in a progress window only sets the
// result to 2; the caller reads it after each step and decides when to stop.
#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

class TfrmScope : public QDialog {
    Q_OBJECT
public:
    enum ScopeResult { ResultNone = 0, ResultOk = 1, ResultCancel = 2 };

    explicit TfrmScope(QWidget *parent = nullptr);

    // Shows the range controls with the edits set to "1" and count.
    void showRangeControls(qint64 count);
    // Shows the bar (when bar is set), SText1 and, when cancel is set, BitBtn2; the window keeps
    // running without a modal loop from here on.
    void showProgressControls(bool bar, bool cancel);
    bool progressUse() const { return m_progressUse; }

    QGroupBox *GroupBox1 = nullptr;
    QRadioButton *radAll = nullptr;
    QRadioButton *radNo = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *edtSelFrom = nullptr;
    QLineEdit *edtSelTo = nullptr;
    QPushButton *BitBtn1 = nullptr;
    QPushButton *BitBtn2 = nullptr;
    QProgressBar *Progress1 = nullptr;
    QLabel *SText1 = nullptr;
    QLabel *SText2 = nullptr;
    QLabel *lblBytesReceived = nullptr;
    QLabel *lblTotalBytes = nullptr;

public slots:
    // In a progress window, closing or Escape counts as Cancel and the window stays up until the
    // caller closes it.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void BitBtn1Click();
    void BitBtn2Click();
    bool m_progressUse = false;
    bool m_centred = false;
};
