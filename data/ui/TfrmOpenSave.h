#pragma once
// The open choice dialog: what kind of file Open reads. Four stacked buttons; each ends the modal
// dialog with its result (1 collection, 7 single file, 9 capture file, 2 cancel).
#include "data/OpenSaveRules.h"

#include <QDialog>

class QPushButton;

class TfrmOpenSave : public QDialog {
    Q_OBJECT
public:
    explicit TfrmOpenSave(QWidget *parent = nullptr);

    // The texts of the Open command: caption, the two open buttons for the decimal separator
    // (commaDecimal: no CSV named), and the capture button shown.
    void prepareForOpen(bool commaDecimal);

    // The choice that a result of exec() stands for; closing the window counts as Cancel.
    static OpenChoice choiceOf(int result);

    QPushButton *btnOpenSets = nullptr;
    QPushButton *btnOpenSingleSet = nullptr;
    QPushButton *btnOpenCapture = nullptr;
    QPushButton *Button1 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QPushButton *addButton(const char *name, int top, int result);
};
