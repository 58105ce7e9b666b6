#include "chart/ui/ChartCustomizeDialog.h"

#include "app/WindowTexts.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QColor toQColor(PEColor c) { return QColor(PEred(c), PEgreen(c), PEblue(c), PEalpha(c)); }

PEColor fromQColor(const QColor &c) { return PEargb(c.alpha(), c.red(), c.green(), c.blue()); }

// The dialog's texts in the program's language.
QString dialogText(const char *name)
{
    return windowText(QStringLiteral("ChartCustomizeDialog"), name);
}

const char *const kFontLabels[] = {"lblFontMainTitle", "lblFontSubTitle", "lblFontLabels", "lblFontTicks"};

// A combo box whose items are the table's comma-separated line called name.
QComboBox *namedCombo(QWidget *parent, const char *name, int current)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    const QStringList items = dialogText(name).split(QLatin1Char(','));
    box->addItems(items);
    box->setCurrentIndex(std::clamp(current, 0, int(items.size()) - 1));
    return box;
}

QLabel *namedLabel(QWidget *parent, const char *name)
{
    auto *label = new QLabel(dialogText(name), parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QCheckBox *namedCheckBox(QWidget *parent, const char *name)
{
    auto *box = new QCheckBox(dialogText(name), parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

} // namespace

ColorButton::ColorButton(PEColor color, QWidget *parent) : QPushButton(parent), m_color(color)
{
    setColor(color);
    connect(this, &QPushButton::clicked, this, [this] { pick(); });
}

void ColorButton::setColor(PEColor color)
{
    // The button shows the colour itself; a click opens the colour picker.
    m_color = color;
    QPixmap swatch(64, 18);
    swatch.fill(toQColor(color));
    setIcon(QIcon(swatch));
    setIconSize(swatch.size());
    setText(QString());
}

void ColorButton::pick()
{
    const QColor c = QColorDialog::getColor(toQColor(m_color), this, dialogText("dlgColor"), QColorDialog::ShowAlphaChannel);
    if (c.isValid())
        setColor(fromQColor(c));
}

ChartCustomizeDialog::ChartCustomizeDialog(const ChartLook &look, int subsets, CustomizePages pages, QWidget *parent)
    : QDialog(parent), m_look(look), m_pages(pages)
{
    setObjectName(QStringLiteral("ChartCustomizeDialog"));
    setWindowTitle(dialogText("ChartCustomizeDialog"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    tabs = new QTabWidget(this);
    layout->addWidget(tabs);
    if (pages.page1)
        tabs->addTab(titlesPage(), dialogText("tabGeneral"));
    if (pages.page2)
        tabs->addTab(plotPage(), dialogText("tabPlot"));
    if (pages.subsets)
        tabs->addTab(subsetsPage(subsets), dialogText("tabSubsets"));
    if (pages.fonts)
        tabs->addTab(fontsPage(), dialogText("tabFonts"));
    tabs->addTab(colorsPage(), dialogText("tabColors"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QWidget *ChartCustomizeDialog::titlesPage()
{
    auto *page = new QWidget(this);
    auto *form = new QFormLayout(page);
    edtMainTitle = new QLineEdit(m_look.mainTitle, page);
    edtSubTitle = new QLineEdit(m_look.subTitle, page);
    edtXAxisLabel = new QLineEdit(m_look.xAxisLabel, page);
    edtYAxisLabel = new QLineEdit(m_look.yAxisLabel, page);
    form->addRow(namedLabel(page, "lblMainTitle"), edtMainTitle);
    form->addRow(namedLabel(page, "lblSubTitle"), edtSubTitle);
    form->addRow(namedLabel(page, "lblXAxisLabel"), edtXAxisLabel);
    form->addRow(namedLabel(page, "lblYAxisLabel"), edtYAxisLabel);
    return page;
}

QWidget *ChartCustomizeDialog::plotPage()
{
    auto *page = new QWidget(this);
    auto *form = new QFormLayout(page);
    cboGridStyle = namedCombo(page, "cboGridStyle", m_look.gridStyle);
    cboGridLines = namedCombo(page, "cboGridLines", m_look.gridLines);
    chkGraphAnnotations = namedCheckBox(page, "chkGraphAnnotations");
    chkGraphAnnotations->setChecked(m_look.showGraphAnnotations);
    chkLineAnnotations = namedCheckBox(page, "chkLineAnnotations");
    chkLineAnnotations->setChecked(m_look.showVertLineAnnotations);
    spnAnnotationTextSize = new QSpinBox(page);
    spnAnnotationTextSize->setRange(1, 1000);
    spnAnnotationTextSize->setSuffix(QStringLiteral(" %"));
    spnAnnotationTextSize->setValue(m_look.graphAnnotationTextSize);
    form->addRow(namedLabel(page, "lblGridStyle"), cboGridStyle);
    form->addRow(namedLabel(page, "lblGridLines"), cboGridLines);
    form->addRow(chkGraphAnnotations);
    form->addRow(chkLineAnnotations);
    form->addRow(namedLabel(page, "lblAnnotationTextSize"), spnAnnotationTextSize);
    return page;
}

QWidget *ChartCustomizeDialog::subsetsPage(int subsets)
{
    auto *scroll = new QScrollArea(this);
    auto *page = new QWidget(scroll);
    auto *grid = new QGridLayout(page);
    const int rows = std::clamp(subsets, 1, ChartData::kMaxSubsets);
    for (int s = 0; s < rows; ++s) {
        auto *color = new ColorButton(m_look.subsetColor(s), page);
        auto *type = namedCombo(page, "cboLineType", m_look.subsetLineType(s));
        grid->addWidget(new QLabel(dialogText("lblSubset").arg(s + 1), page), s, 0);
        grid->addWidget(color, s, 1);
        grid->addWidget(type, s, 2);
        subsetColors.push_back(color);
        subsetLineTypes.push_back(type);
    }
    grid->setRowStretch(rows, 1);
    scroll->setWidget(page);
    scroll->setWidgetResizable(true);
    return scroll;
}

QWidget *ChartCustomizeDialog::fontsPage()
{
    auto *page = new QWidget(this);
    auto *grid = new QGridLayout(page);
    const ChartFont current[4] = {m_look.mainTitleFont, m_look.subTitleFont, m_look.labelFont, m_look.tickFont};
    for (int i = 0; i < 4; ++i) {
        FontRow &row = fonts[size_t(i)];
        row.family = new QFontComboBox(page);
        if (!current[i].family.isEmpty())
            row.family->setCurrentFont(QFont(current[i].family));
        row.size = new QDoubleSpinBox(page);
        row.size->setRange(0, 500);
        row.size->setDecimals(1);
        row.size->setSpecialValueText(dialogText("spnFontSize.specialValueText"));
        row.size->setValue(current[i].pointSize);
        row.bold = namedCheckBox(page, "chkBold");
        row.bold->setChecked(current[i].bold);
        row.italic = namedCheckBox(page, "chkItalic");
        row.italic->setChecked(current[i].italic);
        // A family left as it was keeps the chart's choice, the widget's default included.
        connect(row.family, &QFontComboBox::currentFontChanged, this, [this, i] { fonts[size_t(i)].familyChosen = true; });
        grid->addWidget(namedLabel(page, kFontLabels[i]), i, 0);
        grid->addWidget(row.family, i, 1);
        grid->addWidget(row.size, i, 2);
        grid->addWidget(row.bold, i, 3);
        grid->addWidget(row.italic, i, 4);
    }
    grid->setRowStretch(4, 1);
    return page;
}

QWidget *ChartCustomizeDialog::colorsPage()
{
    auto *page = new QWidget(this);
    auto *form = new QFormLayout(page);
    btnDeskColor = new ColorButton(m_look.deskColor, page);
    btnGraphBackColor = new ColorButton(m_look.graphBackColor, page);
    btnGraphForeColor = new ColorButton(m_look.graphForeColor, page);
    btnTextColor = new ColorButton(m_look.textColor, page);
    btnYAxisColor = new ColorButton(m_look.yAxisColor, page);
    form->addRow(namedLabel(page, "lblDeskColor"), btnDeskColor);
    form->addRow(namedLabel(page, "lblGraphBackColor"), btnGraphBackColor);
    form->addRow(namedLabel(page, "lblGraphForeColor"), btnGraphForeColor);
    form->addRow(namedLabel(page, "lblTextColor"), btnTextColor);
    form->addRow(namedLabel(page, "lblYAxisColor"), btnYAxisColor);
    return page;
}

ChartFont ChartCustomizeDialog::fontOf(const FontRow &row, const ChartFont &before) const
{
    ChartFont f = before;
    if (row.familyChosen)
        f.family = row.family->currentFont().family();
    f.pointSize = row.size->value();
    f.bold = row.bold->isChecked();
    f.italic = row.italic->isChecked();
    return f;
}

ChartLook ChartCustomizeDialog::look() const
{
    ChartLook l = m_look;
    if (m_pages.page1) {
        l.mainTitle = edtMainTitle->text();
        l.subTitle = edtSubTitle->text();
        l.xAxisLabel = edtXAxisLabel->text();
        l.yAxisLabel = edtYAxisLabel->text();
    }
    if (m_pages.page2) {
        l.gridStyle = cboGridStyle->currentIndex();
        l.gridLines = cboGridLines->currentIndex();
        l.showGraphAnnotations = chkGraphAnnotations->isChecked();
        l.showVertLineAnnotations = chkLineAnnotations->isChecked();
        l.graphAnnotationTextSize = spnAnnotationTextSize->value();
    }
    if (m_pages.subsets) {
        const size_t n = subsetColors.size();
        if (l.subsetColors.size() < n)
            l.subsetColors.resize(n, PEargb(255, 0, 0, 198));
        if (l.subsetLineTypes.size() < n)
            l.subsetLineTypes.resize(n, PELT_THINSOLID);
        for (size_t s = 0; s < n; ++s) {
            l.subsetColors[s] = subsetColors[s]->color();
            l.subsetLineTypes[s] = subsetLineTypes[s]->currentIndex();
        }
    }
    if (m_pages.fonts) {
        l.mainTitleFont = fontOf(fonts[0], m_look.mainTitleFont);
        l.subTitleFont = fontOf(fonts[1], m_look.subTitleFont);
        l.labelFont = fontOf(fonts[2], m_look.labelFont);
        l.tickFont = fontOf(fonts[3], m_look.tickFont);
    }
    l.deskColor = btnDeskColor->color();
    l.graphBackColor = btnGraphBackColor->color();
    l.graphForeColor = btnGraphForeColor->color();
    l.textColor = btnTextColor->color();
    l.yAxisColor = btnYAxisColor->color();
    return l;
}
