#pragma once

#include <functional>

// The beep of a refusal (a key a spin edit drops, its arrows while
// read-only, an undo or redo with nothing to do, a session key while the
// board is locked, a number the entry cannot enter, a key whose button is not
// there to press): the system's default beep, or, in a test, a sink that
// counts.
class Beeper {
  public:
    static void beep();
    // Sends every beep from now on to sink; an empty sink gives the system's
    // beep back.
    static void setSink(std::function<void()> sink);
};
