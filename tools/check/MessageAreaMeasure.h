// SPDX-License-Identifier: MIT
#pragma once

#include "SceneWalk.h"

#include <memory>

namespace miradel::check {

// The message area of the window on the smallest supported screen, 768 pixels high, with
// the application's Japanese font at the size the layout gives it there, wrapping words
// as the label does. Needs a running QGuiApplication.
class MessageAreaMeasure final : public PageMeasure {
public:
    static constexpr int kScreenHeightPixels = 768;

    MessageAreaMeasure();
    ~MessageAreaMeasure() override;

    bool Fits(const std::vector<TextView>& lines, bool marked) const override;

    int WidthPixels() const;
    int HeightPixels() const;
    float FontPoints() const;

private:
    struct Metrics;
    std::unique_ptr<Metrics> m_metrics;
};

} // namespace miradel::check
