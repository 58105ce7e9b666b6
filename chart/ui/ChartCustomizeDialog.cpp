#include "chart/ui/ChartCustomizeDialog.h"

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

const char *const kLineTypeNames[] = {"Thin solid", "Dash", "Dot", "Dash dot", "Dash dot dot", "Medium solid",
                                      "Thick solid"};
const char *const kGridStyleNames[] = {"Thin", "Thick", "Dot", "Dash", "One pixel"};
const char *const kGridLineNames[] = {"Both", "Y only", "X only", "None"};
const char *const kFontNames[] = {"Main title", "Sub title", "Labels", "Tick labels"};

QComboBox *namedCombo(QWidget *parent, const char *const *names, int count, int current)
{
    auto *box = new QComboBox(parent);
    for (int i = 0; i < count; ++i)
        box->addItem(QString::fromLatin1(names[i]));
    box->setCurrentIndex(std::clamp(current, 0, count - 1));
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
    m_color = color;
    QPixmap swatch(32, 14);
    swatch.fill(toQColor(color));
    setIcon(QIcon(swatch));
    setIconSize(swatch.size());
    setText(toQColor(color).name(QColor::HexArgb));
}

void ColorButton::pick()
{
    const QColor c = QColorDialog::getColor(toQColor(m_color), this, QString(), QColorDialog::ShowAlphaChannel);
    if (c.isValid())
        setColor(fromQColor(c));
}

ChartCustomizeDialog::ChartCustomizeDialog(const ChartLook &look, int subsets, CustomizePages pages, QWidget *parent)
    : QDialog(parent), m_look(look), m_pages(pages)
{
    setObjectName(QStringLiteral("ChartCustomizeDialog"));
    setWindowTitle(QStringLiteral("Customization"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    tabs = new QTabWidget(this);
    layout->addWidget(tabs);
    if (pages.page1)
        tabs->addTab(titlesPage(), QStringLiteral("General"));
    if (pages.page2)
        tabs->addTab(plotPage(), QStringLiteral("Plot"));
    if (pages.subsets)
        tabs->addTab(subsetsPage(subsets), QStringLiteral("Subsets"));
    if (pages.fonts)
        tabs->addTab(fontsPage(), QStringLiteral("Fonts"));
    tabs->addTab(colorsPage(), QStringLiteral("Colors"));

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
    form->addRow(QStringLiteral("Main title"), edtMainTitle);
    form->addRow(QStringLiteral("Sub title"), edtSubTitle);
    form->addRow(QStringLiteral("X axis label"), edtXAxisLabel);
    form->addRow(QStringLiteral("Y axis label"), edtYAxisLabel);
    return page;
}

QWidget *ChartCustomizeDialog::plotPage()
{
    auto *page = new QWidget(this);
    auto *form = new QFormLayout(page);
    cboGridStyle = namedCombo(page, kGridStyleNames, int(std::size(kGridStyleNames)), m_look.gridStyle);
    cboGridLines = namedCombo(page, kGridLineNames, int(std::size(kGridLineNames)), m_look.gridLines);
    chkGraphAnnotations = new QCheckBox(QStringLiteral("Show graph annotations"), page);
    chkGraphAnnotations->setChecked(m_look.showGraphAnnotations);
    chkLineAnnotations = new QCheckBox(QStringLiteral("Show line annotations"), page);
    chkLineAnnotations->setChecked(m_look.showVertLineAnnotations);
    spnAnnotationTextSize = new QSpinBox(page);
    spnAnnotationTextSize->setRange(1, 1000);
    spnAnnotationTextSize->setSuffix(QStringLiteral(" %"));
    spnAnnotationTextSize->setValue(m_look.graphAnnotationTextSize);
    form->addRow(QStringLiteral("Grid style"), cboGridStyle);
    form->addRow(QStringLiteral("Grid lines"), cboGridLines);
    form->addRow(chkGraphAnnotations);
    form->addRow(chkLineAnnotations);
    form->addRow(QStringLiteral("Annotation text size"), spnAnnotationTextSize);
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
        auto *type = namedCombo(page, kLineTypeNames, int(std::size(kLineTypeNames)), m_look.subsetLineType(s));
        grid->addWidget(new QLabel(QStringLiteral("Subset %1").arg(s + 1), page), s, 0);
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
    const FontSpec specs[4] = {m_look.mainTitleFont, m_look.subTitleFont, m_look.labelFont, m_look.tickFont};
    for (int i = 0; i < 4; ++i) {
        FontRow &row = fonts[size_t(i)];
        row.family = new QFontComboBox(page);
        if (!specs[i].family.isEmpty())
            row.family->setCurrentFont(QFont(specs[i].family));
        row.size = new QDoubleSpinBox(page);
        row.size->setRange(0, 500);
        row.size->setDecimals(1);
        row.size->setSpecialValueText(QStringLiteral("Default"));
        row.size->setValue(specs[i].pointSize);
        row.bold = new QCheckBox(QStringLiteral("Bold"), page);
        row.bold->setChecked(specs[i].bold);
        row.italic = new QCheckBox(QStringLiteral("Italic"), page);
        row.italic->setChecked(specs[i].italic);
        // A family left as it was keeps the chart's choice, the widget's default included.
        connect(row.family, &QFontComboBox::currentFontChanged, this, [this, i] { fonts[size_t(i)].familyChosen = true; });
        grid->addWidget(new QLabel(QString::fromLatin1(kFontNames[i]), page), i, 0);
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
    form->addRow(QStringLiteral("Desk"), btnDeskColor);
    form->addRow(QStringLiteral("Graph background"), btnGraphBackColor);
    form->addRow(QStringLiteral("Grid and frame"), btnGraphForeColor);
    form->addRow(QStringLiteral("Text"), btnTextColor);
    form->addRow(QStringLiteral("Y axis"), btnYAxisColor);
    return page;
}

FontSpec ChartCustomizeDialog::fontOf(const FontRow &row, const FontSpec &before) const
{
    FontSpec f = before;
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
