#pragma once
// PESGraph1CustomizeDlg: a confirmed customisation may be kept as the template of new charts.
#include <QString>
#include <functional>

class PESGraph;

// When the chart's last customisation dialog ended with OK, asks whether to keep it (TfrmYesNo
// unless askKeep is given) and on "&Ja" saves the chart's state as the template under appData.
// Returns the message to show when the template could not be saved ("Cannot create ...
// directory." for its folder), else empty.
QString keepCustomizationAsTemplate(PESGraph &chart, const QString &appData,
                                    const std::function<bool()> &askKeep = {});
