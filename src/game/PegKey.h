#pragma once
// What a key pressed over the input row stands for. Digits 1..8 (top row or keypad,
// which the event loop reads as digits with NumLock on or off) give the current peg
// colour 0..7 and move on to the next peg; Left and Right move
// the current peg; Up and Down step its colour forward and back. The current peg
// wraps around the four.
#include <X11/Xlib.h>

#include "game/Move.h"

struct PegKey {
    // Every key of the main window, in lines that fit the message box F1 opens.
    static constexpr const char* kKeysText =
        "1-8: colour of the current peg\n"
        "Arrows: pick a peg, its colour\n"
        "Return: GO  Tab, Space: buttons\n"
        "Escape: close  F1: these keys\n"
        "H: hint  S: statistics";

    bool known = false;  // one of the keys above
    bool moves = false;  // it is a move of the game: `move` on the current peg
    Move move = Move::SetPeg;
    int colour = 0;   // for SetPeg
    int nextPeg = 0;  // the current peg afterwards, 0..3

    // The meaning of `key` while `currentPeg` (0..3) is the current peg.
    static PegKey Read(KeySym key, int currentPeg);
};
