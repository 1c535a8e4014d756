// SPDX-License-Identifier: GPL-3.0-or-later
// The layers of illite and of smectite along c*: their 001 spacing and their structure
// factor, the amplitude one layer scatters with along the 00l row.
#pragma once

#include <string_view>

namespace teravine {

// Smectite swells: its spacing and its interlayer are those of the preparation.
enum class LayerKind { illite, smectite_air_dried, smectite_glycolated };

// The 001 spacing, Å: illite 10.0; smectite 12.5 air-dried (one sheet of water, as Na
// smectite and Ca smectite in a dry room hold it; between 12 and 15 Å with the cation and
// the humidity) and 16.9 glycolated.
double layer_spacing(LayerKind kind);

// "illite", "smectite (air-dried)", "smectite (glycolated)".
std::string_view layer_kind_name(LayerKind kind);

// The structure factor of one layer at s = 2 sin θ / λ (Å⁻¹), electrons per O10(OH)2.
// A layer is taken as its 2:1 silicate layer with half of the interlayer on either side,
// centred on its octahedral sheet: it is then symmetric and its structure factor real.
// The silicate layer's planes are those of 2M1 phengite (Pavese, Ferraris, Pischedda &
// Ibberson 1999, Eur. J. Mineral. 11, 309-320, at 293 K: z · c sin β of their atoms,
// rounded): octahedral cations at 0, apical oxygens and OH at ±1.05 Å, tetrahedral
// cations at ±2.70 Å, basal oxygens at ±3.30 Å. Illite is K0.75 Al2 (Si3.25 Al0.75)
// O10(OH)2, its K at the interlayer's middle; smectite is Ca0.17 (Al1.67 Mg0.33) Si4
// O10(OH)2. Glycolated, its interlayer holds two sheets of ethylene glycol, one molecule
// per O10(OH)2 in each (Bradley, Weiss & Rowland 1963, Clays Clay Miner. 10, 117, for the
// glycol-vermiculite complex), the cations between them (Reynolds 1965, CRREL Research
// Report 171, the two-sheet complex of glycol-montmorillonite); each sheet's atoms are taken in one
// plane 3.4 Å above the basal oxygens. Air-dried, it holds one sheet of water, two H2O per
// O10(OH)2, in the interlayer's middle with the cations. The hydrogens of OH are left out.
double layer_structure_factor(LayerKind kind, double s);

} // namespace teravine
