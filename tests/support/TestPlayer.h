#pragma once

// The player most game tests play as: "Tester", made and selected, on the
// "ipad" layout, who has read the one-time notices (the first mistake's and
// the first hint's), so that none stops the play under test.
void MakeSeasonedTestPlayer();
