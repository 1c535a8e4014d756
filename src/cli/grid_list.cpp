// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/grid_list.h"

namespace teravine::cli {
namespace {

struct Families {
    bool k = false, n = false, s = false, fp = false;
};

// "k,N,S,Nfp" into four switches; every name not listed is off.
Outcome<Families> parse_families(const std::string& list, bool allow_k, const std::string& option,
                                 const std::string& what) {
    Families on;
    if (list.empty()) {
        return on;
    }
    const std::string accepted = allow_k ? "k, N, S or Nfp" : "N, S or Nfp";
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = list.find(',', start);
        const std::string name =
            list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (name == "N") {
            on.n = true;
        } else if (name == "S") {
            on.s = true;
        } else if (name == "Nfp") {
            on.fp = true;
        } else if (name == "k" && allow_k) {
            on.k = true;
        } else {
            return Failure{option + ": unknown " + what + " \"" + name +
                           "\" (expected a comma-separated list of " + accepted + ")"};
        }
        if (comma == std::string::npos) {
            return on;
        }
        start = comma + 1;
    }
}

} // namespace

Outcome<GridSwitches> parse_grid_list(const std::string& list, bool allow_k) {
    const auto on = parse_families(list, allow_k, "--grids", "grid");
    if (!on) {
        return Failure{on.error()};
    }
    return GridSwitches{on->k, on->n, on->s, on->fp};
}

Outcome<IdenticalSwitches> parse_identical_list(const std::string& list) {
    const auto on = parse_families(list, true, "--identical", "line");
    if (!on) {
        return Failure{on.error()};
    }
    return IdenticalSwitches{on->k, on->n, on->s, on->fp};
}

} // namespace teravine::cli
