// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <random>

namespace teravine {

// Random counts that every build draws alike, native and WebAssembly. The engine is
// std::mt19937_64, whose output the C++ standard fixes bit for bit; the standard library's
// distributions, and its exp and log, are each library's own algorithms and may differ in
// the last bit or in the method. Everything here is therefore drawn with the basic
// arithmetic operations and the square root, which IEEE 754 rounds alike everywhere.
class CountDraws {
public:
    explicit CountDraws(std::uint64_t seed) : engine_(seed) {}

    // Uniform in [0, 1): the top 53 bits of one output of the engine.
    double uniform();
    // Standard normal, by Marsaglia's polar method (two deviates per accepted pair).
    double normal();
    // Poisson of the mean by counting uniform products above e^-mean (Knuth): the cost
    // grows with the mean, so it is meant for small means only (below about 30).
    long long poisson(double mean);
    // A count of that mean as a detector gives it: Poisson, drawn as poisson() below a mean
    // of 30 and above it as the normal count of that mean and variance, rounded (from a
    // mean of 30 on the two differ in the third moment only, and counting products would
    // take as many draws as the mean).
    double count(double mean);

private:
    std::mt19937_64 engine_;
    double spare_ = 0;
    bool has_spare_ = false;
};

// The natural logarithm of a positive finite value and the exponential of a value between
// -700 and 700, by the same arithmetic on every build, within a few units in the last place.
double portable_log(double value);
double portable_exp(double value);

} // namespace teravine
