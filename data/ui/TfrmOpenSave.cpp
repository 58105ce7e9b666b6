#include "data/ui/TfrmOpenSave.h"
#include "app/WindowTexts.h"

#include "app/Catalogue.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

TfrmOpenSave::TfrmOpenSave(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmOpenSave"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setModal(true);
    setFixedSize(359, 244);
    btnOpenSets = addButton("btnOpenSets", 16, int(OpenChoice::Collection));
    btnOpenSingleSet = addButton("btnOpenSingleSet", 64, int(OpenChoice::SingleFile));
    btnOpenCapture = addButton("btnOpenCapture", 112, int(OpenChoice::Capture));
    btnOpenCapture->setText(QStringLiteral("Öffnen CAP Datei"));
    btnOpenCapture->hide();
    Button1 = addButton("Button1", 162, int(OpenChoice::Cancel));
    Button1->setText(QStringLiteral("Abbrechen"));
    applyWindowTexts(this, QStringLiteral("TfrmOpenSave"));
}

QPushButton *TfrmOpenSave::addButton(const char *name, int top, int result)
{
    auto *button = new QPushButton(this);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(24, top, 305, 33);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
    return button;
}

void TfrmOpenSave::prepareForOpen(bool commaDecimal)
{
    setWindowTitle(LoadStr(56));
    btnOpenSets->setText(LoadStr(57));
    btnOpenSingleSet->setText(LoadStr(commaDecimal ? 58 : 59));
    btnOpenCapture->show();
}

OpenChoice TfrmOpenSave::choiceOf(int result)
{
    switch (result) {
    case int(OpenChoice::Collection): return OpenChoice::Collection;
    case int(OpenChoice::SingleFile): return OpenChoice::SingleFile;
    case int(OpenChoice::Capture): return OpenChoice::Capture;
    default: return OpenChoice::Cancel;
    }
}

void TfrmOpenSave::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Centred on the screen, not on the main window.
    if (const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}
