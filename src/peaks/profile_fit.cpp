// SPDX-License-Identifier: GPL-3.0-or-later
#include "peaks/profile_fit.h"

#include "formats/anode.h"
#include "peaks/count_scale.h"
#include "peaks/peak_edges.h"

#include <gsl/gsl_blas.h>
#include <gsl/gsl_errno.h>
#include <gsl/gsl_matrix.h>
#include <gsl/gsl_multifit_nlinear.h>
#include <gsl/gsl_vector.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

namespace teravine {
namespace {

constexpr std::size_t kMaxIterations = 200;
constexpr std::size_t kTrialIterations = 30;
constexpr double kMinPearson = 0.6, kMaxPearson = 50;
const double kDegree = std::acos(-1.0) / 180;

// Onto 0..1 and back: a shape that touches a bound can still leave it, as the map's slope
// comes back on the far side.
double onto_unit(double t) {
    return (1 + std::sin(t)) / 2;
}
double from_unit(double v) {
    return std::asin(std::clamp(2 * v - 1, -1.0, 1.0));
}

// The parameters of the least squares, free of bounds: per component its position, the
// logarithms of its height and widths, and its shapes through a sine; then the
// background's coefficients.
struct Layout {
    ProfileShape shape;
    int components = 1;
    int background = 2;

    std::size_t per_component() const { return is_split(shape) ? 6 : 4; }
    std::size_t size() const {
        return per_component() * static_cast<std::size_t>(components) +
               static_cast<std::size_t>(background);
    }
    std::size_t background_at() const {
        return per_component() * static_cast<std::size_t>(components);
    }
    double mixing(double t) const {
        return is_pearson(shape) ? kMinPearson + (kMaxPearson - kMinPearson) * onto_unit(t)
                                 : onto_unit(t);
    }
    double unmixing(double m) const {
        return is_pearson(shape) ? from_unit((m - kMinPearson) / (kMaxPearson - kMinPearson))
                                 : from_unit(m);
    }
    Profile profile(const double* p, int c) const {
        const double* q = p + per_component() * static_cast<std::size_t>(c);
        Profile profile{shape,          q[0],         std::exp(q[1]), std::exp(q[2]),
                        std::exp(q[2]), mixing(q[3]), mixing(q[3])};
        if (is_split(shape)) {
            profile.right_width = std::exp(q[4]);
            profile.right_mixing = mixing(q[5]);
        }
        return profile;
    }
    void set(std::vector<double>& p, int c, const Profile& profile) const {
        double* q = p.data() + per_component() * static_cast<std::size_t>(c);
        q[0] = profile.position;
        q[1] = std::log(profile.height);
        q[2] = std::log(profile.left_width);
        q[3] = unmixing(profile.left_mixing);
        if (is_split(shape)) {
            q[4] = std::log(profile.right_width);
            q[5] = unmixing(profile.right_mixing);
        }
    }
};

struct Data {
    const double* x;
    const double* y;
    std::size_t n;
    Layout layout;
    double centre, half_span;
    double ratio, wavelength_ratio;
    const double* sizes = nullptr; // the points summed into each, when the points are binned

    // A point's weight by its counts: a bin's mean of m points has the variance counts / m.
    double weight(std::size_t i, double counts) const {
        return (sizes ? sizes[i] : 1.0) / std::max(counts, 1.0);
    }
};

// A range recorded in very fine steps is fitted on the means of neighbouring points: their
// sums are counted as well, no profile changes within a bin far narrower than any peak, and
// the fit costs what a few thousand points cost, however many were recorded.
constexpr std::size_t kMaxFitPoints = 4096;

struct Bins {
    std::vector<double> x, y, sizes;
};

Bins binned(const double* x, const double* y, std::size_t n) {
    const std::size_t per_bin = (n + kMaxFitPoints - 1) / kMaxFitPoints;
    Bins bins;
    for (std::size_t i = 0; i < n; i += per_bin) {
        const std::size_t m = std::min(per_bin, n - i);
        double sx = 0, sy = 0;
        for (std::size_t j = i; j < i + m; ++j) {
            sx += x[j];
            sy += y[j];
        }
        bins.x.push_back(sx / static_cast<double>(m));
        bins.y.push_back(sy / static_cast<double>(m));
        bins.sizes.push_back(static_cast<double>(m));
    }
    return bins;
}

double alpha2_position(double position, double wavelength_ratio) {
    const double s = std::min(1.0, wavelength_ratio * std::sin(position / 2 * kDegree));
    return 2 * std::asin(s) / kDegree;
}

// d alpha2_position / d position.
double alpha2_slope(double position, double wavelength_ratio) {
    const double s = wavelength_ratio * std::sin(position / 2 * kDegree);
    if (!(s < 1)) {
        return 0;
    }
    return wavelength_ratio * std::cos(position / 2 * kDegree) / std::sqrt(1 - s * s);
}

// The model of one set of parameters: its lines (each component's Kα1, then its Kα2)
// worked out once, then evaluated point by point.
class Model {
public:
    Model(const Data& d, const double* p) : d_(d), p_(p) {
        for (int c = 0; c < d.layout.components; ++c) {
            Profile profile = d.layout.profile(p, c);
            lines_.emplace_back(profile);
            if (d.ratio > 0) {
                slopes_.push_back(alpha2_slope(profile.position, d.wavelength_ratio));
                profile.position = alpha2_position(profile.position, d.wavelength_ratio);
                profile.height *= d.ratio;
                lines_.emplace_back(profile);
            }
        }
    }
    double operator()(double x) const {
        const std::size_t b = d_.layout.background_at();
        const double t = (x - d_.centre) / d_.half_span;
        double value = 0, power = 1;
        for (int k = 0; k < d_.layout.background; ++k) {
            value += p_[b + static_cast<std::size_t>(k)] * power;
            power *= t;
        }
        for (const PreparedProfile& line : lines_) {
            value += line.value(x);
        }
        return value;
    }
    // The lines of component c: its Kα1 and, with the doublet, its Kα2 with the slope of
    // its position by the Kα1's.
    const PreparedProfile& alpha1(int c) const { return lines_[index(c)]; }
    const PreparedProfile* alpha2(int c) const {
        return d_.ratio > 0 ? &lines_[index(c) + 1] : nullptr;
    }
    double alpha2_slope_of(int c) const { return slopes_[static_cast<std::size_t>(c)]; }

private:
    std::size_t index(int c) const { return static_cast<std::size_t>(c) * (d_.ratio > 0 ? 2 : 1); }
    const Data& d_;
    const double* p_;
    std::vector<PreparedProfile> lines_;
    std::vector<double> slopes_;
};

// The model's values and its slopes by the parameters at every point, row by row: the
// profiles' own slopes carried through the logarithms of height and widths and the sines of
// the shapes. False where a value or a slope is not finite.
bool evaluate(const Data& d, const double* p, double* values, double* jacobian) {
    const Layout& l = d.layout;
    const std::size_t size = l.size();
    const std::size_t b = l.background_at();
    const bool split = is_split(l.shape);
    const double span = is_pearson(l.shape) ? kMaxPearson - kMinPearson : 1.0;
    const Model model(d, p);
    // The slope of each shape by its parameter's sine, per component and side.
    std::vector<double> shape_slope(2 * static_cast<std::size_t>(l.components));
    for (int c = 0; c < l.components; ++c) {
        const double* q = p + l.per_component() * static_cast<std::size_t>(c);
        shape_slope[2 * static_cast<std::size_t>(c)] = span * std::cos(q[3]) / 2;
        shape_slope[2 * static_cast<std::size_t>(c) + 1] = span * std::cos(split ? q[5] : q[3]) / 2;
    }
    std::fill(jacobian, jacobian + d.n * size, 0.0);
    for (std::size_t i = 0; i < d.n; ++i) {
        double* row = jacobian + i * size;
        const double x = d.x[i];
        const double t = (x - d.centre) / d.half_span;
        double value = 0, power = 1;
        for (int k = 0; k < l.background; ++k) {
            value += p[b + static_cast<std::size_t>(k)] * power;
            row[b + static_cast<std::size_t>(k)] = power;
            power *= t;
        }
        for (int c = 0; c < l.components; ++c) {
            const std::size_t at = l.per_component() * static_cast<std::size_t>(c);
            const double* slopes = &shape_slope[2 * static_cast<std::size_t>(c)];
            const PreparedProfile& alpha1 = model.alpha1(c);
            const Profile& profile = alpha1.profile();
            const auto add = [&](const ProfileSlopes& s, double position_slope) {
                const bool right = split && s.right;
                const double width = right ? profile.right_width : profile.left_width;
                value += s.value;
                row[at] += s.by_position * position_slope;
                row[at + 1] += s.value;
                row[at + (right ? 4 : 2)] += s.by_width * width;
                row[at + (right ? 5 : 3)] += s.by_mixing * slopes[right ? 1 : 0];
            };
            add(alpha1.slopes(x), 1.0);
            if (const PreparedProfile* alpha2 = model.alpha2(c)) {
                add(alpha2->slopes(x), model.alpha2_slope_of(c));
            }
        }
        values[i] = value;
        for (std::size_t j = 0; j < size; ++j) {
            if (!std::isfinite(row[j])) {
                return false;
            }
        }
    }
    return true;
}

// The least squares as the solver sees it. The solver asks for the Jacobian at each step it
// takes, after the residuals there; the residuals are worked out with the Jacobian beside
// them, which is kept for that call, so each profile is evaluated once a step.
struct Problem {
    const Data& d;
    std::vector<double> kept_p;   // the parameters of the kept Jacobian; empty for none
    std::vector<double> jacobian; // n × size, row by row
    std::vector<double> values;   // n
};

int residuals(const gsl_vector* p, void* data, gsl_vector* f) {
    auto& problem = *static_cast<Problem*>(data);
    const Data& d = problem.d;
    const std::size_t size = d.layout.size();
    problem.kept_p.clear();
    problem.jacobian.resize(d.n * size);
    problem.values.resize(d.n);
    const std::vector<double> at(p->data, p->data + size);
    if (!evaluate(d, at.data(), problem.values.data(), problem.jacobian.data())) {
        return GSL_EBADFUNC;
    }
    for (std::size_t i = 0; i < d.n; ++i) {
        const double r = problem.values[i] - d.y[i];
        if (!std::isfinite(r)) {
            return GSL_EBADFUNC;
        }
        gsl_vector_set(f, i, r);
    }
    problem.kept_p = at;
    return GSL_SUCCESS;
}

int jacobian(const gsl_vector* p, void* data, gsl_matrix* jac) {
    auto& problem = *static_cast<Problem*>(data);
    const Data& d = problem.d;
    const std::size_t size = d.layout.size();
    const std::vector<double> at(p->data, p->data + size);
    if (problem.kept_p != at) {
        problem.jacobian.resize(d.n * size);
        problem.values.resize(d.n);
        if (!evaluate(d, at.data(), problem.values.data(), problem.jacobian.data())) {
            return GSL_EBADFUNC;
        }
    }
    for (std::size_t i = 0; i < d.n; ++i) {
        std::copy_n(problem.jacobian.data() + i * size, size, gsl_matrix_ptr(jac, i, 0));
    }
    return GSL_SUCCESS;
}

struct Solution {
    std::vector<double> p;
    std::vector<double> covariance; // size × size, scaled by the reduced χ² when above 1
    double chi2 = 0;
    int status = GSL_SUCCESS;
    int iterations = 0;
};

// `rounds` 2 reweights from the fitted counts; a trial from one of several starts takes one
// round of fewer iterations.
Solution solve(const Data& d, const std::vector<double>& start, int rounds = 2,
               std::size_t iterations = kMaxIterations) {
    // GSL's own handler aborts the program; its errors come back as statuses instead.
    static const bool quiet = (gsl_set_error_handler_off(), true);
    (void)quiet;
    const std::size_t size = start.size();
    Solution s;
    s.p = start;
    gsl_multifit_nlinear_parameters parameters = gsl_multifit_nlinear_default_parameters();
    parameters.solver = gsl_multifit_nlinear_solver_cholesky; // a few hundred points, ≤ 21 unknowns
    std::unique_ptr<gsl_multifit_nlinear_workspace, void (*)(gsl_multifit_nlinear_workspace*)> work(
        gsl_multifit_nlinear_alloc(gsl_multifit_nlinear_trust, &parameters, d.n, size),
        gsl_multifit_nlinear_free);
    std::vector<double> weights(d.n);
    for (std::size_t i = 0; i < d.n; ++i) {
        weights[i] = d.weight(i, d.y[i]);
    }
    gsl_multifit_nlinear_fdf fdf{};
    fdf.f = residuals;
    fdf.df = jacobian;
    fdf.fvv = nullptr;
    fdf.n = d.n;
    fdf.p = size;
    Problem problem{d, {}, {}, {}};
    fdf.params = &problem;
    gsl_vector_view x = gsl_vector_view_array(s.p.data(), size);
    gsl_vector_view w = gsl_vector_view_array(weights.data(), d.n);
    // Weights from the counts first, then from the fitted counts: weights from noisy counts
    // favour the points that happen to count low and pull a peak's height down.
    // A first round that ran out of iterations gets a short second one: a fit that the
    // reweighting lets converge does so within a few steps, and one that wanders (a
    // component the counts do not hold) would wander as long again.
    // (GSL says "ran out" also of a start it cannot improve at all.)
    std::size_t allowed = iterations;
    bool ran_out = false;
    for (int round = 0; round < rounds; ++round) {
        if (round == 1) {
            const Model model(d, s.p.data());
            for (std::size_t i = 0; i < d.n; ++i) {
                weights[i] = d.weight(i, model(d.x[i]));
            }
            allowed = ran_out ? kTrialIterations : iterations;
        }
        gsl_multifit_nlinear_winit(&x.vector, &w.vector, &fdf, work.get());
        int info = 0;
        s.status = gsl_multifit_nlinear_driver(allowed, 1e-7, 1e-8, 0.0, nullptr, nullptr, &info,
                                               work.get());
        const std::size_t taken = gsl_multifit_nlinear_niter(work.get());
        ran_out = s.status == GSL_EMAXITER && taken >= allowed;
        s.iterations += static_cast<int>(taken);
        const gsl_vector* found = gsl_multifit_nlinear_position(work.get());
        std::copy(found->data, found->data + size, s.p.begin());
        if (!std::all_of(s.p.begin(), s.p.end(), [](double v) { return std::isfinite(v); })) {
            s.status = GSL_EBADFUNC;
            s.p = start;
            break;
        }
    }
    const gsl_vector* f = gsl_multifit_nlinear_residual(work.get());
    gsl_blas_ddot(f, f, &s.chi2);
    s.covariance.assign(size * size, 0.0);
    gsl_matrix_view covariance = gsl_matrix_view_array(s.covariance.data(), size, size);
    gsl_multifit_nlinear_covar(gsl_multifit_nlinear_jac(work.get()), 0.0, &covariance.matrix);
    const double dof = static_cast<double>(d.n) - static_cast<double>(size);
    const double scale = std::max(1.0, s.chi2 / dof);
    for (double& c : s.covariance) {
        c *= scale;
    }
    return s;
}

// The value of a quantity of the parameters and its standard uncertainty, from the
// covariance and the gradient by central differences.
Estimate estimate(const Solution& s, const std::function<double(const double*)>& quantity) {
    const std::size_t size = s.p.size();
    std::vector<double> p = s.p, gradient(size);
    for (std::size_t j = 0; j < size; ++j) {
        const double h = 1e-6 * std::max(1.0, std::abs(s.p[j]));
        p[j] = s.p[j] + h;
        const double up = quantity(p.data());
        p[j] = s.p[j] - h;
        gradient[j] = (up - quantity(p.data())) / (2 * h);
        p[j] = s.p[j];
    }
    double variance = 0;
    for (std::size_t j = 0; j < size; ++j) {
        for (std::size_t k = 0; k < size; ++k) {
            variance += gradient[j] * s.covariance[j * size + k] * gradient[k];
        }
    }
    return {quantity(s.p.data()), std::sqrt(std::max(variance, 0.0))};
}

// The wavelengths of the pattern's doublet: its own when stated, else those of its anode
// (Cu when none is stated), with the stated intensity ratio or 0.5.
std::pair<double, double> doublet_of(const Pattern& pattern) {
    const double ratio = pattern.alpha2_ratio.value_or(kAssumedAlpha2Ratio);
    const double stated = pattern.wavelength.value_or(kCuKAlpha1);
    const auto lines = anode_lines(anode_of(stated));
    const double alpha1 = lines ? lines->alpha1 : stated;
    const double alpha2 = pattern.alpha2 ? *pattern.alpha2 : lines ? lines->alpha2 : 0.0;
    if (!(alpha2 > alpha1) || !(ratio > 0)) {
        return {0.0, 1.0};
    }
    return {ratio, alpha2 / alpha1};
}

// Components the data do not tell apart: two tops closer than half their mean FWHM, or a
// component whose height is within two standard uncertainties of none. More components
// than peaks split one peak into parts that share its counts at will, and each part's
// width means nothing.
bool unresolved(const std::vector<FittedComponent>& components) {
    for (std::size_t i = 0; i < components.size(); ++i) {
        const FittedComponent& a = components[i];
        if (components.size() > 1 && !(a.height.value > 2 * a.height.u)) {
            return true;
        }
        for (std::size_t j = i + 1; j < components.size(); ++j) {
            const FittedComponent& b = components[j];
            if (std::abs(a.position.value - b.position.value) < (a.fwhm.value + b.fwhm.value) / 4) {
                return true;
            }
        }
    }
    return false;
}

// The solution carried from the count scale back to the pattern's: heights and background
// divided by the factor, the background's covariance with them.
void to_pattern_scale(Solution& s, const Layout& l, double factor) {
    const std::size_t size = s.p.size();
    std::vector<double> by(size, 1.0);
    for (int c = 0; c < l.components; ++c) {
        s.p[l.per_component() * static_cast<std::size_t>(c) + 1] -= std::log(factor);
    }
    for (std::size_t j = l.background_at(); j < size; ++j) {
        s.p[j] /= factor;
        by[j] = 1 / factor;
    }
    for (std::size_t j = 0; j < size; ++j) {
        for (std::size_t k = 0; k < size; ++k) {
            s.covariance[j * size + k] *= by[j] * by[k];
        }
    }
}

// Where the reported component lies against the flank windows of the fitted points
// first..last of the pattern: "edge" and "flank" as a half-height reading has them.
std::vector<std::string> edge_reasons(const ProfileFit& fit, const std::vector<double>& x,
                                      std::size_t first, std::size_t last) {
    const std::size_t window = flank_window(first, last);
    const double inner_lo = x[first + window - 1], inner_hi = x[last + 1 - window];
    const Profile& f = fit.reported().profile;
    const double left = f.position - f.left_width / 2, right = f.position + f.right_width / 2;
    // The tail's rise across each window towards the top, of the component alone.
    const auto rise = [&](double inner, double outer) {
        return fit.component_at(fit.used, inner) - fit.component_at(fit.used, outer);
    };
    std::vector<std::string> reasons;
    if (f.position <= inner_lo || f.position >= inner_hi) {
        reasons.emplace_back(kEdge);
    }
    if (left <= inner_lo || right >= inner_hi ||
        tail_reaches({rise(inner_lo, x[first]), 0}, f.height) ||
        tail_reaches({rise(inner_hi, x[last]), 0}, f.height)) {
        reasons.emplace_back(kFlank);
    }
    return reasons;
}

// The half-height reading finds peaks of known width within 2 % of it where the counting
// noise is low: closer than that, the two methods cannot be told apart.
constexpr double kReadingTrueness = 0.02;

// Whether the half-height reading of the counts of the reported component alone (less every
// Kα2 line and the other components' Kα1) differs from its fitted width by more than twice
// their combined uncertainty and more than the reading's own trueness, or finds no width.
bool disagrees(const ProfileFit& fit, const Pattern& pattern, const PeakRange& range,
               const CountScale& scale) {
    Pattern alone = pattern;
    for (std::size_t i = 0; i < alone.two_theta.size(); ++i) {
        const double at = alone.two_theta[i];
        if (at < fit.range_lo || at > fit.range_hi) {
            continue;
        }
        for (std::size_t c = 0; c < fit.components.size(); ++c) {
            double others = fit.component_at(c, at);
            if (c == fit.used) {
                others -= profile_value(fit.components[c].profile, at);
            }
            alone.counts[i] -= others;
        }
    }
    const auto reading = measure_peak(alone, range, Uncertainty::resampled, scale);
    if (!reading) {
        return true;
    }
    const Estimate& fitted = fit.reported().fwhm;
    const double u = std::hypot(fitted.u, reading->u_fwhm);
    const double apart = std::abs(reading->fwhm - fitted.value);
    return !(apart <= 2 * u || apart <= kReadingTrueness * reading->fwhm);
}

} // namespace

double ProfileFit::background_at(double two_theta) const {
    const double t = (two_theta - centre) / half_span;
    double value = 0, power = 1;
    for (const double c : background) {
        value += c * power;
        power *= t;
    }
    return value;
}

double ProfileFit::component_at(std::size_t index, double two_theta) const {
    Profile profile = components[index].profile;
    double value = profile_value(profile, two_theta);
    if (alpha2_ratio > 0) {
        profile.position = alpha2_position(profile.position, wavelength_ratio);
        profile.height *= alpha2_ratio;
        value += profile_value(profile, two_theta);
    }
    return value;
}

double ProfileFit::model_at(double two_theta) const {
    double value = background_at(two_theta);
    for (std::size_t c = 0; c < components.size(); ++c) {
        value += component_at(c, two_theta);
    }
    return value;
}

Outcome<ProfileFit> fit_profile(const Pattern& pattern, const PeakRange& range,
                                const FitOptions& options) {
    if (options.components < 1 || options.components > 3) {
        return Failure{pattern.name + ": a fit takes one to three components."};
    }
    if (options.use < 0 || options.use > options.components) {
        return Failure{pattern.name + ": there is no component " + std::to_string(options.use) +
                       " among " + std::to_string(options.components) + "."};
    }
    const CountScale scale = count_scale(pattern);
    const auto reading = measure_peak(pattern, range, Uncertainty::skipped, scale);
    if (!reading) {
        return Failure{reading.error()};
    }
    const PeakWidth& start = *reading;
    const auto& x = pattern.two_theta;
    std::vector<double> scaled;
    const auto& y = counts_on_scale(pattern, scale, scaled);
    const auto first =
        static_cast<std::size_t>(std::lower_bound(x.begin(), x.end(), start.range_lo) - x.begin());
    const auto end =
        static_cast<std::size_t>(std::upper_bound(x.begin(), x.end(), start.range_hi) - x.begin());
    const auto [ratio, wavelength_ratio] =
        options.doublet ? doublet_of(pattern) : std::pair{0.0, 1.0};

    Layout layout{options.shape, 1, options.background == FitBackground::linear ? 2 : 3};
    Data d{x.data() + first,
           y.data() + first,
           end - first,
           layout,
           (start.range_lo + start.range_hi) / 2,
           (start.range_hi - start.range_lo) / 2,
           ratio,
           wavelength_ratio};
    Bins bins;
    if (d.n > kMaxFitPoints) {
        bins = binned(d.x, d.y, d.n);
        d.x = bins.x.data();
        d.y = bins.y.data();
        d.n = bins.x.size();
        d.sizes = bins.sizes.data();
    }
    const double step = (start.range_hi - start.range_lo) / static_cast<double>(d.n - 1);
    if (d.n <= layout.size() + 3 * static_cast<std::size_t>(options.components) * 6) {
        return Failure{pattern.name + ": too few points in the range for " +
                       std::to_string(options.components) + " components."};
    }
    const double mixing = is_pearson(options.shape) ? 2.0 : 0.5;
    const double fwhm = start.right - start.left;
    std::vector<double> p(layout.size(), 0.0);
    layout.set(p, 0,
               {options.shape, start.top, start.height * scale.factor / (1 + ratio), fwhm, fwhm,
                mixing, mixing});
    const std::size_t constant = layout.background_at();
    p[constant] = (start.background_lo + start.background_hi) / 2 * scale.factor;
    p[constant + 1] = (start.background_hi - start.background_lo) / 2 * scale.factor;
    Solution s = solve(d, p);
    for (int c = 1; c < options.components; ++c) {
        // The next component where the residual, smoothed over a tenth of the width, is
        // largest.
        const Profile tallest = layout.profile(s.p.data(), 0);
        const auto reach = static_cast<std::size_t>(std::max(1.0, 0.1 * fwhm / step));
        std::vector<double> rest(d.n);
        const Model model(d, s.p.data());
        for (std::size_t i = 0; i < d.n; ++i) {
            rest[i] = d.y[i] - model(d.x[i]);
        }
        std::size_t best = reach;
        double best_value = -INFINITY;
        for (std::size_t i = reach; i + reach < d.n; ++i) {
            double sum = 0;
            for (std::size_t j = i - reach; j <= i + reach; ++j) {
                sum += rest[j];
            }
            if (sum > best_value) {
                best_value = sum;
                best = i;
            }
        }
        const double height =
            std::max(best_value / static_cast<double>(2 * reach + 1), 0.05 * tallest.height);
        Layout wider = layout;
        wider.components = c + 1;
        d.layout = wider;
        // Started where the residual is largest, and on either flank of the peak, as one
        // broad peak under a narrow one leaves little residual of its own; the best kept.
        Solution best_solution;
        best_solution.chi2 = INFINITY;
        const double half_reach = (tallest.left_width + tallest.right_width) / 2;
        for (const double at :
             {d.x[best], tallest.position - half_reach, tallest.position + half_reach}) {
            std::vector<double> next(wider.size(), 0.0);
            std::copy(s.p.begin(), s.p.begin() + static_cast<long>(layout.background_at()),
                      next.begin());
            const bool residual_top = at == d.x[best];
            wider.set(next, c,
                      {options.shape, at, residual_top ? height : 0.3 * tallest.height,
                       (residual_top ? 0.7 : 1.5) * tallest.left_width,
                       (residual_top ? 0.7 : 1.5) * tallest.right_width, mixing, mixing});
            std::copy(s.p.begin() + static_cast<long>(layout.background_at()), s.p.end(),
                      next.begin() + static_cast<long>(wider.background_at()));
            Solution tried = solve(d, next, 1, kTrialIterations);
            if (tried.chi2 < best_solution.chi2) {
                best_solution = std::move(tried);
            }
        }
        layout = wider;
        s = c + 1 == options.components ? solve(d, best_solution.p) : std::move(best_solution);
    }

    to_pattern_scale(s, layout, scale.factor);
    ProfileFit fit;
    fit.iterations = s.iterations;
    fit.range_lo = start.range_lo;
    fit.range_hi = start.range_hi;
    fit.centre = d.centre;
    fit.half_span = d.half_span;
    fit.alpha2_ratio = ratio;
    fit.wavelength_ratio = wavelength_ratio;
    for (int k = 0; k < layout.background; ++k) {
        fit.background.push_back(s.p[layout.background_at() + static_cast<std::size_t>(k)]);
    }
    const double dof = static_cast<double>(d.n) - static_cast<double>(layout.size());
    fit.reduced_chi2 = {s.chi2 / dof, std::sqrt(2 / dof)};
    const bool copper = is_copper(pattern.wavelength);
    bool at_bound = false, weak = false;
    for (int c = 0; c < layout.components; ++c) {
        const auto of = [&](double (*figure)(const Profile&)) {
            return estimate(s, [&](const double* q) { return figure(layout.profile(q, c)); });
        };
        FittedComponent component;
        component.profile = layout.profile(s.p.data(), c);
        component.position = of([](const Profile& f) { return f.position; });
        component.height = of([](const Profile& f) { return f.height; });
        component.fwhm = of(profile_fwhm);
        component.breadth = of(profile_breadth);
        component.left_mixing = of([](const Profile& f) { return f.left_mixing; });
        component.right_mixing = of([](const Profile& f) { return f.right_mixing; });
        const Profile& f = component.profile;
        for (const double m : {f.left_mixing, f.right_mixing}) {
            at_bound =
                at_bound || (is_pearson(f.shape) ? m < kMinPearson + 0.02 || m > kMaxPearson - 1
                                                 : m < 0.005 || m > 0.995);
        }
        at_bound = at_bound || f.position < fit.range_lo || f.position > fit.range_hi ||
                   std::min(f.left_width, f.right_width) < step ||
                   std::max(f.left_width, f.right_width) > fit.range_hi - fit.range_lo;
        weak =
            weak || f.height * scale.factor <
                        10 * std::sqrt(std::max(fit.background_at(f.position) * scale.factor, 1.0));
        if (!copper) {
            const double factor = width_to_copper(f.position, *pattern.wavelength);
            for (Estimate* e : {&component.fwhm, &component.breadth}) {
                e->value *= factor;
                e->u *= factor;
            }
            const double at =
                carry_two_theta(f.position, *pattern.wavelength, kCuKAlpha1).value_or(NAN);
            component.position.u *= at / f.position;
            component.position.value = at;
            fit.converted = true;
        }
        fit.components.push_back(component);
    }
    // Numbered by position; the tallest reported unless another is asked for.
    std::vector<std::size_t> order(fit.components.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return fit.components[a].profile.position < fit.components[b].profile.position;
    });
    std::vector<FittedComponent> sorted;
    for (const std::size_t i : order) {
        sorted.push_back(fit.components[i]);
    }
    fit.components = sorted;
    fit.used = 0;
    for (std::size_t i = 0; i < fit.components.size(); ++i) {
        if (fit.components[i].height.value > fit.components[fit.used].height.value) {
            fit.used = i;
        }
    }
    if (options.use > 0) {
        fit.used = static_cast<std::size_t>(options.use - 1);
    }
    std::vector<std::string> reasons;
    if (weak) {
        reasons.emplace_back(kWeak);
    }
    const std::size_t last = end - 1;
    for (const std::string& reason : edge_reasons(fit, x, first, last)) {
        reasons.push_back(reason);
        const Profile& f = fit.reported().profile;
        const auto held = holding_range(pattern, x[first], x[last], f.position,
                                        (f.left_width + f.right_width) / 2);
        if (held && !fit.holding) {
            fit.holding = held->range;
            fit.holding_whole = held->whole;
        }
    }
    // No step that lowers χ² any more is a minimum too; a fit of exact counts may run out
    // of iterations with nothing left to fit.
    const bool exact = fit.reduced_chi2.value / scale.factor < 1e-9;
    if (s.status != GSL_SUCCESS && s.status != GSL_ENOPROG && !exact) {
        reasons.emplace_back(kUnconverged);
    }
    if (at_bound) {
        reasons.emplace_back(kAtBound);
    }
    if (unresolved(fit.components)) {
        reasons.emplace_back(kUnresolved);
    }
    if (disagrees(fit, pattern, range, scale)) {
        reasons.emplace_back(kResidual);
    }
    fit.quality = quality_text(reasons);
    return fit;
}

} // namespace teravine
