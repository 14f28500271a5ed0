// SPDX-License-Identifier: MIT
#pragma once

class QIcon;
class QImage;

namespace miradel {

// The program's icon: "miradel" from the desktop's icon theme, where the installed program
// puts the images that DrawProgramIcon() made at build time; otherwise the drawing itself,
// one 32 x 32 image in 256 colours.
QIcon ProgramIcon();

// A crescent moon and a star over a night-blue tile, `size` pixels square.
QImage DrawProgramIcon(int size);

} // namespace miradel
