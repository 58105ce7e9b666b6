#pragma once
// The information window shown while the link is prepared for a download: caption "Information",
// one line of text. Closing it frees it.
#include <QDialog>

class QLabel;

class TfrmInfo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInfo(QWidget *parent = nullptr);
    QLabel *Label1 = nullptr;
};
