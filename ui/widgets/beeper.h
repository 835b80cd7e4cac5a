#pragma once

#include <functional>

// The program's one beep. Every refusal that beeps (a key a spin edit drops,
// its arrows while read-only, an undo or redo with nothing to do, a number
// the entry cannot enter, a key whose button is not there to press) sounds
// it through here: the system's default beep, or, in a test, a sink that
// counts.
class Beeper {
  public:
    static void beep();
    // Sends every beep from now on to sink; an empty sink gives the system's
    // beep back.
    static void setSink(std::function<void()> sink);
};
