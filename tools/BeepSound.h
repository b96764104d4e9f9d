#pragma once
// The short, soft beep the program plays through the system's sound player.
#include <vector>

// A complete PCM WAV file: 16-bit mono at 22050 Hz, about 120 ms, faded in and out.
std::vector<unsigned char> MakeBeepWav();
