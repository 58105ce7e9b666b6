#pragma once
// TDateTime: days since 1899-12-30 00:00 local time as a double; the fraction is the time of day.
#include <QDateTime>

using TDateTime = double;

TDateTime toTDateTime(const QDateTime &local);
// An invalid QDateTime for a value that is not finite or lies beyond a million years.
QDateTime fromTDateTime(TDateTime value);
