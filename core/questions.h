#ifndef VELMORA_CORE_QUESTIONS_H
#define VELMORA_CORE_QUESTIONS_H

#include "mod/conflict_details.h"

namespace velmora {

class Mod;

// A priority question about two conflicting enabled mods: which one wins.
struct PriorityQuestion {
    Mod* first = nullptr;
    Mod* second = nullptr;
    // What the two mods change where they meet; its message names the first conflict.
    ConflictReport report;
    // 1 or 2 when a remembered answer settles the question for these changes.
    unsigned int remembered = 0;
    // True when the answer would change nothing and the preferences say to
    // ask only when two mods change the same field: nobody is asked.
    bool skipped = false;
    // Set by whoever answers, to keep the answer for the next applies.
    bool remember = false;
};

} // namespace velmora

#endif
