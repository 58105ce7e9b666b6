#pragma once
// TDateTime: days since 1899-12-30 00:00 local time as a double; the fraction is the time of day.
#include <QDateTime>

using TDateTime = double;

TDateTime toTDateTime(const QDateTime &local);
QDateTime fromTDateTime(TDateTime value);
