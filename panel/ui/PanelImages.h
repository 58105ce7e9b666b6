#pragma once
// The control panel's pictures by name, drawn on first use and kept for the run: "imgPanel",
// "LCD0".."LCD15", "imgPoint", "imgBatBar0".."imgBatBar3", "imgUNDER", "imgOVER", "imgREAD",
// "imgAutoOff", "imgColorBar". Needs a running QGuiApplication.
#include <QList>
#include <QPixmap>
#include <QStringList>

// The picture of that name; a null pixmap for an unknown name.
QPixmap panelImage(const QString &name);
QStringList panelImageNames();

// The 16 display digit images "LCD0".."LCD15" (0-9, blank, minus, minus, L, E, r), 17 x 28 each,
// in index order: what the main window holds as its LCD images.
QList<QPixmap> loadLcdImages();
