#pragma once

class QIcon;

namespace miradel {

// The program's own icon, drawn rather than shipped: one 32 x 32 image in 256 colours, a
// crescent moon and a star over a night-blue tile.
QIcon ProgramIcon();

} // namespace miradel
