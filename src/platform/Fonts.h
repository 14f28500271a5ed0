// SPDX-License-Identifier: MIT
#pragma once

namespace miradel {

// Makes a font that shows Japanese the default of every control: the proportional IPA
// Gothic (metric-compatible with the Japanese Windows interface font), else another
// Japanese family that the system has, else the system default. With no Japanese font at
// all every caption would be empty boxes: that is said once on stderr, with the package
// that brings the font.
void ChooseJapaneseInterfaceFont();

} // namespace miradel
