// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/bounded_xml.h"

#include <algorithm>
#include <string_view>

namespace teravine {
namespace {

struct XmlShape {
    std::size_t deepest = 0;
    std::size_t elements = 0;
};

// The end of the markup that starts at `at` ('<'): past its closing '>', quotes in
// attributes skipped; npos when it never closes.
std::size_t markup_end(std::string_view text, std::size_t at) {
    char quote = 0;
    for (std::size_t i = at + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (quote != 0) {
            if (c == quote) {
                quote = 0;
            }
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    return std::string_view::npos;
}

// Counts elements and nesting in one pass over the text, stopping as soon as either
// passes its limit; what is not well-formed is left to the parser.
XmlShape shape_of(std::string_view text) {
    XmlShape shape;
    std::size_t depth = 0;
    std::size_t at = 0;
    while ((at = text.find('<', at)) != std::string_view::npos) {
        const std::string_view rest = text.substr(at);
        std::size_t end = std::string_view::npos;
        if (rest.starts_with("<!--")) {
            end = text.find("-->", at + 4);
            end = end == std::string_view::npos ? end : end + 3;
        } else if (rest.starts_with("<![CDATA[")) {
            end = text.find("]]>", at + 9);
            end = end == std::string_view::npos ? end : end + 3;
        } else if (rest.starts_with("<?") || rest.starts_with("<!")) {
            end = markup_end(text, at);
        } else if (rest.starts_with("</")) {
            depth = depth > 0 ? depth - 1 : 0;
            end = markup_end(text, at);
        } else {
            end = markup_end(text, at);
            if (end == std::string_view::npos) {
                break;
            }
            ++shape.elements;
            if (text[end - 2] != '/') {
                ++depth;
                shape.deepest = std::max(shape.deepest, depth);
            }
            if (shape.elements > kMaxXmlElements || shape.deepest > kMaxXmlDepth) {
                break;
            }
        }
        if (end == std::string_view::npos) {
            break;
        }
        at = end;
    }
    return shape;
}

} // namespace

std::optional<std::string> load_bounded_xml(pugi::xml_document& document, std::string& text,
                                            const std::string& subject) {
    const XmlShape shape = shape_of(text);
    if (shape.deepest > kMaxXmlDepth) {
        return subject + " is not a pattern: its XML nests deeper than " +
               std::to_string(kMaxXmlDepth) + " levels.";
    }
    if (shape.elements > kMaxXmlElements) {
        return subject + " is not a pattern: its XML has more than " +
               std::to_string(kMaxXmlElements) + " elements.";
    }
    const auto parsed = document.load_buffer_inplace(text.data(), text.size());
    if (!parsed) {
        return subject + " is not a pattern: it is not XML (" + parsed.description() + " at byte " +
               std::to_string(parsed.offset) + ").";
    }
    return std::nullopt;
}

} // namespace teravine
