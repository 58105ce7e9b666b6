#pragma once
// The chart's own customisation dialog: titles and axis labels, grid and annotation display,
// subset colours and line types, fonts, and the colours of the chart. The first four pages can be
// left out (the print path shows the colours alone); the colour page is always there.
#include "chart/ChartState.h"

#include <QDialog>
#include <QPushButton>
#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QLineEdit;
class QSpinBox;
class QTabWidget;

// A push button that shows a colour and lets the user pick another one.
class ColorButton : public QPushButton {
public:
    explicit ColorButton(PEColor color, QWidget *parent = nullptr);
    PEColor color() const { return m_color; }
    void setColor(PEColor color);

private:
    void pick();
    PEColor m_color;
};

struct CustomizePages {
    bool page1 = true;   // titles and axis labels
    bool page2 = true;   // grid and annotations
    bool subsets = true; // subset colours and line types
    bool fonts = true;
};

class ChartCustomizeDialog : public QDialog {
public:
    ChartCustomizeDialog(const ChartLook &look, int subsets, CustomizePages pages, QWidget *parent = nullptr);

    // The look with the dialog's settings; what a hidden page holds is returned unchanged.
    ChartLook look() const;

    QTabWidget *tabs = nullptr;
    // Titles and axis labels.
    QLineEdit *edtMainTitle = nullptr, *edtSubTitle = nullptr, *edtXAxisLabel = nullptr, *edtYAxisLabel = nullptr;
    // Grid and annotations.
    QComboBox *cboGridStyle = nullptr, *cboGridLines = nullptr;
    QCheckBox *chkGraphAnnotations = nullptr, *chkLineAnnotations = nullptr;
    QSpinBox *spnAnnotationTextSize = nullptr;
    // Subsets.
    std::vector<ColorButton *> subsetColors;
    std::vector<QComboBox *> subsetLineTypes;
    // Fonts: main title, sub title, labels, tick labels.
    struct FontRow {
        QFontComboBox *family = nullptr;
        QDoubleSpinBox *size = nullptr;
        QCheckBox *bold = nullptr;
        QCheckBox *italic = nullptr;
        bool familyChosen = false;
    };
    std::array<FontRow, 4> fonts;
    // Colours: desk, plot area, grid and frame, text, Y axis.
    ColorButton *btnDeskColor = nullptr, *btnGraphBackColor = nullptr, *btnGraphForeColor = nullptr,
                *btnTextColor = nullptr, *btnYAxisColor = nullptr;

private:
    QWidget *titlesPage();
    QWidget *plotPage();
    QWidget *subsetsPage(int subsets);
    QWidget *fontsPage();
    QWidget *colorsPage();
    ChartFont fontOf(const FontRow &row, const ChartFont &before) const;

    ChartLook m_look;
    CustomizePages m_pages;
};
