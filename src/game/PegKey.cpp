#include "game/PegKey.h"

#include <X11/keysym.h>

#include "game/GameRules.h"

namespace {
// The colour 0..7 that digit key 1..8 (top row or keypad) stands for, or -1.
int DigitColour(KeySym k)
{
    if (k >= XK_1 && k <= XK_8) return static_cast<int>(k - XK_1);
    if (k >= XK_KP_1 && k <= XK_KP_8) return static_cast<int>(k - XK_KP_1);
    return -1;
}
}  // namespace

PegKey PegKey::Read(KeySym key, int currentPeg)
{
    PegKey meaning;
    meaning.nextPeg = currentPeg;
    meaning.known = true;
    if (const int colour = DigitColour(key); colour >= 0) {
        meaning.moves = true;
        meaning.colour = colour;
        meaning.nextPeg = (currentPeg + 1) % kCodeLength;
    } else if (key == XK_Left) {
        meaning.nextPeg = (currentPeg + kCodeLength - 1) % kCodeLength;
    } else if (key == XK_Right) {
        meaning.nextPeg = (currentPeg + 1) % kCodeLength;
    } else if (key == XK_Up) {
        meaning.moves = true;
        meaning.move = Move::CyclePeg;
    } else if (key == XK_Down) {
        meaning.moves = true;
        meaning.move = Move::StepPegBack;
    } else {
        meaning.known = false;
    }
    return meaning;
}
