#pragma once
// Fields of the text files: a field that holds the separator, a double quote or a line break is
// written in double quotes with every quote inside doubled (as spreadsheets expect, so "20,0"
// stays one field under a comma decimal separator); any other field is written as it is. The
// reader takes both forms.
#include <QByteArray>
#include <string>
#include <string_view>
#include <vector>

// Appends field to out, quoted when it needs to be.
void appendField(QByteArray &out, std::string_view field, char separator);

// Splits a line at the separators outside quotes. A field that starts with a double quote runs to
// its closing quote ("" inside stands for one quote; text after the closing quote up to the next
// separator is kept as it is; a quote that is never closed runs to the end of the line). The views
// point into line or into scratch, which is reused from call to call. Returns false when the line
// holds no separator outside quotes; fields then holds the whole line as one field.
bool splitFields(std::string_view line, char separator, std::vector<std::string_view> &fields, std::string &scratch);
