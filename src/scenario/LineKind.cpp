// SPDX-License-Identifier: MIT
#include "scenario/LineKind.h"

#include <limits>

namespace miradel {

LineKind ClassifyLine(TextView line)
{
    if (BeginsWith(line, literal::kSceneEnd))
        return LineKind::SceneEnd;
    if (BeginsWith(line, literal::kRun))
        return LineKind::Run;
    if (BeginsWith(line, literal::kGameEnd))
        return LineKind::GameEnd;
    if (BeginsWith(line, literal::kNewPage))
        return LineKind::NewPage;
    if (BeginsWith(line, literal::kPicture))
        return LineKind::Picture;
    if (BeginsWith(line, literal::kLoop))
        return LineKind::Loop;
    return LineKind::TextLine;
}

bool StopsPageBefore(TextView next)
{
    return BeginsWith(next, literal::kLoop) || next == literal::kNewPage || BeginsWith(next, literal::kGameEnd)
        || BeginsWith(next, literal::kNewPageText) || BeginsWith(next, literal::kSceneEnd);
}

bool TickWaitsBefore(TextView next)
{
    return next == literal::kNewPage || BeginsWith(next, literal::kGameEnd) || BeginsWith(next, literal::kLoop)
        || BeginsWith(next, literal::kSceneEnd);
}

TextView PictureNameOf(TextView line)
{
    constexpr std::size_t kNameStart = 5;
    return line.size() > kNameStart ? line.substr(kNameStart) : TextView();
}

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\u3000';
}

std::optional<std::int32_t> RunCountOf(TextView line)
{
    TextView rest = line.substr(std::min<std::size_t>(2, line.size()));
    while (!rest.empty() && IsBlank(rest.front()))
        rest.remove_prefix(1);
    while (!rest.empty() && IsBlank(rest.back()))
        rest.remove_suffix(1);
    bool negative = false;
    if (!rest.empty() && (rest.front() == u'-' || rest.front() == u'+')) {
        negative = rest.front() == u'-';
        rest.remove_prefix(1);
    }
    if (rest.empty())
        return std::nullopt;
    long long value = 0;
    for (char16_t c : rest) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > static_cast<long long>(std::numeric_limits<std::int32_t>::max()) + 1)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<std::int32_t>::max() || value < std::numeric_limits<std::int32_t>::min())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace miradel
