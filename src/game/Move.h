#pragma once

// The moves of the player, carried out by FormMain::Play. The peg moves act on one
// input peg; SetPeg also takes a colour. Go is GO while playing and NEW GAME when
// the game is over; Abandon and Exit are the YES answers to "You want to leave?"
// and "Do you really want to go exit?".
enum class Move { CyclePeg, StepPegBack, SetPeg, Go, Abandon, Exit };
