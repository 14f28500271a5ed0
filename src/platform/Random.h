// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <random>

namespace miradel {

// The program's one source of uniform values u with 0 <= u < 1. Tests inject their own.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual double NextUniform() = 0;
};

// Seeded once from the clock when made; never reseeded.
class ClockSeededRandom final : public RandomSource {
public:
    ClockSeededRandom();
    double NextUniform() override;

private:
    std::mt19937_64 m_engine;
    std::uniform_real_distribution<double> m_uniform { 0.0, 1.0 };
};

// Seeded by the caller, for tests, fuzzing and the tools' playtest: the same seed, the same draws.
class SeededRandom final : public RandomSource {
public:
    explicit SeededRandom(std::uint64_t seed)
        : m_engine(seed)
    {
    }
    double NextUniform() override { return m_uniform(m_engine); }

private:
    std::mt19937_64 m_engine;
    std::uniform_real_distribution<double> m_uniform { 0.0, 1.0 };
};

// A draw: the whole part of u x 100, an integer from 0 to 99.
int DrawPercent(RandomSource& source);

} // namespace miradel
