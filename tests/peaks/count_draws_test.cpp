// SPDX-License-Identifier: GPL-3.0-or-later
// The resampling's own draws: the moments of their distributions, and the logarithm and
// exponential they are built on against the library's.
#include "peaks/count_draws.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace teravine {
namespace {

constexpr int kDraws = 200000;

struct Moments {
    double mean = 0, variance = 0;
};

template <typename Draw> Moments moments_of(Draw draw) {
    double sum = 0, sum2 = 0;
    for (int k = 0; k < kDraws; ++k) {
        const double value = draw();
        sum += value;
        sum2 += value * value;
    }
    const double mean = sum / kDraws;
    return {mean, (sum2 - kDraws * mean * mean) / (kDraws - 1)};
}

TEST(CountDraws, PoissonHasItsMeanAsMeanAndVariance) {
    for (const double mean : {0.0, 0.4, 3.0, 12.5, 29.9}) {
        CountDraws draws(7);
        const auto m = moments_of([&] { return static_cast<double>(draws.poisson(mean)); });
        // Five standard errors of the mean and of the variance.
        EXPECT_NEAR(m.mean, mean, 5 * std::sqrt(mean / kDraws) + 1e-12) << mean;
        EXPECT_NEAR(m.variance, mean, 5 * std::sqrt((mean + 2 * mean * mean) / kDraws) + 1e-12)
            << mean;
    }
}

TEST(CountDraws, NormalIsStandardAndSymmetric) {
    CountDraws draws(11);
    int beyond_two = 0;
    const auto m = moments_of([&] {
        const double value = draws.normal();
        beyond_two += std::abs(value) > 2;
        return value;
    });
    EXPECT_NEAR(m.mean, 0, 5 / std::sqrt(kDraws));
    EXPECT_NEAR(m.variance, 1, 5 * std::sqrt(2.0 / kDraws));
    // P(|z| > 2) = 0.0455.
    EXPECT_NEAR(beyond_two / double(kDraws), 0.0455, 5 * std::sqrt(0.0455 * 0.9545 / kDraws));
}

TEST(CountDraws, UniformStaysInItsInterval) {
    CountDraws draws(3);
    for (int k = 0; k < kDraws; ++k) {
        const double u = draws.uniform();
        ASSERT_GE(u, 0);
        ASSERT_LT(u, 1);
    }
}

TEST(CountDraws, LogarithmAndExponentialAgreeWithTheLibrary) {
    for (const double value : {1e-300, 1e-17, 0.001, 0.5, 0.70710678, 0.7071068, 0.999999, 1.0,
                               1.000001, 1.41421356, 2.0, 3.0, 1234.5, 1e300}) {
        EXPECT_NEAR(portable_log(value), std::log(value),
                    4e-16 * std::max(1.0, std::abs(std::log(value))))
            << value;
    }
    for (const double value :
         {-700.0, -30.0, -29.9, -3.0, -0.5, -1e-9, 0.0, 0.3466, 1.0, 88.0, 700.0}) {
        EXPECT_NEAR(portable_exp(value) / std::exp(value), 1, 4e-15) << value;
    }
}

// The bounds of double: overflow, underflow, zero, infinities and NaN, as the library
// gives them (a value below 1e-300 stands for an underflow to zero).
TEST(CountDraws, LogarithmAndExponentialTakeAnyNumber) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    const auto same = [](double got, double want) {
        if (std::isnan(want) || std::isinf(want)) {
            return std::isnan(want) ? std::isnan(got) : got == want;
        }
        return std::abs(want) < 1e-300 ? std::abs(got) < 1e-300
                                       : std::abs(got - want) <= 1e-12 * std::abs(want);
    };
    for (const double value : {-kInf, -1e300, -746.0, 710.0, 1e300, kInf, 4e-320, kNaN}) {
        EXPECT_TRUE(same(portable_exp(value), std::exp(value))) << value;
    }
    for (const double value : {-1.0, -kInf, 0.0, kInf, kNaN, 4e-320}) {
        EXPECT_TRUE(same(portable_log(value), std::log(value))) << value;
    }
}

} // namespace
} // namespace teravine
