// How a recording's circuits are wired, and the arithmetic that follows from it: ch1 = u-v and
// ch2 = w-v in V connection, each circuit's clamps on phase u (a) and phase w (b) with
// t = a + b, a clamp pair put on the other way round, a star-delta transformer between the
// voltage and the current measurement, and the phase rotation that signs the reactive power.
// The helpers are small templates: every analysis keeps its own number type and order of
// operations, on which its results depend to the last bit.
#pragma once

#include <array>
#include <cstdint>
#include <numbers>

namespace pqwave {

inline constexpr int kMaxCircuits = 7;

// The star-delta current transform that turns a circuit's currents by 30 degrees. Named by the
// turn with the forward rotation; under the reverse rotation the window captions the two the
// other way round, as the same arithmetic then turns the other way.
enum class StarDelta : std::uint8_t { None, Minus30, Plus30 };

// With both ticked only the -30 degree transform applies.
constexpr StarDelta starDeltaOf(bool minus30, bool plus30) {
    return minus30 ? StarDelta::Minus30 : plus30 ? StarDelta::Plus30 : StarDelta::None;
}

enum class Rotation : std::uint8_t { Forward, Reverse };

struct CircuitWiring {
    bool polarityInverted = false;  // both currents negated: a, b and t change sign
    StarDelta starDelta = StarDelta::None;

    float polaritySign() const { return polarityInverted ? -1.0f : 1.0f; }
};

struct Wiring {
    std::array<CircuitWiring, kMaxCircuits> circuits{};
    Rotation rotation = Rotation::Forward;

    double rotationSign() const { return rotation == Rotation::Reverse ? -1 : 1; }
    // Qts, single: 1 / (0.2 x sqrt 3 x 1000), which turns the sqrt 3 Q sums into kvar on the
    // clamp scale, signed by the rotation.
    float qts() const {
        const float q = static_cast<float>(std::numbers::sqrt3 * 5 / 3 / 1000);
        return rotation == Rotation::Reverse ? -q : q;
    }
};

// The star-delta transform on a circuit's currents in the analysis' own type T, with the old t:
// -30: a := (a - b) / sqrt 3, b := (b + t) / sqrt 3; +30: b := (b - a) / sqrt 3,
// a := (a + t) / sqrt 3; then t := a + b. The sums are formed in T, the division in double.
template <typename T>
void transformStarDelta(StarDelta kind, T& a, T& b, T& t) {
    constexpr double kSqrt3 = std::numbers::sqrt3;
    if (kind == StarDelta::Minus30) {
        const T newA = static_cast<T>((a - b) / kSqrt3), newB = static_cast<T>((b + t) / kSqrt3);
        a = newA;
        b = newB;
    } else if (kind == StarDelta::Plus30) {
        const T newB = static_cast<T>((b - a) / kSqrt3), newA = static_cast<T>((a + t) / kSqrt3);
        a = newA;
        b = newB;
    } else {
        return;
    }
    t = a + b;
}

// The same transform as coefficients of the old (a, b, t) over one divisor, so that eight
// circuits can be turned at once with no branch: new a = (newA . (a, b, t)) / divisor. Where
// a + b overflows a single it gives no number where the direct form still gives one, so the
// interval analysis keeps this form and the others the direct one: each as it always rounded.
struct StarDeltaTerms {
    std::array<double, 3> newA{1, 0, 0}, newB{0, 1, 0};
    double divisor = 1;
};

constexpr StarDeltaTerms starDeltaTerms(StarDelta kind) {
    switch (kind) {
        case StarDelta::Minus30:
            return {{1, -1, 0}, {0, 1, 1}, std::numbers::sqrt3};
        case StarDelta::Plus30:
            return {{1, 0, 1}, {-1, 1, 0}, std::numbers::sqrt3};
        default:
            return {};
    }
}

// Applies the terms in double to single currents, each new current rounded to single.
inline void applyStarDeltaTerms(const StarDeltaTerms& k, float& a, float& b, float& t) {
    const double a0 = a, b0 = b, t0 = t;
    a = static_cast<float>((k.newA[0] * a0 + k.newA[1] * b0 + k.newA[2] * t0) / k.divisor);
    b = static_cast<float>((k.newB[0] * a0 + k.newB[1] * b0 + k.newB[2] * t0) / k.divisor);
    t = a + b;
}

// The two wattmeters on ch1 and ch2: the instantaneous active power v1 a + v2 b.
template <typename T>
T twoWattmeterP(T v1, T v2, T a, T b) {
    return v1 * a + v2 * b;
}

// sqrt 3 times the instantaneous reactive power from the three line voltages (v12 = v1 - v2):
// v1 b - v2 a + v12 t, which Qts turns into kvar.
template <typename T>
T twoWattmeterQ3(T v1, T v2, T v12, T a, T b, T t) {
    return v1 * b + v2 * -a + v12 * t;
}

// The star-point phase voltages of ch1 and ch2: vv = (v1 + v2) / -3, vu = v1 + vv,
// vw = v2 + vv, formed in Wide and each kept as Stored.
template <typename T>
struct PhaseVoltages {
    T u = 0, v = 0, w = 0;
};

template <typename Stored, typename Wide>
PhaseVoltages<Stored> starPointVoltages(Wide v1, Wide v2) {
    const Stored v = static_cast<Stored>((v1 + v2) / -3);
    return {static_cast<Stored>(v1 + v), v, static_cast<Stored>(v2 + v)};
}

// Per phase u, v, w: the active products with the star-point voltages (vu a, -t vv, vw b) and
// the sqrt 3 reactive products with the line voltage across the other two phases (-v2 a,
// v12 t, v1 b). Phase by phase they add up to the two-wattmeter values.
template <typename T>
struct PhasePowers {
    std::array<T, 3> p{}, q3{};
};

template <typename T>
PhasePowers<T> phasePowers(const PhaseVoltages<T>& phase, T v1, T v2, T v12, T a, T b, T t) {
    return {{phase.u * a, -t * phase.v, phase.w * b}, {v2 * -a, v12 * t, v1 * b}};
}

}  // namespace pqwave
