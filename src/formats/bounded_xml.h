// SPDX-License-Identifier: GPL-3.0-or-later
// XML of a pattern archive parsed by pugixml once its shape is known to be sane: no
// nesting deeper, and no more elements, than any instrument writes.
#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <optional>
#include <string>

namespace teravine {

inline constexpr std::size_t kMaxXmlDepth = 256;
inline constexpr std::size_t kMaxXmlElements = 4'000'000;

// Parses `text` into `document` in place (the text is kept by the document's nodes).
// Refuses, before anything is built, a nesting deeper than kMaxXmlDepth or more than
// kMaxXmlElements elements; then text that is not XML. The message starts with
// `subject`, e.g. 'The file "x", entry "Data0/a.xml",'.
std::optional<std::string> load_bounded_xml(pugi::xml_document& document, std::string& text,
                                            const std::string& subject);

} // namespace teravine
