// SPDX-License-Identifier: MIT
// Built as if it were a unit of the game's logic, which must not see Qt: this build fails.
#include <QString>

int QtInLogicProbe()
{
    return QString().size();
}
