// SPDX-License-Identifier: GPL-3.0-or-later
// The one way the XML of a pattern file (XRDML, and the entries of BRML and RASX archives)
// is parsed: by pugixml, under a budget of the memory its document may take, so that no
// markup, however it hides among comments, instructions, CDATA or quotes, builds more than
// any instrument's file needs; and no deeper nesting than any instrument writes.
#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <optional>
#include <string>

namespace teravine {

inline constexpr std::size_t kMaxXmlDepth = 64;
// About 750,000 elements (pugixml builds 64 bytes a node): a measurement holds a few
// dozen, a BRML scan two a point.
inline constexpr std::size_t kMaxXmlBytes = std::size_t{48} << 20;

// Parses `text` into `document` in place (the text is kept by the document's nodes).
// Refuses markup whose document would take more than kMaxXmlBytes (stopped as the budget
// runs out), text that is not XML, and a nesting deeper than kMaxXmlDepth. The message
// starts with `subject`, e.g. 'The file "x", entry "Data0/a.xml",'.
std::optional<std::string> load_bounded_xml(pugi::xml_document& document, std::string& text,
                                            const std::string& subject);

} // namespace teravine
