// Measurements on rendered audio for the tests: pitch from rising zero crossings, first non-zero
// sample, level, and checks for non-finite or subnormal samples.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace signal_measure {

// Rising zero crossings at or after `from`, as fractional sample positions (linear interpolation).
std::vector<double> risingCrossings(std::span<const float> x, std::size_t from = 0);
// Frequency in Hz from the span between the first and last rising crossing after `from`.
double frequency(std::span<const float> x, double rate, std::size_t from = 0);
// Distance of `measured` from `expected` in cents.
double cents(double measured, double expected);
std::optional<std::size_t> firstNonZero(std::span<const float> x, std::size_t from = 0);
double rms(std::span<const float> x);
bool allFinite(std::span<const float> x);
// The first inf or NaN sample, or nothing when every sample is finite.
std::optional<std::size_t> firstNonFinite(std::span<const float> x);
std::size_t subnormalCount(std::span<const float> x);
bool allZero(std::span<const float> x);

}  // namespace signal_measure
