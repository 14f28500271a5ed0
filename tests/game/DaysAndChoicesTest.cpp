// SPDX-License-Identifier: MIT
#include "support/HeadlessFixture.h"

#include <gtest/gtest.h>
#include <sstream>

namespace miradel::test {
namespace {

// Plays `script` on a game of one-line scenes: 'n' the next-day button, "2h" and "2l" choice 2
// with a high (31) or low (30) draw, 'R' a new game, each followed by the click that ends its
// scene. Returns what each step left on show: "day:scene/picture=offer", the offer being the
// choices on show, "n" for the next-day button or "-" for nothing.
std::string Played(const std::string& script)
{
    HeadlessFixture fixture;
    fixture.Start();
    fixture.game.Lbl_Click();
    std::istringstream steps(script);
    std::string trace;
    for (std::string step; steps >> step;) {
        if (step.size() > 1)
            fixture.random.QueueDraw(step[1] == 'h' ? 31 : 30);
        if (step == "R")
            fixture.Start();
        fixture.Play(step.substr(0, 1) + "c");
        const std::string& scene = fixture.game.player.SceneShownName();
        const std::string offer = fixture.Offer() == "next day" ? "n" : fixture.VisibleChoices();
        trace += (trace.empty() ? "" : " ") + std::to_string(fixture.game.state.day) + ":"
            + scene.substr(4, scene.size() - 8) + "/" + TextToUtf8(fixture.game.pictures.CurrentPicture()) + "="
            + (offer.empty() ? "-" : offer);
    }
    return trace;
}

TEST(DaysAndChoices, TheDaysAndDrawsPickTheScenes)
{
    const std::pair<const char*, const char*> rows[] = {
        // The days go round 1 to 4 under their pictures. Day 4 opens the thirties on either
        // draw; only a low draw uses the choice up.
        { "n n n n 1h n n n n 1l n",
            "1:0/0=012 2:1/1=012 3:2/2=012 4:3/3=012 4:31/1=n 1:0/0=012 2:1/1=012 3:2/2=012 4:3/3=012 4:31/1=n "
            "1:0/0=02" },
        // A high draw opens the day's scene of the choice and keeps it. Nothing, silver, gold on days
        // 1 to 3 open the fourth choice: thirties on day 4 and on a low draw, nothing used up.
        { "n 2h n 0h n 1h n 3h n 3h n 3l n",
            "1:0/0=012 1:02/2=n 2:1/1=012 2:10/0=n 3:2/2=012 3:21/1=n 4:3/3=0123 4:33/4=n 1:0/0=0123 1:03/4=n "
            "2:1/1=0123 2:33/4=n 3:2/2=0123" },
        // A new game closes the fourth choice; the choices of days 2 and 3 outlive it.
        { "n 2h n 0h n 1h n R n 2h n",
            "1:0/0=012 1:02/2=n 2:1/1=012 2:10/0=n 3:2/2=012 3:21/1=n 4:3/3=0123 0:opn/ttl=n 1:0/0=012 1:02/2=n "
            "2:1/1=0123" },
        // A choice used up makes its day (choice 0: day 1) open "not". The last one's ending comes
        // on the day it is used up; without ">end" it leaves nothing to click, or the open fourth
        // choice. A new game frees every choice.
        { "n 0l n 2l n 1l n R n",
            "1:0/0=012 1:30/0=n 2:1/1=12 2:32/2=n 3:not/ttl=1 3:31/1=n 4:end1/end1=- 0:opn/ttl=n 1:0/0=012" },
        { "n 2l n 0l n 1l n", "1:0/0=012 1:32/2=n 2:1/1=01 2:30/0=n 3:not/ttl=1 3:31/1=n 4:end1/end1=3" },
        // Or on the day after it.
        { "n 0l n 1l n 2h n 2h n 2h n 2l n",
            "1:0/0=012 1:30/0=n 2:1/1=12 2:31/1=n 3:2/2=2 3:22/2=n 4:3/3=2 4:32/2=n 1:not/ttl=2 1:02/2=n "
            "2:not/ttl=2 2:32/2=n 3:end2/end2=-" },
    };
    for (const auto& [script, expected] : rows)
        EXPECT_EQ(Played(script), expected) << script;
}

} // namespace
} // namespace miradel::test
