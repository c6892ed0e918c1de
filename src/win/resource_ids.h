#pragma once
// The resources of transhoralotuxa.exe by number, for its resource script and
// its code. The resource compiler reads this file too: #define only.
#define THT_ICON_PROGRAM 1
