// SPDX-License-Identifier: MIT
#include "platform/Random.h"

#include <chrono>
#include <cmath>

namespace miradel {

ClockSeededRandom::ClockSeededRandom()
    : m_engine(static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()))
{
}

double ClockSeededRandom::NextUniform()
{
    return m_uniform(m_engine);
}

int DrawPercent(RandomSource& source)
{
    const int draw = static_cast<int>(std::floor(source.NextUniform() * 100.0));
    // Guards against a source that returns exactly 1.0 through rounding.
    return draw > 99 ? 99 : (draw < 0 ? 0 : draw);
}

} // namespace miradel
