#pragma once
// The main window's pictures, painted in code so that they stay sharp at any scale: the glyphs of
// the tool buttons and the picture at the right end of the tool bar.
#include <QIcon>
#include <QPixmap>

enum class Glyph { Open, Save, Print, DataLogger, OutputToGraph, Run, Stop, Help, Monitor };

// A tool-button glyph; the disabled look is derived by the style.
QIcon toolGlyph(Glyph glyph);

// The tool bar picture at the given size in device-independent pixels.
QPixmap toolBarPicture(const QSize &size, qreal devicePixelRatio = 1.0);
