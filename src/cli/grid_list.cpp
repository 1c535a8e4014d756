#include "cli/grid_list.h"

namespace teravine::cli {

Outcome<GridSwitches> parse_grid_list(const std::string& list, bool allow_k) {
    GridSwitches checks;
    checks.k = checks.n = checks.s = checks.fp = false;
    if (list.empty()) {
        return checks;
    }
    const std::string accepted = allow_k ? "k, N, S or Nfp" : "N, S or Nfp";
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = list.find(',', start);
        const std::string name =
            list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (name == "N") {
            checks.n = true;
        } else if (name == "S") {
            checks.s = true;
        } else if (name == "Nfp") {
            checks.fp = true;
        } else if (name == "k" && allow_k) {
            checks.k = true;
        } else {
            return Failure{"--grids: unknown grid \"" + name + "\" (expected a comma-separated " +
                           "list of " + accepted + ")"};
        }
        if (comma == std::string::npos) {
            return checks;
        }
        start = comma + 1;
    }
}

} // namespace teravine::cli
