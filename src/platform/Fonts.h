#pragma once

namespace miradel {

// Makes a font that shows Japanese the default of every control: the proportional IPA
// Gothic (metric-compatible with the Japanese Windows interface font), else another
// Japanese family that the system has, else the system default.
void ChooseJapaneseInterfaceFont();

} // namespace miradel
