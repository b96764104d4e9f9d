// The stored game as one record. Each of the seven values, and the statistics of
// finished games, keeps its one-line file (their names, format and write order are
// what other readers rely on), and one more file beside them, the journal, holds the
// whole record. A store writes the new files
// of the values that changed, then the journal, synced, and renames it into place
// (this is the moment the record is stored), and only then renames the new value
// files over the old ones. Short values sit in the journal itself and their files are
// written without a sync; a long one (a long game's history) is written once, to a
// new file that is synced, and its name with it (a directory sync), before the
// journal names it, so the journal holds only its fingerprint and that file's name.
// A power cut may keep any of the directory operations after the last directory
// sync and lose the others, so the journal goes on naming that file until a
// directory sync has followed its rename: a later journal in place with the rename
// lost still finds it. A peg change thus costs two syncs whatever the game's
// length, a guess in a long game four.
//
// After a crash, a kill or a power loss, LoadGame puts back from the journal every
// value file the game wrote itself and that does not hold the journal's value: one
// written before the journal (a power loss may leave it empty, cut short, zero-filled
// or not renamed at all), or one that holds nothing usable. Only a file changed after
// the journal was written, and holding a usable value, was changed by hand while the
// game was not running, and is kept.
//
// The store never reads the value files: it remembers what it wrote, and writes a
// value again only when it changed or its file is not the one it wrote (missing, or
// changed after its last journal).
//
// More values join the same record by adding their keys to the list SaveGame stores
// (StoreValues takes any keys of this directory); the journal and its recovery work
// on whatever keys a journal names.
#include "game/GameStore.h"

#include "app/Log.h"
#include "util/FileUtil.h"
#include "util/StringUtil.h"
#include "util/TextFile.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

// The game's seven values, then the player's statistics, which join the same record:
// a finished game and its count are stored as one.
constexpr int kValueCount = 8;
using Values = std::array<std::string, kValueCount>;
const char* const kValueKeys[kValueCount] = {kHistoryKey, kCodeKey, kStateKey, "col1",
                                             "col2",      "col3",   "col4",    kStatisticsKey};
constexpr int kHistoryIndex = 0;
constexpr int kCodeIndex = 1;
constexpr int kStateIndex = 2;
constexpr int kFirstColourIndex = 3;
constexpr int kStatisticsIndex = 7;

constexpr const char* kJournalMagic = "quorrel journal 1";
// A value up to this long is written into the journal; a longer one only into its own
// synced file, which the journal names. A journal stays within a page or two.
constexpr std::size_t kInlineLimit = 1024;
constexpr std::size_t kJournalLimit = 64 * 1024;

// Whether storing fails right now, and why; empty while it works.
std::string storeFailure;

// What the store knows of the disk: the journal it wrote last (told by its identity)
// and the values whose files hold exactly what it wrote, as of that journal.
struct StoreMemory {
    bool valid = false;
    dev_t device = 0;
    ino_t inode = 0;
    timespec journalTime{};
    std::map<std::string, std::string> written;
    // Long values renamed into place since the last directory sync: key -> the name
    // their new file had, which the next journal still names.
    std::map<std::string, std::string> unsettled;
};
StoreMemory memory;

// The store's directory. Naming it, or a file in it, makes nothing: SaveGame makes the
// directories once before it writes (MakeGameDirectories), and reading needs none.
std::string GameDirectory()
{
    return WithTrailingSlash(WithTrailingSlash(kSettingsRoot) + kGameApplication) + kGameSection;
}

// The store's directories, made where missing; false with the reason of the first
// that cannot be made. SettingsPath itself stays silent about it.
bool MakeGameDirectories(std::string& reason)
{
    std::string path = kSettingsRoot;
    for (const char* part : {"", kGameApplication, kGameSection}) {
        if (*part) path = WithTrailingSlash(path) + part;
        if (!EnsureDirectory(path)) {
            reason = path + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

std::string ValuePath(const std::string& key) { return WithTrailingSlash(GameDirectory()) + key; }

std::string JournalPath() { return ValuePath(kJournalKey); }

bool Later(const timespec& a, const timespec& b)
{
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

// 64-bit FNV-1a.
std::uint64_t Fingerprint(const std::string& bytes)
{
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    return h;
}

std::string Hex(std::uint64_t n)
{
    static const char digits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, n >>= 4) text[static_cast<std::size_t>(i)] = digits[n & 15];
    return text;
}

bool ParseHex(const std::string& text, std::uint64_t& n)
{
    if (text.size() != 16) return false;
    n = 0;
    for (char c : text) {
        const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (d < 0) return false;
        n = n << 4 | static_cast<std::uint64_t>(d);
    }
    return true;
}

// The lines of a file's bytes as ReadSetting gives them: each followed by "\r\n",
// cut at its first zero byte; a last line without a line feed counts.
std::string LinesAsText(const std::string& bytes)
{
    std::string text;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        const std::string line = bytes.substr(at, end - at);
        text += line.substr(0, line.find('\0'));
        text += "\r\n";
        at = end + 1;
    }
    return text;
}

Values ValuesOf(const GameRecord& record)
{
    Values v;
    v[kHistoryIndex] = record.guessHistory;
    v[kCodeIndex] = record.secretCode;
    v[kStateIndex] = IntToText(static_cast<int>(record.gameState));
    for (int k = 0; k < kCodeLength; ++k) v[kFirstColourIndex + k] = IntToText(record.currentGuess[k]);
    v[kStatisticsIndex] = record.statistics.ToText();
    return v;
}

// One value of a journal: either the value itself, or the fingerprint of its file's
// bytes and, while that file is not yet renamed into place, the new file's name.
struct JournalEntry {
    std::string key;
    bool inlined = true;
    std::string value;
    std::uint64_t fingerprint = 0;
    std::string pending;
};

// "<key> = <value>" or "<key> @ <fingerprint>[ <new file>]", then a check line.
std::string JournalText(const std::vector<JournalEntry>& entries)
{
    std::string text = std::string(kJournalMagic) + "\n";
    for (const JournalEntry& e : entries) {
        text += e.key + (e.inlined ? " = " + e.value : " @ " + Hex(e.fingerprint));
        if (!e.inlined && !e.pending.empty()) text += " " + e.pending;
        text += "\n";
    }
    return text + "end " + Hex(Fingerprint(text)) + "\n";
}

// False for anything but a whole journal whose check line matches its content.
bool ParseJournal(const std::string& bytes, std::vector<JournalEntry>& entries)
{
    const std::size_t endLine = bytes.rfind("end ");
    if (endLine == std::string::npos || bytes.size() != endLine + 4 + 16 + 1 || bytes.back() != '\n') return false;
    std::uint64_t check = 0;
    if (!ParseHex(bytes.substr(endLine + 4, 16), check) || check != Fingerprint(bytes.substr(0, endLine))) return false;
    const std::vector<std::string> lines = Split(bytes.substr(0, endLine), "\n");
    if (lines.empty() || lines[0] != kJournalMagic) return false;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;  // after the last line feed
        JournalEntry e;
        const std::size_t space = lines[i].find(' ');
        if (space == std::string::npos || space == 0 || lines[i].size() < space + 3) return false;
        e.key = lines[i].substr(0, space);
        const std::string rest = lines[i].substr(space + 3);
        if (lines[i].compare(space, 3, " = ") == 0) {
            e.value = rest;
            e.fingerprint = Fingerprint(rest + "\n");
        } else if (lines[i].compare(space, 3, " @ ") == 0 && ParseHex(rest.substr(0, 16), e.fingerprint)) {
            e.inlined = false;
            if (rest.size() > 17 && rest[16] == ' ') e.pending = rest.substr(17);
            if (rest.size() != 16 && e.pending.empty()) return false;
            if (e.pending.find('/') != std::string::npos) return false;
        } else {
            return false;
        }
        entries.push_back(e);
    }
    return true;
}

bool Identify(const std::string& path, struct stat& info) { return stat(path.c_str(), &info) == 0; }

void Remember(const struct stat& journal)
{
    memory.valid = true;
    memory.device = journal.st_dev;
    memory.inode = journal.st_ino;
    memory.journalTime = journal.st_mtim;
}

// Whether the journal in place is the one this process stored or loaded last.
bool JournalIsOurs()
{
    struct stat info {};
    return memory.valid && Identify(JournalPath(), info) && info.st_dev == memory.device &&
           info.st_ino == memory.inode && !Later(info.st_mtim, memory.journalTime) &&
           !Later(memory.journalTime, info.st_mtim);
}

// Stores values (key and value, in the order their files are written) as one record.
bool StoreValues(const std::vector<std::pair<std::string, std::string>>& values, std::string& reason)
{
    if (!JournalIsOurs()) {
        memory.written.clear();
        memory.unsettled.clear();
    }
    std::vector<std::optional<TextFile>> files(values.size());
    std::vector<JournalEntry> entries(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto& [key, value] = values[i];
        JournalEntry& e = entries[i];
        e.key = key;
        e.inlined = value.size() <= kInlineLimit;
        if (e.inlined) e.value = value;
        e.fingerprint = Fingerprint(value + "\n");
        const std::string path = ValuePath(key);
        struct stat info {};
        const bool present = lstat(path.c_str(), &info) == 0;
        // A rename cannot replace a directory: find out before anything is replaced.
        if (present && S_ISDIR(info.st_mode)) {
            reason = path + ": " + std::strerror(EISDIR);
            return false;
        }
        const auto known = memory.written.find(key);
        const bool unchanged = known != memory.written.end() && known->second == value && present &&
                               S_ISREG(info.st_mode) && !Later(info.st_mtim, memory.journalTime);
        if (!unchanged) files[i].emplace(path);
        if (const auto renamed = memory.unsettled.find(key);
            unchanged && !e.inlined && renamed != memory.unsettled.end())
            e.pending = renamed->second;
    }
    // Each TextFile removes its new file unless it was renamed into place.
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!files[i]) continue;
        if (!files[i]->WriteReplacement({values[i].second}, !entries[i].inlined)) {
            reason = files[i]->ErrorText();
            return false;
        }
        const std::string& pending = files[i]->ReplacementPath();
        if (!entries[i].inlined) entries[i].pending = pending.substr(pending.rfind('/') + 1);
    }
    // The long values' new files must be there, under their names, before a journal
    // names them.
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (files[i] && !entries[i].inlined) {
            TextFile::SyncDirectory(GameDirectory());
            break;
        }
    }
    TextFile journalFile(JournalPath());
    std::string text = JournalText(entries);
    text.pop_back();  // WriteReplacement ends the last line
    if (!journalFile.WriteReplacement({text}, true) || !journalFile.CommitReplacement(true)) {
        reason = journalFile.ErrorText();
        return false;
    }
    struct stat journal {};
    if (Identify(JournalPath(), journal))
        Remember(journal);
    else
        memory.valid = false;
    // The journal's directory sync made every earlier rename durable.
    memory.unsettled.clear();
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!files[i]) continue;
        memory.written.erase(values[i].first);
        if (!files[i]->CommitReplacement(false)) {
            reason = files[i]->ErrorText();
            return false;
        }
        memory.written[values[i].first] = values[i].second;
        if (!entries[i].inlined) memory.unsettled[values[i].first] = entries[i].pending;
    }
    return true;
}

void NoteStoreOutcome(bool stored, const std::string& reason)
{
    if (!stored && storeFailure.empty()) WriteLog("The game cannot be stored: " + reason);
    if (stored && !storeFailure.empty()) WriteLog("The game is stored again.");
    storeFailure = stored ? std::string() : reason.empty() ? std::string("unknown reason") : reason;
}

// strtol in base 10, as the game always read numbers: leading white space skipped,
// an optional sign, reading stops at the first non-digit. False when no digit came.
bool ReadNumber(const std::string& text, long& number)
{
    char* end = nullptr;
    number = std::strtol(text.c_str(), &end, 10);
    return end != text.c_str();
}

bool NumberWithin(const std::string& text, long lo, long hi)
{
    long number = 0;
    return ReadNumber(text, number) && number >= lo && number <= hi;
}

// Whether a file's bytes hold a value the game can use as it is. What a power loss
// leaves of a file (nothing, zeros, a cut) mostly fails this; a cut history that
// still reads well is told by its time instead.
bool IsUsableValue(const std::string& key, const std::string& bytes)
{
    if (bytes.empty() || bytes.find('\0') != std::string::npos) return false;
    const std::string text = Trim(LinesAsText(bytes));
    if (key == kCodeKey) return IsValidSecretCode(text);
    if (key == kStateKey) return NumberWithin(text, 0, 2);
    if (key.rfind(kColourKeyPrefix, 0) == 0) return NumberWithin(text, 0, kColourCount - 1);
    if (key == kStatisticsKey) {
        GameStatistics statistics;
        std::string reason;
        return GameStatistics::FromText(text, statistics, reason);
    }
    if (key == kHistoryKey) {
        for (const std::string& piece : HistoryRecords(text))
            if (!IsValidGuessRecord(piece)) return false;
    }
    return true;
}

// A value file as the start reads it, once, for both the journal's check and the
// load: at most kStoredValueLimit bytes (the newest ones for the history) and when
// the file was last changed.
struct FileRead {
    std::string bytes;
    bool failed = false;  // missing, unreadable or not a regular file
    bool notRegular = false;
    bool cut = false;
    std::string errorText;
    timespec modified{};
};

FileRead ReadValueFile(const std::string& key)
{
    TextFile file(ValuePath(key));
    FileRead read;
    read.bytes = file.ReadBytes(kStoredValueLimit, key == kHistoryKey);
    read.failed = file.Failed();
    read.notRegular = file.NotRegular();
    read.cut = file.Cut();
    read.errorText = file.ErrorText();
    read.modified = file.ModifiedTime();
    return read;
}

// What a value file holds once recovery has written `bytes` into it.
FileRead PutBack(std::string bytes)
{
    FileRead read;
    read.bytes = std::move(bytes);
    return read;
}

// After a crash: every file that does not hold its value in the journal is put back
// from the journal, unless it was changed after the journal was written and holds a
// usable value (changed by hand while the game was not running: kept). A damaged
// journal is ignored. A value that needed putting back and could not be goes into
// `unrestored`, so that the game goes on with the journal's record; the journal then
// stays for the next start to try again. `files` holds the value files as read at
// start (a key the journal names beyond them is read here) and is kept up to date
// with what recovery puts back.
void RecoverFromJournal(std::map<std::string, FileRead>& files, std::map<std::string, std::string>& unrestored)
{
    if (!FileExists(JournalPath())) return;
    TextFile journalFile(JournalPath());
    const std::string bytes = journalFile.ReadBytes(kJournalLimit);
    std::vector<JournalEntry> entries;
    struct stat journal {};
    // A journal that is set aside goes: the files are whole as they are, and the
    // next store writes a new one before it touches them.
    if (journalFile.Failed() || journalFile.Cut() || !ParseJournal(bytes, entries) ||
        !Identify(JournalPath(), journal)) {
        WriteLog(JournalPath() + ": damaged, ignored");
        RemoveFile(JournalPath());
        return;
    }
    bool restored = false;
    std::string reason;
    for (const JournalEntry& e : entries) {
        const std::string path = ValuePath(e.key);
        if (!files.count(e.key)) files[e.key] = ReadValueFile(e.key);
        FileRead& file = files[e.key];
        const std::string& now = file.bytes;
        const bool readable = !file.failed && !file.cut;
        if (readable && Fingerprint(now) == e.fingerprint) continue;
        if (readable && Later(file.modified, journal.st_mtim) && IsUsableValue(e.key, now)) {
            WriteLog(path + ": changed since the game stored it, kept as it is");
            continue;
        }
        if (e.inlined) {
            TextFile value(path);
            if (value.WriteReplacement({e.value}, true) && value.CommitReplacement(false)) {
                restored = true;
                file = PutBack(e.value + "\n");
            } else {
                reason = value.ErrorText();
                unrestored[e.key] = e.value;
            }
            continue;
        }
        // A long value: its new file was synced before the journal, and waits for its rename.
        const std::string pendingPath = ValuePath(e.pending);
        TextFile pending(pendingPath);
        const std::string waiting = e.pending.empty() ? std::string() : pending.ReadBytes(kStoredValueLimit);
        if (e.pending.empty() || pending.Failed() || Fingerprint(waiting) != e.fingerprint) {
            WriteLog(path + ": not the value last stored, which is gone; read as it is");
            continue;
        }
        if (std::rename(pendingPath.c_str(), path.c_str()) == 0) {
            restored = true;
            file = PutBack(waiting);
        } else {
            reason = path + ": " + std::strerror(errno);
            unrestored[e.key] = waiting.substr(0, waiting.size() - 1);
        }
    }
    if (restored) TextFile::SyncDirectory(GameDirectory());
    if (!unrestored.empty()) {
        WriteLog(GameDirectory() + ": the last stored record cannot be put back into its files (" + reason +
                 "); the game goes on with it");
    } else if (restored) {
        WriteLog(GameDirectory() + ": restored the last stored record from its journal");
    }
    if (Identify(JournalPath(), journal)) Remember(journal);
}

struct ValueRead {
    std::string text;      // trimmed
    std::string bytes;     // as read, when not cut
    bool present = false;  // a regular file was there and could be read
    bool cut = false;      // longer than kStoredValueLimit
};

// A value file read by the game's rule (ReadValueFile): its lines, trimmed. Everything
// that loses stored bytes is logged: a file that is no regular file, cannot be read or
// is cut.
ValueRead ReadGameValue(int index, const FileRead& file)
{
    const std::string path = ValuePath(kValueKeys[index]);
    const bool newest = index == kHistoryIndex;
    std::string bytes = file.bytes;
    ValueRead read;
    if (file.notRegular) {
        WriteLog(path + ": not a regular file, read as missing");
        return read;
    }
    if (file.failed) {
        if (FileExists(path)) WriteLog(file.errorText + ", read as missing");
        return read;
    }
    read.present = true;
    read.cut = file.cut;
    if (!read.cut) read.bytes = bytes;
    if (read.cut) {
        WriteLog(path + ": " + IntToText(FileSize(path)) + " bytes, more than a stored value can be; only the " +
                 (newest ? "newest " : "first ") + IntToText(static_cast<std::int64_t>(kStoredValueLimit)) +
                 " are read");
        // The cut lands inside a record: the history starts after it.
        if (newest) {
            const std::size_t semicolon = bytes.find(';');
            bytes.erase(0, semicolon == std::string::npos ? bytes.size() : semicolon + 1);
        }
    }
    read.text = Trim(LinesAsText(bytes));
    return read;
}

std::string Shown(const std::string& text)
{
    return "\"" + (text.size() > 24 ? text.substr(0, 24) + "..." : text) + "\"";
}

// A number read by the rule, or fallback when there is none or it is outside lo..hi;
// each such repair is logged. True when the value had to be repaired.
bool ReadInRange(const ValueRead& read, const std::string& key, long lo, long hi, long fallback,
                 const std::string& fallbackText, long& value)
{
    long number = 0;
    std::string problem;
    if (read.text.empty())
        problem = "missing or empty";
    else if (!ReadNumber(read.text, number))
        problem = Shown(read.text) + " holds no number";
    else if (number < lo || number > hi)
        problem = IntToText(number) + " is out of range";
    if (problem.empty()) {
        value = number;
        return false;
    }
    WriteLog(key + ": " + problem + ", " + fallbackText);
    value = fallback;
    return true;
}

void StartFreshGame(GameRecord& record)
{
    record.guessHistory.clear();
    record.secretCode = DrawSecretCode();
    record.currentGuess.fill(0);
    record.gameState = GameState::Playing;
    SaveGame(record);
}

// Keeps the valid records of a stored history; true when some had to go.
bool DropDamagedRecords(std::string& history)
{
    std::string kept;
    int dropped = 0;
    for (const std::string& piece : HistoryRecords(history)) {
        if (!IsValidGuessRecord(piece)) {
            ++dropped;
            continue;
        }
        if (!kept.empty()) kept += ";";
        kept += piece;
    }
    history = kept;
    if (dropped > 0) WriteLog(std::string(kHistoryKey) + ": dropped " + IntToText(dropped) + " damaged guess records");
    return dropped > 0;
}

}  // namespace

std::string SettingsPath(const std::string& application, const std::string& section, const std::string& key)
{
    std::string path = kSettingsRoot;
    for (const std::string* part : {&application, &section}) {
        EnsureDirectory(path);
        path = WithTrailingSlash(path) + *part;
    }
    EnsureDirectory(path);
    return WithTrailingSlash(path) + key;
}

std::string ReadSetting(const std::string& application, const std::string& section, const std::string& key)
{
    // No line limit: a long game's history grows past any fixed buffer.
    TextFile file(SettingsPath(application, section, key));
    const std::string bytes = file.ReadBytes(kStoredValueLimit);
    return file.Failed() ? std::string() : LinesAsText(bytes);
}

bool WriteSetting(const std::string& application, const std::string& section, const std::string& key,
                  const std::string& value)
{
    return TextFile(SettingsPath(application, section, key)).ReplaceLines({value});
}

bool SaveGame(const GameRecord& record)
{
    const Values values = ValuesOf(record);
    std::vector<std::pair<std::string, std::string>> entries;
    for (int k = 0; k < kValueCount; ++k) entries.emplace_back(kValueKeys[k], values[k]);
    std::string reason;
    const bool stored = MakeGameDirectories(reason) && StoreValues(entries, reason);
    NoteStoreOutcome(stored, reason);
    return stored;
}

const std::string& StoreFailure() { return storeFailure; }

bool LoadGame(GameRecord& record)
{
    record.currentGuess.fill(0);
    memory = StoreMemory();
    // Each value file is read once, here, for the journal's check and the load alike.
    std::map<std::string, FileRead> files;
    for (const char* key : kValueKeys) files[key] = ReadValueFile(key);
    std::map<std::string, std::string> unrestored;
    RecoverFromJournal(files, unrestored);
    // A store cut short by a crash leaves its new files; nothing else would ever
    // remove them. Those of a writer that still runs are its own business. Kept
    // while the journal still needs one of them.
    if (unrestored.empty()) TextFile::RemoveAbandonedReplacements(GameDirectory());

    std::array<ValueRead, kValueCount> read;
    for (int k = 0; k < kValueCount; ++k) {
        const auto journal = unrestored.find(kValueKeys[k]);
        if (journal != unrestored.end()) {
            read[k].text = Trim(journal->second);
            read[k].present = true;
        } else {
            read[k] = ReadGameValue(k, files[kValueKeys[k]]);
        }
    }

    // The statistics come first: a game that cannot be used does not take them along,
    // and statistics that cannot be used do not touch the game. Earlier versions
    // stored none.
    const ValueRead& statistics = read[kStatisticsIndex];
    std::string reason;
    const bool statisticsLost =
        !GameStatistics::FromText(statistics.text, record.statistics, reason) && statistics.present;
    if (statisticsLost) WriteLog(std::string(kStatisticsKey) + ": " + reason + "; counted from zero");

    const std::string& code = read[kCodeIndex].text;
    if (!IsValidSecretCode(code)) {
        bool anythingStored = false;
        for (int k = 0; k < kStatisticsIndex; ++k) anythingStored = anythingStored || read[k].present;
        if (anythingStored) {
            const int guesses = CountAttempts(read[kHistoryIndex].text);
            WriteLog(std::string(kCodeKey) + ": " + Shown(code) +
                     " is no code of four digits 0 to 7; a new game starts and the stored one is discarded (" +
                     IntToText(guesses) + " guesses, state " + Shown(read[kStateIndex].text) + ")");
        }
        StartFreshGame(record);
        return true;
    }
    record.secretCode = code;

    long number = 0;
    bool repaired = ReadInRange(read[kStateIndex], kStateKey, 0, 2, 0, "the stored game goes on as playing", number) ||
                    statisticsLost;
    record.gameState = static_cast<GameState>(number);

    record.guessHistory = read[kHistoryIndex].text;
    repaired = DropDamagedRecords(record.guessHistory) || repaired;

    for (int k = 0; k < kCodeLength; ++k) {
        const int index = kFirstColourIndex + k;
        repaired =
            ReadInRange(read[index], kValueKeys[index], 0, kColourCount - 1, 0, "reading it as 0", number) || repaired;
        record.currentGuess[k] = static_cast<int>(number);
    }
    // The files that hold what the game would write need no store.
    const Values values = ValuesOf(record);
    for (int k = 0; k < kValueCount; ++k)
        if (read[k].present && read[k].bytes == values[k] + "\n") memory.written[kValueKeys[k]] = values[k];
    // Also a cut value: the disk then matches the game shown.
    for (const ValueRead& r : read) repaired = repaired || r.cut;
    if (repaired) SaveGame(record);
    return true;
}
