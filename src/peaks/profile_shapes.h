// SPDX-License-Identifier: GPL-3.0-or-later
// The peak profiles a pattern's peak is fitted with: pseudo-Voigt and Pearson VII, each
// symmetric or split (its own width and shape below and above the top).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace teravine {

enum class ProfileShape { pseudo_voigt, pearson7, split_pseudo_voigt, split_pearson7 };

// "pseudo-voigt", "pearson7", "split-pseudo-voigt", "split-pearson7".
std::string_view profile_shape_name(ProfileShape shape);
std::optional<ProfileShape> profile_shape_named(std::string_view name);

bool is_split(ProfileShape shape);
bool is_pearson(ProfileShape shape);

// One peak. Each side is the half of a symmetric profile of FWHM `width` and shape
// `mixing`: the Lorentzian share η (0..1) of a pseudo-Voigt, or the exponent m of a
// Pearson VII (1 Lorentzian, large m Gaussian). A symmetric profile has its right side
// equal to its left.
struct Profile {
    ProfileShape shape = ProfileShape::pseudo_voigt;
    double position = 0;
    double height = 0;
    double left_width = 0, right_width = 0;
    double left_mixing = 0.5, right_mixing = 0.5;
};

double profile_value(const Profile& profile, double two_theta);

// A profile's value at 2θ and its slopes by its position, and by the width and the shape
// of the side 2θ lies on (`right` says which), for a fit's Jacobian.
struct ProfileSlopes {
    double value = 0, by_position = 0, by_width = 0, by_mixing = 0;
    bool right = false;
};

// A profile made ready to be evaluated at many points: what each side's width and shape
// fix (a Pearson VII's 2^(1/m) - 1 and its slope by m) is worked out once, not at every
// point, which is where a fit spends its time.
class PreparedProfile {
public:
    explicit PreparedProfile(const Profile& profile);
    const Profile& profile() const { return profile_; }
    double value(double two_theta) const;
    ProfileSlopes slopes(double two_theta) const;

private:
    struct Side {
        double width = 1, mixing = 0.5;
        double k = 0, k_by_mixing = 0; // of a Pearson VII: 2^(1/m) - 1 and its slope by m
    };
    static Side side(bool pearson, double width, double mixing);

    Profile profile_;
    bool pearson_;
    Side left_, right_;
};

// The full width at half maximum: the mean of the two sides' widths, each side at half its
// top half its own width from the position.
double profile_fwhm(const Profile& profile);

// Area over height.
double profile_breadth(const Profile& profile);

// The Lorentzian share η of the pseudo-Voigt whose full width at a fifth of its height is
// `ratio` times its FWHM: from 1.52 for a Gaussian to 2 for a Lorentzian, 0 or 1 beyond.
double pseudo_voigt_mixing(double ratio);

// Likewise the exponent m of the Pearson VII: 1 (a Lorentzian) at 2, growing towards a
// Gaussian as the ratio falls to 1.52, at most kMostPearsonExponent. Of one width at half
// and at a fifth of the height, the Pearson VII's tails fall faster than the pseudo-Voigt's.
inline constexpr double kMostPearsonExponent = 50;
double pearson7_exponent(double ratio);

} // namespace teravine
