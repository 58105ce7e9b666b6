#pragma once
// The question whether the look of a confirmed chart customisation is kept as the template of new
// charts: "&Ja" closes with OK (Accepted), "Nein" with No; modal, on top.
#include <QDialog>

class QLabel;
class QPushButton;

class TfrmYesNo : public QDialog {
public:
    static constexpr int ResultNo = 7;

    explicit TfrmYesNo(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QPushButton *btnYes = nullptr;
    QPushButton *btnNo = nullptr;

    // Shows the question modally; true for "&Ja".
    static bool ask(QWidget *parent);
};
