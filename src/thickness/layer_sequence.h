// SPDX-License-Identifier: GPL-3.0-or-later
// The order of illite and smectite layers in a stack of illite-smectite: a Markov chain
// whose memory is the Reichweite.
#pragma once

#include "text/outcome.h"
#include "thickness/layer_structure.h"

#include <string_view>
#include <vector>

namespace teravine {

enum class Reichweite { R0, R1, R3 };

// "R0", "R1", "R3".
std::string_view reichweite_name(Reichweite r);

// The chain's states, each the kind of the layer last laid, with the share of the layers in
// each state and the probability of the next layer's state: junction[a * states + b].
struct LayerSequence {
    std::vector<LayerKind> kind;
    std::vector<double> share;
    std::vector<double> junction;

    std::size_t states() const { return kind.size(); }
};

// The chain for a share of smectite layers (0 to 1) and its Reichweite: R0 lays each layer
// by the shares alone; R1 and R3 with the greatest order they allow, each smectite layer
// followed by at least one (R1) or three (R3) illite layers, the illite layers otherwise
// followed by smectite at the rate that keeps the share (Reynolds 1980). The states count
// the illite layers laid since the last smectite, up to the Reichweite, so the next
// layer's kind hangs on them alone. R1 takes up to 50 % smectite and R3 up to 25 %; more
// is refused, as no such order holds it.
Outcome<LayerSequence> layer_sequence(double smectite, Reichweite r, LayerKind smectite_kind);

} // namespace teravine
