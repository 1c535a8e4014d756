// SPDX-License-Identifier: GPL-3.0-or-later
#include "lines/const_line_file.h"

#include "lines/const_lines.h"
#include "text/number_text.h"
#include "text/text_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace teravine {
namespace {

constexpr char kTab = '\t';
constexpr const char* kLineEnd = "\r\n";
constexpr std::size_t kPrintZone = 14; // the name starts at the next zone

std::string header_pair(const std::string& label) {
    return label + " SA\tGly\t";
}

// Cell pair of a line in data row j (1-based): two values or two empty cells.
std::string cell_pair(const Line& line, int j) {
    if (j > line.count || static_cast<std::size_t>(j) > line.points.size()) {
        return "\t\t";
    }
    const LinePoint& p = line.point(j);
    return format_fixed(p.ad, 3) + kTab + format_fixed(p.eg, 3) + kTab;
}

template <std::size_t Size>
void append_cells(std::vector<std::string>& rows, const std::array<Line, Size>& family, int first,
                  int last, int step, int row_count) {
    for (int i = first; i <= last; i += step) {
        const Line& line = family[static_cast<std::size_t>(i)];
        for (int j = 1; j <= row_count; ++j) {
            rows[static_cast<std::size_t>(j)] += cell_pair(line, j);
        }
    }
}

std::string describe_errno(int error) {
    return error != 0 ? std::strerror(error) : "unknown error";
}

} // namespace

std::vector<std::string> const_line_preamble(const std::string& reich_name) {
    std::string second = "Reichweite:";
    second.append(kPrintZone - second.size() % kPrintZone, ' ');
    return {"Constante propreties lines", second + reich_name};
}

std::vector<std::string> const_line_rows(const ConstLines& lines, GridSwitches checks) {
    std::string header;
    if (checks.n) {
        for (int i = kFirstNLine; i <= kLastNLine; ++i) {
            header += header_pair(
                "N=" + number_text(static_cast<int>(lines.val_n[static_cast<std::size_t>(i)])) +
                " ");
        }
    }
    if (checks.s) {
        for (int i = kFirstSLine; i <= kLastSLine; i += kSLineStep) {
            header += header_pair("%S=" + format_percent(lines.val_s[static_cast<std::size_t>(i)]));
        }
    }
    if (checks.fp) {
        for (int i = kFirstFpLine; i <= kLastFpLine; ++i) {
            const auto nfp = static_cast<float>(
                1.0 / static_cast<double>(lines.val_fp[static_cast<std::size_t>(i)]));
            header += header_pair("Nfp=" + format_two_digits(nfp));
        }
    }

    std::vector<std::string> rows(kConstLineRows + 1); // row 0 becomes the header
    if (checks.n) {
        append_cells(rows, lines.n, kFirstNLine, kLastNLine, 1, kConstLineRows);
    }
    if (checks.s) {
        append_cells(rows, lines.s, kFirstSLine, kLastSLine, kSLineStep, kConstLineRows);
    }
    if (checks.fp) {
        append_cells(rows, lines.fp, kFirstFpLine, kLastFpLine, 1, kFpConstLineRows);
    }
    rows[0] = std::move(header);
    return rows;
}

void write_const_lines(std::ostream& out, const ConstLines& lines, GridSwitches checks) {
    for (const std::string& text : const_line_rows(lines, checks)) {
        out << text << kLineEnd;
    }
}

void write_const_line_file(std::ostream& out, const ConstLines& lines, GridSwitches checks,
                           const std::string& reich_name) {
    for (const std::string& text : const_line_preamble(reich_name)) {
        out << text << kLineEnd;
    }
    write_const_lines(out, lines, checks);
}

namespace {

Failure write_failure(const std::string& subject, int error) {
    return Failure{"Writing " + subject + " failed: " + describe_errno(error) +
                   ". The lines written before the failure stay in the file."};
}

// Each line is handed to the system as soon as it is complete, so a failure leaves
// exactly the lines before it in the file. Success only once everything is flushed.
Outcome<bool> write_line_by_line(std::FILE* file, const std::string& subject,
                                 const std::vector<std::string>& all) {
    for (const std::string& text : all) {
        errno = 0;
        const std::string line = text + kLineEnd;
        if (std::fwrite(line.data(), 1, line.size(), file) != line.size() ||
            std::fflush(file) != 0) {
            return write_failure(subject, errno);
        }
    }
    return true;
}

std::vector<std::string> whole_file(const ConstLines& lines, GridSwitches checks,
                                    const std::string& reich_name) {
    std::vector<std::string> all = const_line_preamble(reich_name);
    std::vector<std::string> rest = const_line_rows(lines, checks);
    all.insert(all.end(), rest.begin(), rest.end());
    return all;
}

} // namespace

Outcome<bool> export_const_lines(const std::string& path, const ConstLines& lines,
                                 GridSwitches checks, const std::string& reich_name) {
    LineWriter out;
    if (out.open_whole(path)) {
        return Failure{"Cannot create the file \"" + path + "\": " + out.reason() + "."};
    }
    for (const std::string& text : whole_file(lines, checks, reich_name)) {
        out.line(text);
    }
    if (out.close()) {
        return Failure{"Writing the file \"" + path + "\" failed: " + out.reason() +
                       ". The file was not written; a file of that name keeps what it held."};
    }
    return true;
}

Outcome<bool> export_const_lines_to_standard_output(const ConstLines& lines, GridSwitches checks,
                                                    const std::string& reich_name) {
    return write_line_by_line(stdout, "standard output", whole_file(lines, checks, reich_name));
}

} // namespace teravine
