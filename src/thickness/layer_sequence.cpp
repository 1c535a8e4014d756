// SPDX-License-Identifier: GPL-3.0-or-later
#include "thickness/layer_sequence.h"

#include <string>

namespace teravine {

std::string_view reichweite_name(Reichweite r) {
    switch (r) {
    case Reichweite::R0:
        return "R0";
    case Reichweite::R1:
        return "R1";
    case Reichweite::R3:
        break;
    }
    return "R3";
}

Outcome<LayerSequence> layer_sequence(double smectite, Reichweite r, LayerKind smectite_kind) {
    if (!(smectite >= 0 && smectite <= 1)) {
        return Failure{"the share of smectite layers lies between 0 and 100 %"};
    }
    LayerSequence chain;
    if (smectite == 0 || smectite == 1) {
        chain.kind = {smectite == 0 ? LayerKind::illite : smectite_kind};
        chain.share = {1};
        chain.junction = {1};
        return chain;
    }
    const int memory = r == Reichweite::R0 ? 0 : r == Reichweite::R1 ? 1 : 3;
    if (memory > 0 && smectite > 1.0 / (memory + 1) + 1e-12) {
        return Failure{std::string(reichweite_name(r)) + " orders at most " +
                       (memory == 1 ? "50" : "25") + " % smectite layers, each followed by " +
                       (memory == 1 ? "an illite layer" : "three illite layers")};
    }
    if (memory == 0) {
        // The kind of the layer laid, with nothing remembered.
        chain.kind = {smectite_kind, LayerKind::illite};
        chain.share = {smectite, 1 - smectite};
        chain.junction = {smectite, 1 - smectite, smectite, 1 - smectite};
        return chain;
    }
    // State 0: a smectite layer; state i: the i-th illite layer since, the last state
    // standing for that many or more. Only the last state lays smectite, at the rate q
    // that makes the share: with m states of illite, S = q / (m q + 1).
    const auto m = static_cast<std::size_t>(memory);
    const double q = smectite / (1 - static_cast<double>(m) * smectite);
    const std::size_t states = m + 1;
    chain.kind.assign(states, LayerKind::illite);
    chain.kind[0] = smectite_kind;
    chain.junction.assign(states * states, 0.0);
    for (std::size_t a = 0; a + 1 < states; ++a) {
        chain.junction[a * states + a + 1] = 1;
    }
    chain.junction[m * states + 0] = q;
    chain.junction[m * states + m] = 1 - q;
    chain.share.assign(states, smectite);
    chain.share[m] = smectite / q;
    return chain;
}

} // namespace teravine
