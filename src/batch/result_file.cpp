// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/result_file.h"

#include "text/number_text.h"

namespace teravine {

std::array<std::string, 5> result_header(std::string_view title, std::string_view reich_name,
                                         float broadening, std::string_view rule_name) {
    return {std::string(title), "Reichweite:\t" + std::string(reich_name),
            "Instrumental broadening:\t" + number_text(broadening),
            "Instrumental broadening type :\t" + std::string(rule_name),
            "IW_AD\tIW_EG\tN\tS\tk\tNfd"};
}

} // namespace teravine
