// SPDX-License-Identifier: GPL-3.0-or-later
// What the readers of instrument text formats share: lines of any line end, numbers read
// straight from the text, keys with their values, and scans spread at an even step.
#pragma once

#include "formats/pattern.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace teravine {

// The lines of a text one by one, ended by LF, CR LF or a lone CR, with their numbers.
class TextLines {
public:
    explicit TextLines(std::string_view text);
    // The next line without its end, or nothing at the end of the text.
    std::optional<std::string_view> next();
    std::size_t number() const { return number_; } // of the line last returned, from 1

private:
    std::string_view text_;
    std::size_t at_ = 0;
    std::size_t number_ = 0;
};

// The text without blanks (spaces, tabs) at either end.
std::string_view trimmed(std::string_view text);

// The text without a pair of double or single quotes around it, trimmed.
std::string_view unquoted(std::string_view text);

// Whether the text starts with `prefix`, letters in any case.
bool starts_with_nocase(std::string_view text, std::string_view prefix);

// The number the whole (trimmed) text is, a leading '+' allowed; nothing otherwise.
std::optional<double> number_in(std::string_view text);

// Appends the numbers of a line, separated by blanks or commas (several commas or a
// comma among blanks count as one separator); false when a field is not a number.
bool append_numbers(std::string_view line, std::vector<double>& values);

// Why the text cannot be read as text at all ('The file "x" is empty.', '... is not
// a pattern: it is not text.'), or nothing.
std::optional<std::string> not_text(std::string_view content, const std::string& subject);

// `count` angles from `start` at `step` (which may be negative: the scan then runs
// downwards and is turned round with its counts by `put_in_order`).
std::vector<double> evenly_spaced(double start, double step, std::size_t count);

// Turns a scan recorded from high to low 2θ round, counts with it.
void put_in_order(Pattern& scan);

// Multiplies each count by the factor of the same point (attenuator factors).
void scale_counts(std::vector<double>& counts, const std::vector<double>& factors);

// The anode symbol as Teravine spells it ("Cu", "Co", ...) when the text names one,
// its atomic number included ("29" for copper); empty otherwise.
std::string anode_named(std::string_view text);

// A wavelength as the file states it: nothing when absent or 0 (which files write for
// "unknown"), else the number as written, whatever it is; the scan's check refuses one
// that no X-ray source gives.
std::optional<double> stated_wavelength(std::optional<double> value);
std::optional<double> wavelength_in(std::string_view text);

// Why 2θ from `start` at `step` over `count` points cannot be taken: a step that is not
// positive, or an `end` the steps do not reach (the end point counted or not, so within
// a step and a half).
std::optional<std::string> step_problem(double start, double step, const std::string& subject);
std::optional<std::string> range_problem(double start, double end, double step, std::size_t count,
                                         const std::string& subject);

// "1.5406" for a number in a message.
std::string number_text(double value);

} // namespace teravine
