#pragma once
// The entry of a text note: a prompt, one line and OK or Cancel; no caption, modal, on top.
#include <QDialog>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

class TfrmAnnoEdit : public QDialog {
public:
    explicit TfrmAnnoEdit(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;

    // Shows the dialog modally: the text after OK (possibly empty), nullopt after Cancel.
    static std::optional<QString> askText(QWidget *parent);
};
