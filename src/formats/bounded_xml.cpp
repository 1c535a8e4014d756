// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/bounded_xml.h"

#include <cstdlib>

namespace teravine {
namespace {

// What the document being loaded on this thread may still allocate; none while no load
// runs, when pugixml allocates freely.
thread_local std::size_t* budget = nullptr;

void* budgeted_allocate(std::size_t size) {
    if (budget != nullptr) {
        if (size > *budget) {
            return nullptr; // pugixml stops the parse as out of memory
        }
        *budget -= size;
    }
    return std::malloc(size);
}

void release(void* block) {
    std::free(block);
}

// Every pugixml allocation goes through the budget, from the start of the program.
const bool budget_installed = [] {
    pugi::set_memory_management_functions(budgeted_allocate, release);
    return true;
}();

// Whether the document nests deeper than kMaxXmlDepth, walked without recursion.
bool too_deep(const pugi::xml_document& document) {
    std::size_t depth = 1;
    pugi::xml_node node = document.first_child();
    while (node) {
        if (depth > kMaxXmlDepth) {
            return true;
        }
        if (node.first_child()) {
            node = node.first_child();
            ++depth;
            continue;
        }
        while (node && !node.next_sibling()) {
            node = node.parent();
            --depth;
        }
        if (node) {
            node = node.next_sibling();
        }
    }
    return false;
}

} // namespace

std::optional<std::string> load_bounded_xml(pugi::xml_document& document, std::string& text,
                                            const std::string& subject) {
    static_cast<void>(budget_installed);
    std::size_t left = kMaxXmlBytes;
    budget = &left;
    const auto parsed = document.load_buffer_inplace(text.data(), text.size());
    budget = nullptr;
    if (parsed.status == pugi::status_out_of_memory) {
        document.reset();
        return subject + " is not a pattern: it holds more XML markup than any measurement.";
    }
    // What was parsed before an error is kept, so that nesting is told before a later fault.
    if (too_deep(document)) {
        document.reset();
        return subject + " is not a pattern: its XML nests deeper than " +
               std::to_string(kMaxXmlDepth) + " levels.";
    }
    if (!parsed) {
        return subject + " is not a pattern: it is not XML (" + parsed.description() + " at byte " +
               std::to_string(parsed.offset) + ").";
    }
    return std::nullopt;
}

} // namespace teravine
