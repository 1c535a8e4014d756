// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/calibration.h"

#include "model/polynomial.h"

#include <cmath>

namespace teravine {
namespace {

using Rows = std::array<std::array<float, 5>, 5>; // rows k = 0, 0.5, 1, 2, 3; c1..c5

constexpr Rows kEgR0{{{1, 0, 0, 0, 0},
                      {0.9312f, 0.2336f, -1.0627f, 1.0841f, -0.4153f},
                      {0.8766f, 0.1019f, -0.5412f, 0.2154f, -0.0067f},
                      {0.8159f, -0.1936f, 0.0429f, -0.2241f, 0.1203f},
                      {0.7556f, -0.1174f, -0.2736f, 0.1853f, -0.0437f}}};

constexpr Rows kEgR1{{{1, 0, 0, 0, 0},
                      {0.9091f, 0.3839f, -1.4307f, 1.2627f, -0.3897f},
                      {0.8822f, 0.049f, -0.6929f, 0.4527f, -0.0905f},
                      {0.8178f, -0.2738f, -0.2219f, 0.2103f, -0.0464f},
                      {0.7798f, -0.3909f, -0.0534f, 0.1181f, -0.0273f}}};

constexpr Rows kEgR3{{{1, 0, 0, 0, 0},
                      {0.9723f, -0.3592f, 1.1556f, -2.7084f, 1.6881f},
                      {0.8787f, 0.0309f, -1.252f, 1.2005f, -0.3054f},
                      {0.8313f, -0.6124f, -0.0838f, 0.3058f, -0.0289f},
                      {0.9217f, -1.795f, 2.9718f, -3.0195f, 1.279f}}};

constexpr Rows kInvNR0{{{0.1042f, 0.1487f, 0.2428f, -0.5353f, 0.2421f},
                        {0.1267f, -0.2003f, 0.7998f, -0.9845f, 0.3742f},
                        {0.0889f, 0.0114f, 0.0132f, -0.0687f, 0.0337f},
                        {0.064f, -0.0012f, -0.0242f, 0.0098f, -0.0009f},
                        {0.0485f, -0.0086f, -0.0099f, 0.0032f, 0.0003f}}};

constexpr Rows kInvNR1{{{0.1042f, 0.1487f, 0.2428f, -0.5353f, 0.2421f},
                        {0.1106f, -0.0449f, 0.3137f, -0.4338f, 0.1649f},
                        {0.0879f, 0.0234f, -0.0665f, 0.0288f, -0.0026f},
                        {0.0658f, -0.0222f, -0.0121f, 0.012f, -0.0025f},
                        {0.05f, -0.0278f, 0.0056f, 0.0005f, 0.0001f}}};

constexpr Rows kInvNR3{{{0.1042f, 0.1487f, 0.2428f, -0.5353f, 0.2421f},
                        {0.1063f, 0.0145f, 0.0492f, -0.0933f, 0.0284f},
                        {0.0885f, 0.0096f, -0.0945f, 0.0656f, -0.0016f},
                        {0.0697f, -0.084f, 0.1208f, -0.1442f, 0.078f},
                        {0.0769f, -0.2645f, 0.6287f, -0.723f, 0.3133f}}};

void write_rows(CoefTable& table, std::size_t reich, const Rows& rows) {
    for (std::size_t row = 1; row <= 5; ++row) {
        for (std::size_t power = 1; power <= 5; ++power) {
            table[reich][row][power] = rows[row - 1][power - 1];
        }
    }
}

void set_world(WorldWindow& world, float range, float intervals) {
    world.xmin = world.ymin = 0;
    world.xmax = world.ymax = range;
    const float unit = range / intervals;
    world.xstep = world.ystep = world.xunit = world.yunit = unit;
    world.nx = world.ny = intervals;
    world.xminor = world.yminor = 5;
}

} // namespace

void init_calibration(Calibration& cal) {
    cal.reich_name = {"", "R0", "R1", "R3"};
    cal.k_row = kKRow;
}

void load_reich(Calibration& cal, WorldWindow& world) {
    const auto r = static_cast<std::size_t>(cal.reich);
    if (r >= cal.iw_range.size()) {
        return;
    }
    cal.iw_range[r] = 1.1f;
    switch (cal.reich) {
    case 1:
    case 2:
        set_world(world, 1.1f, 11.0f);
        write_rows(cal.coef_eg, r, cal.reich == 1 ? kEgR0 : kEgR1);
        write_rows(cal.coef_invn, r, cal.reich == 1 ? kInvNR0 : kInvNR1);
        break;
    case 3:
        cal.iw_range[r] = 0.9f;
        set_world(world, 0.9f, 9.0f);
        write_rows(cal.coef_eg, r, kEgR3);
        write_rows(cal.coef_invn, r, kInvNR3);
        break;
    default:
        break;
    }

    const auto points = static_cast<int>(std::lround(static_cast<double>(cal.iw_range[r]) * 100));
    for (int row = 1; row <= 5; ++row) {
        for (int i = 1; i <= points && i <= kCurvePoints; ++i) {
            auto& point = cal.k_curve[static_cast<std::size_t>(i)];
            const auto ad = static_cast<float>(i / 100.0);
            point[1][static_cast<std::size_t>(row)] = ad;
            point[2][static_cast<std::size_t>(row)] =
                Pol5_0(cal.coef_eg, cal.reich, static_cast<std::int16_t>(row), ad);
        }
    }
}

Calibration make_calibration(std::int16_t reich, WorldWindow* world) {
    // Like the window: R0 first, so the k curves hold all 110 points under R3 too.
    Calibration cal;
    init_calibration(cal);
    WorldWindow loaded;
    cal.reich = 1;
    load_reich(cal, loaded);
    if (reich != 1) {
        cal.reich = reich;
        load_reich(cal, loaded);
    }
    if (world != nullptr) {
        *world = loaded;
    }
    return cal;
}

std::int16_t reich_from_name(const std::string& name) {
    if (name == "R0") {
        return 1;
    }
    if (name == "R1") {
        return 2;
    }
    return name == "R3" ? 3 : 0;
}

} // namespace teravine
