#pragma once
// Where the start's time goes, for the whole-program measurement: when the
// environment names a file in QUORREL_START_PHASES, the start charges its time to
// the phase it is in and, at the end of the first complete paint, writes each
// phase's share there (one "name nanoseconds" line each, after "main" with the
// monotonic clock's time at entry). Unasked, every call is one test of a flag: no
// clock is read, no file opened.
class StartPhases {
public:
    enum Phase { kLock, kDisplay, kWindow, kFontAndProbe, kPictures, kStoreRead, kFirstPaint, kPhaseCount };

    // Charges the time since the last call to the phase it entered and enters
    // `phase`; returns the phase left, so that a phase inside another can hand back.
    static Phase Enter(Phase phase);
    // Ends the last phase and writes the file, once.
    static void Finish();
};
