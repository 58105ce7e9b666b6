#pragma once
// The calibration dialog's sending: the two settings typed as whole numbers, put into the
// calibration frame and written once on Comm1 without an echo check.
#include "link/SerialPort.h"

#include <QString>
#include <optional>

// A whole number as the user typed it (blanks around it, an optional sign); nullopt otherwise.
std::optional<int> parseWholeNumber(const QString &text);
// The conversion error for a text that is not a whole number.
QString notAnIntegerMessage(const QString &text);

// Converts Lo and then Hi; on the first failure returns its message and sends nothing. Otherwise
// writes the frame and returns an empty text. Port errors are the port's own.
QString sendCalibration(SerialPort &comm1, const QString &hiText, const QString &loText);
