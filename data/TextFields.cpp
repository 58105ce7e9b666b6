#include "data/TextFields.h"

void appendField(QByteArray &out, std::string_view field, char separator)
{
    if (field.find_first_of(std::string_view{"\"\r\n", 3}) == std::string_view::npos
        && field.find(separator) == std::string_view::npos) {
        out.append(field.data(), qsizetype(field.size()));
        return;
    }
    out.append('"');
    for (const char c : field) {
        if (c == '"')
            out.append('"');
        out.append(c);
    }
    out.append('"');
}

bool splitFields(std::string_view line, char separator, std::vector<std::string_view> &fields, std::string &scratch)
{
    fields.clear();
    scratch.clear();
    // Unquoted text is never longer than the line: the views into scratch stay valid.
    scratch.reserve(line.size());
    bool separated = false;
    size_t i = 0;
    for (;;) {
        if (i < line.size() && line[i] == '"') {
            const size_t start = scratch.size();
            ++i;
            while (i < line.size()) {
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        scratch += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                scratch += line[i++];
            }
            while (i < line.size() && line[i] != separator)
                scratch += line[i++];
            fields.push_back(std::string_view(scratch).substr(start));
        } else {
            const size_t end = line.find(separator, i);
            const size_t stop = end == std::string_view::npos ? line.size() : end;
            fields.push_back(line.substr(i, stop - i));
            i = stop;
        }
        if (i >= line.size())
            return separated;
        separated = true;
        ++i;  // the separator
    }
}
