// SPDX-License-Identifier: GPL-3.0-or-later
#include "thickness/layer_structure.h"

#include "thickness/scattering_factors.h"

#include <cmath>
#include <numbers>
#include <span>

namespace teravine {
namespace {

// Atoms per O10(OH)2 in a plane at height z (Å) from the layer's centre; a plane off the
// centre stands for two, at +z and -z, each holding `count`.
struct Plane {
    Element element;
    double count;
    double z;
};

constexpr double kApical = 1.05;
constexpr double kTetrahedral = 2.70;
constexpr double kBasal = 3.30;
constexpr double kGlycolSheet = kBasal + 3.4;

constexpr Plane kIllite[] = {
    {Element::Al, 2.0, 0},
    {Element::O, 3.0, kApical},
    {Element::Si, 1.625, kTetrahedral},
    {Element::Al, 0.375, kTetrahedral},
    {Element::O, 3.0, kBasal},
    {Element::K, 0.375, 10.0 / 2},
};

constexpr Plane kSmectiteGlycolated[] = {
    {Element::Al, 1.67, 0},          {Element::Mg, 0.33, 0},
    {Element::O, 3.0, kApical},      {Element::Si, 2.0, kTetrahedral},
    {Element::O, 3.0, kBasal},       {Element::C, 2.0, kGlycolSheet},
    {Element::O, 2.0, kGlycolSheet}, {Element::H, 6.0, kGlycolSheet},
    {Element::Ca, 0.085, 16.9 / 2},
};

constexpr Plane kSmectiteAirDried[] = {
    {Element::Al, 1.67, 0},           {Element::Mg, 0.33, 0},         {Element::O, 3.0, kApical},
    {Element::Si, 2.0, kTetrahedral}, {Element::O, 3.0, kBasal},      {Element::O, 1.0, 12.5 / 2},
    {Element::H, 2.0, 12.5 / 2},      {Element::Ca, 0.085, 12.5 / 2},
};

std::span<const Plane> planes(LayerKind kind) {
    switch (kind) {
    case LayerKind::illite:
        return kIllite;
    case LayerKind::smectite_air_dried:
        return kSmectiteAirDried;
    case LayerKind::smectite_glycolated:
        break;
    }
    return kSmectiteGlycolated;
}

} // namespace

double layer_spacing(LayerKind kind) {
    switch (kind) {
    case LayerKind::illite:
        return 10.0;
    case LayerKind::smectite_air_dried:
        return 12.5;
    case LayerKind::smectite_glycolated:
        break;
    }
    return 16.9;
}

std::string_view layer_kind_name(LayerKind kind) {
    switch (kind) {
    case LayerKind::illite:
        return "illite";
    case LayerKind::smectite_air_dried:
        return "smectite (air-dried)";
    case LayerKind::smectite_glycolated:
        break;
    }
    return "smectite (glycolated)";
}

double layer_structure_factor(LayerKind kind, double s) {
    double f = 0;
    for (const Plane& p : planes(kind)) {
        const double phase = p.z == 0 ? 1 : 2 * std::cos(2 * std::numbers::pi * s * p.z);
        f += p.count * scattering_factor(p.element, s) * phase;
    }
    return f;
}

} // namespace teravine
