// The stored game as one record. Each of the seven values keeps its one-line file
// (their names, format and write order are what other readers rely on), and one more
// file beside them, the journal, holds the whole record. A store writes the seven new
// files first, then the journal, synced, and renames it into place (this is the
// moment the record is stored), and only then renames the seven new files over the
// old ones without a sync each: two syncs per stored change, whatever the record's
// size. A crash at any point leaves either the old journal with the seven old files,
// or the new journal with each file old or new; LoadGame then puts back the seven
// files from the journal. The journal also names what each file held before, so that
// a file changed by hand or by another program is told apart from one a crash cut
// short, and kept.
#include "game/GameStore.h"

#include "app/Log.h"
#include "util/FileUtil.h"
#include "util/StringUtil.h"
#include "util/TextFile.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sys/stat.h>

namespace {

constexpr int kValueCount = 7;
using Values = std::array<std::string, kValueCount>;
const char* const kValueKeys[kValueCount] = {kHistoryKey, kCodeKey, kStateKey, "col1", "col2", "col3", "col4"};
constexpr int kHistoryIndex = 0;
constexpr int kCodeIndex = 1;
constexpr int kStateIndex = 2;
constexpr int kFirstColourIndex = 3;

constexpr const char* kJournalMagic = "quorrel record 1";
// The journal: the whole record and, for each file, what it held before.
constexpr std::size_t kJournalLimit = 2 * kStoredValueLimit + 4096;

// What a file held, as a fingerprint: the hash of its bytes, or one of these.
constexpr std::uint64_t kNoFile = 0;
constexpr std::uint64_t kNotAFile = 1;

// Whether storing fails right now, and why; empty while it works.
std::string storeFailure;

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

// 64-bit FNV-1a, moved off the two reserved fingerprints.
std::uint64_t Fingerprint(const std::string& bytes)
{
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    return h > kNotAFile ? h : h + 2;
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

// What a value file holds now, as a fingerprint; the same bytes a load reads.
std::uint64_t FingerprintOfFile(const std::string& path)
{
    TextFile file(path);
    const std::string bytes = file.ReadBytes(kStoredValueLimit);
    if (file.Failed()) return FileExists(path) ? kNotAFile : kNoFile;
    return Fingerprint(bytes);
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
    return v;
}

struct Journal {
    Values values;
    std::array<std::uint64_t, kValueCount> before{};
};

std::string JournalText(const Journal& j)
{
    std::string text = std::string(kJournalMagic) + "\n";
    for (int k = 0; k < kValueCount; ++k)
        text += std::string(kValueKeys[k]) + " " + Hex(j.before[k]) + " " + j.values[k] + "\n";
    return text + "end " + Hex(Fingerprint(text)) + "\n";
}

// False for anything but a whole journal whose check line matches its content.
bool ParseJournal(const std::string& bytes, Journal& j)
{
    const std::size_t endLine = bytes.rfind("end ");
    if (endLine == std::string::npos || bytes.size() != endLine + 4 + 16 + 1 || bytes.back() != '\n') return false;
    std::uint64_t check = 0;
    if (!ParseHex(bytes.substr(endLine + 4, 16), check) || check != Fingerprint(bytes.substr(0, endLine))) return false;
    std::size_t at = 0;
    auto nextLine = [&](std::string& line) {
        const std::size_t nl = bytes.find('\n', at);
        if (nl == std::string::npos || nl >= endLine) return false;
        line = bytes.substr(at, nl - at);
        at = nl + 1;
        return true;
    };
    std::string line;
    if (!nextLine(line) || line != kJournalMagic) return false;
    for (int k = 0; k < kValueCount; ++k) {
        const std::string prefix = std::string(kValueKeys[k]) + " ";
        if (!nextLine(line) || line.compare(0, prefix.size(), prefix) != 0 || line.size() < prefix.size() + 17 ||
            line[prefix.size() + 16] != ' ' || !ParseHex(line.substr(prefix.size(), 16), j.before[k]))
            return false;
        j.values[k] = line.substr(prefix.size() + 17);
    }
    return at == endLine;
}

// Replaces the seven files with values, in their order. With a journal, it is written
// and renamed into place, synced, after the seven new files are written and before
// any of them is renamed. reason gets the path and the system's reason of a failure.
bool ReplaceValues(const Values& values, const Journal* journal, std::string& reason)
{
    // Each TextFile removes its new file unless it was renamed into place.
    std::array<std::optional<TextFile>, kValueCount> files;
    for (int k = 0; k < kValueCount; ++k) files[k].emplace(ValuePath(kValueKeys[k]));
    // A rename cannot replace a directory: find out before anything is replaced.
    for (const std::optional<TextFile>& file : files) {
        struct stat info {};
        if (lstat(file->Path().c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            reason = file->Path() + ": " + std::strerror(EISDIR);
            return false;
        }
    }
    for (int k = 0; k < kValueCount; ++k) {
        if (!files[k]->WriteReplacement({values[k]}, false)) {
            reason = files[k]->ErrorText();
            return false;
        }
    }
    if (journal) {
        TextFile journalFile(JournalPath());
        std::string text = JournalText(*journal);
        text.pop_back();  // WriteReplacement ends the last line
        if (!journalFile.WriteReplacement({text}, true) || !journalFile.CommitReplacement(true)) {
            reason = journalFile.ErrorText();
            return false;
        }
    }
    for (std::optional<TextFile>& file : files) {
        if (!file->CommitReplacement(false)) {
            reason = file->ErrorText();
            return false;
        }
    }
    return true;
}

void NoteStoreOutcome(bool stored, const std::string& reason)
{
    if (!stored && storeFailure.empty()) WriteLog("The game cannot be stored: " + reason);
    if (stored && !storeFailure.empty()) WriteLog("The game is stored again.");
    storeFailure = stored ? std::string() : reason.empty() ? std::string("unknown reason") : reason;
}

// After a crash: when the journal holds a record the seven files do not, and every
// file that differs holds what it held before that record (or nothing, or was cut to
// nothing, or is no readable file), the files are put back from the journal. A damaged journal is ignored.
// True, with the record in `unrestored`, when the files needed putting back and could
// not be: the game then goes on with the journal's record, which stays for the next
// start to try again.
bool RecoverFromJournal(Values& unrestored)
{
    if (!FileExists(JournalPath())) return false;
    TextFile journalFile(JournalPath());
    const std::string bytes = journalFile.ReadBytes(kJournalLimit);
    Journal journal;
    // A journal that is set aside goes: the files are whole as they are, and the
    // next store writes a new one before it touches them.
    if (journalFile.Failed() || journalFile.Cut() || !ParseJournal(bytes, journal)) {
        WriteLog(JournalPath() + ": damaged, ignored");
        RemoveFile(JournalPath());
        return false;
    }
    int differing = 0;
    for (int k = 0; k < kValueCount; ++k) {
        const std::string path = ValuePath(kValueKeys[k]);
        const std::uint64_t now = FingerprintOfFile(path);
        if (now == Fingerprint(journal.values[k] + "\n")) continue;
        ++differing;
        // An empty file is what a power loss may leave of a file renamed unsynced;
        // something that is no readable file (a FIFO, a directory, no permission)
        // holds no value anybody stored, and the journal has the one that was.
        const bool cutShort = now == journal.before[k] || now == Fingerprint("") || now == kNotAFile;
        if (!cutShort) {
            WriteLog(path + ": changed since the game stored it; the value files are read as they are");
            RemoveFile(JournalPath());
            return false;
        }
    }
    if (differing == 0) return false;
    std::string reason;
    if (ReplaceValues(journal.values, nullptr, reason)) {
        WriteLog(GameDirectory() + ": restored the last stored record from its journal");
        return false;
    }
    WriteLog(GameDirectory() + ": the last stored record cannot be put back into its files (" + reason +
             "); the game goes on with it");
    unrestored = journal.values;
    return true;
}

struct ValueRead {
    std::string text;      // trimmed
    bool present = false;  // a regular file was there and could be read
    bool cut = false;      // longer than kStoredValueLimit
};

// A value file read by the game's rule: at most kStoredValueLimit bytes (the newest
// ones for the history), its lines, trimmed. Everything that loses stored bytes is
// logged: a file that is no regular file, cannot be read or is cut.
ValueRead ReadGameValue(int index)
{
    const std::string path = ValuePath(kValueKeys[index]);
    TextFile file(path);
    const bool newest = index == kHistoryIndex;
    std::string bytes = file.ReadBytes(kStoredValueLimit, newest);
    ValueRead read;
    if (file.NotRegular()) {
        WriteLog(path + ": not a regular file, read as missing");
        return read;
    }
    if (file.Failed()) {
        if (FileExists(path)) WriteLog(file.ErrorText() + ", read as missing");
        return read;
    }
    read.present = true;
    read.cut = file.Cut();
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

// strtol in base 10, as the game always read numbers: leading white space skipped,
// an optional sign, reading stops at the first non-digit. False when no digit came.
bool ReadNumber(const std::string& text, long& number)
{
    char* end = nullptr;
    number = std::strtol(text.c_str(), &end, 10);
    return end != text.c_str();
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
    Journal journal;
    journal.values = ValuesOf(record);
    for (int k = 0; k < kValueCount; ++k) journal.before[k] = FingerprintOfFile(ValuePath(kValueKeys[k]));
    std::string reason;
    const bool stored = MakeGameDirectories(reason) && ReplaceValues(journal.values, &journal, reason);
    NoteStoreOutcome(stored, reason);
    return stored;
}

const std::string& StoreFailure() { return storeFailure; }

bool LoadGame(GameRecord& record)
{
    record.currentGuess.fill(0);
    // A store cut short by a crash leaves its new files; nothing else would ever
    // remove them. Those of a writer that still runs are its own business.
    TextFile::RemoveAbandonedReplacements(GameDirectory());
    Values unrestored;
    const bool fromJournal = RecoverFromJournal(unrestored);

    std::array<ValueRead, kValueCount> read;
    for (int k = 0; k < kValueCount; ++k) {
        if (fromJournal) {
            read[k].text = Trim(unrestored[k]);
            read[k].present = true;
        } else {
            read[k] = ReadGameValue(k);
        }
    }

    const std::string& code = read[kCodeIndex].text;
    if (!IsValidSecretCode(code)) {
        bool anythingStored = false;
        for (const ValueRead& r : read) anythingStored = anythingStored || r.present;
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
    bool repaired = ReadInRange(read[kStateIndex], kStateKey, 0, 2, 0, "the stored game goes on as playing", number);
    record.gameState = static_cast<GameState>(number);

    record.guessHistory = read[kHistoryIndex].text;
    repaired = DropDamagedRecords(record.guessHistory) || repaired;

    for (int k = 0; k < kCodeLength; ++k) {
        const int index = kFirstColourIndex + k;
        repaired =
            ReadInRange(read[index], kValueKeys[index], 0, kColourCount - 1, 0, "reading it as 0", number) || repaired;
        record.currentGuess[k] = static_cast<int>(number);
    }
    // Also a cut value: the disk then matches the game shown.
    for (const ValueRead& r : read) repaired = repaired || r.cut;
    if (repaired) SaveGame(record);
    return true;
}
