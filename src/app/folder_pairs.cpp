// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/folder_pairs.h"

#include "formats/pattern_formats.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

namespace teravine {
namespace {

char lower_char(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), lower_char);
    return out;
}

bool is_digit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

bool is_pattern_file(std::string_view name) {
    const std::string suffix = lower(std::filesystem::path(name).extension().string());
    const auto suffixes = pattern_suffixes();
    return !suffix.empty() && std::find(suffixes.begin(), suffixes.end(), suffix) != suffixes.end();
}

// Names in the order a person counts them: runs of digits by their value, the rest in any
// case; names equal so ordered by their bytes.
bool natural_less(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (is_digit(a[i]) && is_digit(b[j])) {
            const auto run = [](std::string_view s, std::size_t& at) {
                while (at + 1 < s.size() && s[at] == '0' && is_digit(s[at + 1])) {
                    ++at;
                }
                const std::size_t from = at;
                while (at < s.size() && is_digit(s[at])) {
                    ++at;
                }
                return s.substr(from, at - from);
            };
            const std::string_view x = run(a, i);
            const std::string_view y = run(b, j);
            if (x.size() != y.size()) {
                return x.size() < y.size();
            }
            if (x != y) {
                return x < y;
            }
            continue;
        }
        if (lower_char(a[i]) != lower_char(b[j])) {
            return lower_char(a[i]) < lower_char(b[j]);
        }
        ++i;
        ++j;
    }
    if (a.size() - i != b.size() - j) {
        return a.size() - i < b.size() - j;
    }
    return a < b;
}

// Whether `text` is `pattern`, '?' standing for any one character, in any case.
bool same_letters(std::string_view pattern, std::string_view text) {
    return std::equal(pattern.begin(), pattern.end(), text.begin(), text.end(),
                      [](char p, char t) { return p == '?' || lower_char(p) == lower_char(t); });
}

// What the one '*' of the glob matches of the name; nothing when the name does not match.
std::optional<std::string> glob_stem(std::string_view glob, std::string_view name) {
    const auto star = glob.find('*');
    const std::string_view prefix = glob.substr(0, star);
    const std::string_view suffix = glob.substr(star + 1);
    if (name.size() < prefix.size() + suffix.size() ||
        !same_letters(prefix, name.substr(0, prefix.size())) ||
        !same_letters(suffix, name.substr(name.size() - suffix.size()))) {
        return std::nullopt;
    }
    return std::string(name.substr(prefix.size(), name.size() - prefix.size() - suffix.size()));
}

struct SideFile {
    std::string name; // without the folder
    std::string stem;
};

struct StemFiles {
    std::vector<SideFile> ad;
    std::vector<SideFile> eg;
};

} // namespace

std::optional<NamedSide> side_of_name(std::string_view file_name) {
    const std::string stem = std::filesystem::path(file_name).stem().string();
    const std::string low = lower(stem);
    using Mark = std::pair<std::string_view, bool>; // the suffix, and whether it is EG's
    for (const auto& [marker, glycolated] :
         {Mark{"ad", false}, Mark{"eg", true}, Mark{"gly", true}}) {
        if (low.size() >= marker.size() && low.ends_with(marker)) {
            std::string before = stem.substr(0, stem.size() - marker.size());
            while (!before.empty() &&
                   std::string_view("_- .").find(before.back()) != std::string_view::npos) {
                before.pop_back();
            }
            return NamedSide{glycolated, before};
        }
    }
    return std::nullopt;
}

std::optional<std::string> pairing_rule_problem(const PairingRule& rule, std::string_view ad_name,
                                                std::string_view eg_name) {
    if (rule.ad.empty() && rule.eg.empty()) {
        return std::nullopt;
    }
    for (const auto& [glob, name] : {std::pair{&rule.ad, ad_name}, std::pair{&rule.eg, eg_name}}) {
        if (std::count(glob->begin(), glob->end(), '*') != 1 ||
            glob->find_first_of("/[]") != std::string::npos) {
            return std::string(name) + " wants a file name with one '*' for the stem, as " +
                   "*_1.raw and *_2.raw pair pit3_1.raw with pit3_2.raw (a '?' stands for any " +
                   "one character)";
        }
    }
    if (lower(rule.ad) == lower(rule.eg)) {
        return std::string(ad_name) + " and " + std::string(eg_name) +
               " must differ, or every file would be both";
    }
    return std::nullopt;
}

FolderPairing pair_files(const std::string& folder, const std::vector<std::string>& names,
                         const PairingRule& rule) {
    FolderPairing pairing;
    const std::filesystem::path base(folder);
    const auto path_of = [&](const std::string& name) { return (base / name).string(); };
    const bool by_globs = !rule.ad.empty() || !rule.eg.empty();
    std::map<std::string, StemFiles> stems; // by the stem in lower case
    for (const std::string& name : names) {
        if (!is_pattern_file(name)) {
            continue;
        }
        if (!by_globs) {
            if (const auto side = side_of_name(name)) {
                StemFiles& files = stems[lower(side->stem)];
                (side->glycolated ? files.eg : files.ad).push_back({name, side->stem});
            } else {
                pairing.unpaired.push_back(
                    {path_of(name), "its name ends in neither AD nor EG (or gly)"});
            }
            continue;
        }
        const auto ad = glob_stem(rule.ad, name);
        const auto eg = glob_stem(rule.eg, name);
        if (ad && eg) {
            pairing.unpaired.push_back(
                {path_of(name), "it matches both the AD and the EG pattern"});
        } else if (ad || eg) {
            StemFiles& files = stems[lower(ad ? *ad : *eg)];
            (ad ? files.ad : files.eg).push_back({name, ad ? *ad : *eg});
        } else {
            pairing.unpaired.push_back(
                {path_of(name), "it matches neither the AD nor the EG pattern"});
        }
    }
    for (const auto& [key, files] : stems) {
        if (files.ad.size() == 1 && files.eg.size() == 1) {
            const SideFile& ad = files.ad.front();
            const std::string name =
                ad.stem.empty() ? std::filesystem::path(ad.name).stem().string() : ad.stem;
            pairing.pairs.push_back({name, path_of(ad.name), path_of(files.eg.front().name)});
            continue;
        }
        const std::string reason =
            files.eg.empty()   ? std::string("no EG partner")
            : files.ad.empty() ? std::string("no AD partner")
                               : "more than one partner: " + std::to_string(files.ad.size()) +
                                     " AD and " + std::to_string(files.eg.size()) +
                                     " EG files share the stem \"" + files.ad.front().stem + "\"";
        for (const auto* side : {&files.ad, &files.eg}) {
            for (const SideFile& file : *side) {
                pairing.unpaired.push_back({path_of(file.name), reason});
            }
        }
    }
    std::sort(
        pairing.pairs.begin(), pairing.pairs.end(),
        [](const PatternPair& a, const PatternPair& b) { return natural_less(a.name, b.name); });
    std::sort(
        pairing.unpaired.begin(), pairing.unpaired.end(),
        [](const UnpairedFile& a, const UnpairedFile& b) { return natural_less(a.path, b.path); });
    return pairing;
}

Outcome<FolderPairing> pair_folder(const std::string& folder, const PairingRule& rule) {
    const auto refusal = [&](const std::error_code& ec) {
        return Failure{"The folder \"" + folder + "\" cannot be read: " + ec.message() + "."};
    };
    std::error_code ec;
    std::filesystem::directory_iterator entry(folder, ec);
    if (ec) {
        return refusal(ec);
    }
    std::vector<std::string> names;
    std::size_t entries = 0;
    for (; entry != std::filesystem::directory_iterator(); entry.increment(ec)) {
        if (++entries > kMostFolderEntries) {
            return Failure{"The folder \"" + folder + "\" holds more than " +
                           std::to_string(kMostFolderEntries) + " entries; Teravine pairs no " +
                           "folder that large."};
        }
        std::error_code type_ec;
        if (entry->is_regular_file(type_ec)) {
            names.push_back(entry->path().filename().string());
        }
    }
    if (ec) {
        return refusal(ec);
    }
    return pair_files(folder, names, rule);
}

} // namespace teravine
