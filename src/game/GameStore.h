#pragma once
// The stored game. A small settings store keeps every value in a one-line file of its
// own below "Settings" in the working directory, at
// Settings/<application>/<section>/<key>; the game's seven values live in
// Settings/Quorrel.exe/dati/. The game's record is stored as one: after a crash, a
// kill or a power loss at any moment, LoadGame finds the last stored record or the
// one before it, never values of two records side by side (see GameStore.cpp).
#include "game/GameRecord.h"

#include <cstddef>
#include <string>

inline constexpr const char* kSettingsRoot = "Settings";
inline constexpr const char* kGameApplication = "Quorrel.exe";
inline constexpr const char* kGameSection = "dati";
inline constexpr const char* kHistoryKey = "Quorrel_Bag";
inline constexpr const char* kCodeKey = "Quorrel_Code";
inline constexpr const char* kStateKey = "stato";
// The input row's keys are "col1" to "col4".
inline constexpr const char* kColourKeyPrefix = "col";
// The player's statistics of finished games (GameStatistics::ToText), stored with
// the game's record.
inline constexpr const char* kStatisticsKey = "Quorrel_Stats";
// The whole record, beside the seven values; hidden, as nobody else needs it.
inline constexpr const char* kJournalKey = ".Quorrel_Record";
// The most bytes read of one stored value; a game of 10 000 guesses stores 70 KB.
inline constexpr std::size_t kStoredValueLimit = 1 << 20;

// The path of a value file. Creates the missing directories on the way (not the file).
std::string SettingsPath(const std::string& application, const std::string& section, const std::string& key);

// The value file's lines of any length, each followed by "\r\n"; empty when the file
// is missing, unreadable, not a regular file or empty. Only the first
// kStoredValueLimit bytes are read.
std::string ReadSetting(const std::string& application, const std::string& section, const std::string& key);

// Replaces the value file with value and a line feed. True when it was written.
bool WriteSetting(const std::string& application, const std::string& section, const std::string& key,
                  const std::string& value);

// Stores the whole record as one: of history, code, state, col1..col4 and the
// statistics, in this order, the files whose values changed, with two syncs (four when a history
// longer than 1 KiB changed). True when the record was stored. When it fails the record on disk stays the one
// stored before. One line is logged when storing starts to fail, with the system's
// reason, and one when it works again; never one per call.
bool SaveGame(const GameRecord& record);

// While storing fails: the path and the system's reason of the last failure, for
// the player; empty while storing works.
const std::string& StoreFailure();

// Restores the record from the store, after putting back the last stored record if
// a crash cut its store short. Values are read as the game always read them: state
// and colours as strtol reads them after trimming (" 01 ", "02", "2x" are 1, 2, 2),
// code and history trimmed. Only what cannot be used is repaired, each repair logged
// in one line: a state other than 0..2, or none, goes on as Playing with the stored
// history and code; a colour outside 0..7, or none, reads as 0; damaged history
// records are dropped, and a history longer than kStoredValueLimit keeps its newest
// records. Only a code that is not four digits 0..7 gives a fresh game (logged with
// what was discarded, unless nothing was stored). Anything that is not a regular
// file reads as missing, without waiting. A repaired record is stored again so that
// the disk matches the game shown. The statistics are read apart from the game: none
// stored (an earlier version's store) count from zero, and so do damaged ones, logged
// and stored again as zero, while the game loads as it would without them. Always
// returns true.
bool LoadGame(GameRecord& record);
