// SPDX-License-Identifier: GPL-3.0-or-later
// CSV records as spreadsheets save them (RFC 4180): fields split by a separator, quoted
// fields holding separators, line breaks and doubled quotes, lines ending in CR LF or LF.
// Shared by every list the program reads.
#pragma once

#include "text/outcome.h"

#include <string>
#include <string_view>
#include <vector>

namespace teravine::csv {

struct Field {
    std::string text;
    bool quoted = false;
};

struct Record {
    std::vector<Field> fields;
    int line = 0; // where the record begins
};

// Splits the content into records of fields. A quoted field may hold separators, line
// breaks and doubled quotes; text after its closing quote is refused.
class RecordReader {
public:
    RecordReader(std::string_view content, char separator, std::string subject)
        : content_(content), separator_(separator), subject_(std::move(subject)) {}

    bool at_end() const { return pos_ >= content_.size(); }

    Outcome<Record> next() {
        Record record;
        record.line = line_;
        for (;;) {
            Field field;
            if (pos_ < content_.size() && content_[pos_] == '"') {
                const int opened = line_;
                field.quoted = true;
                ++pos_;
                for (;;) {
                    if (pos_ >= content_.size()) {
                        return Failure{subject_ + " has at line " + std::to_string(opened) +
                                       ", column " + std::to_string(record.fields.size() + 1) +
                                       " a quote that is never closed."};
                    }
                    const char c = content_[pos_++];
                    if (c == '"') {
                        if (pos_ < content_.size() && content_[pos_] == '"') {
                            field.text += '"';
                            ++pos_;
                            continue;
                        }
                        break;
                    }
                    line_ += c == '\n';
                    field.text += c;
                }
                if (pos_ < content_.size() && content_[pos_] != separator_ &&
                    content_[pos_] != '\n' && content_[pos_] != '\r') {
                    return Failure{where(record) + " text after a closing quote."};
                }
            } else {
                while (pos_ < content_.size() && content_[pos_] != separator_ &&
                       content_[pos_] != '\n' && content_[pos_] != '\r') {
                    if (content_[pos_] == '"') {
                        return Failure{where(record) +
                                       " a quote inside a field that is not quoted."};
                    }
                    field.text += content_[pos_++];
                }
            }
            record.fields.push_back(std::move(field));
            if (pos_ >= content_.size()) {
                return record;
            }
            const char end = content_[pos_++];
            if (end == separator_) {
                continue;
            }
            if (end == '\r') {
                if (pos_ < content_.size() && content_[pos_] == '\n') {
                    ++pos_;
                }
            }
            ++line_;
            return record;
        }
    }

    std::string where(const Record& record) const {
        return subject_ + " has at line " + std::to_string(line_) + ", column " +
               std::to_string(record.fields.size() + 1);
    }

private:
    std::string_view content_;
    char separator_;
    std::string subject_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

inline std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

inline bool blank(const Record& record) {
    return record.fields.size() == 1 && !record.fields[0].quoted &&
           trimmed(record.fields[0].text).empty();
}

// The header's separator: a semicolon anywhere in the first line that is not blank.
inline char list_separator(std::string_view content) {
    std::size_t from = 0;
    while (from < content.size()) {
        auto end = content.find('\n', from);
        end = end == std::string_view::npos ? content.size() : end;
        const std::string_view line = content.substr(from, end - from);
        if (!trimmed(line).empty() && trimmed(line) != "\r") {
            return line.find(';') != std::string_view::npos ? ';' : ',';
        }
        from = end + 1;
    }
    return ',';
}

} // namespace teravine::csv
