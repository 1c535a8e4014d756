// SPDX-License-Identifier: GPL-3.0-or-later
// Sequential input of a text file: the title line, then number items.
//
// The rules, fixed here for the .IW and .cor readers:
// - Line ends are CR LF, LF or a lone CR. A UTF-8 byte-order mark before the first line
//   is dropped. A UTF-16 (or UTF-32) file, recognised by its byte-order mark or by NUL
//   bytes, is refused with a message rather than misread.
// - line() reads a whole line (the title), without its line end.
// - A number item starts after any blanks, tabs and line ends, and ends at a comma, a
//   blank, a tab, a line end or the end of the file. Blanks and tabs after an item are
//   skipped, and one comma after them belongs to the item, so "0.5,0.4", "0.5, 0.4",
//   "0.5 0.4" and "0.5<TAB>0.4" are all two items. A comma at the end of a line is
//   allowed: the next item is read from the next line.
// - An empty item (a comma with nothing before it, as in "0.5,,0.4" or ",0.4") is a
//   missing value and is refused.
// - A number is an optional sign, digits with at most one '.', and an optional exponent
//   (e or E, optional sign, digits): "0.5", ".5", "5.", "-1e-3", "+2". '.' is the decimal
//   point whatever the locale, so "0,5" is the two items 0 and 5, and "0,5x" is 0 and
//   then "5x", which is not a number. nan, inf, hexadecimal and values a single cannot
//   hold (1e39, 1e400) are not numbers.
// - Work and memory are linear in the size of the text; items are views into it.
#pragma once

#include "text/outcome.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace teravine {

// Where the last item stood, for messages: line counted from 1 (the title is line 1),
// item counted from 1 on its line.
struct ItemPlace {
    int line = 0;
    int item = 0;
};

class NumberItems {
public:
    // Refuses a UTF-16 or UTF-32 text, or any text with NUL bytes, with a description.
    // The content must outlive the reader.
    static Outcome<NumberItems> over(std::string_view content);

    // The rest of the current line, without its line end; empty at the end of the file.
    std::optional<std::string_view> line();

    // True when no item remains: only blanks, tabs and line ends are left.
    bool at_end();

    // The next item as a number held in a double (finite). `what` names the value in
    // messages: "The file ends before <what>." and
    // 'Line 3 of the file, item 2 (<what>): "0.5x" is not a number.'
    Outcome<double> number(std::string_view what);

    // The next item as a single-precision number; values beyond the range of a single
    // are refused as numbers too large.
    Outcome<float> single(std::string_view what);

    // The text and the place of the item read last.
    std::string_view last_text() const { return last_text_; }
    ItemPlace last_place() const { return last_place_; }

    // "Line 3 of the file, item 2"
    static std::string place_text(ItemPlace place);
    // The item quoted for a message: at most 40 bytes, non-printable bytes as \xNN.
    static std::string quoted(std::string_view text);

private:
    explicit NumberItems(std::string_view content) : text_(content) {}

    bool at_line_end() const;
    void skip_line_end();
    void skip_blanks();
    void skip_separators();

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int item_ = 0; // items started on the current line
    std::string_view last_text_;
    ItemPlace last_place_{};
};

} // namespace teravine
