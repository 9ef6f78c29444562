#pragma once
// The audit trail: one SQLite database per user, one entry per event, each
// entry chained to the one before by SHA-256, so that an entry edited,
// removed or moved breaks the chain at that entry. The program only ever
// adds entries. The chain's head (last sequence number and hash) is also
// written, after every entry, to a small file elsewhere, so that a trail cut
// at its end is found too; signed reports carry the head of their time.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace valdex {

// Who writes the entries: the operating-system login and full name, the
// host and the program's version.
struct AuditIdentity {
    std::string login;
    std::string fullName;
    std::string host;
    std::string version;
};
AuditIdentity CurrentIdentity();

struct AuditEntry {
    std::int64_t sequence = 0;
    std::string time; // UTC, ISO 8601: "2026-12-09T07:15:02Z"
    std::string login;
    std::string fullName;
    std::string host;
    std::string version;
    std::string event;
    std::string details; // a JSON object
    std::string previousHash;
    std::string hash;
};

// The hash that the first entry follows.
inline const std::string kGenesisHash(64, '0');

// The bytes that an entry's hash is taken over: every field but the hash,
// each as its length in decimal, a colon, its bytes and a semicolon.
std::string CanonicalEncoding(const AuditEntry& entry);
std::string EntryHash(const AuditEntry& entry);

struct ChainHead {
    std::int64_t sequence = 0; // 0: no entry yet
    std::string hash = kGenesisHash;
    std::string Text() const; // "12:ab34…" (sequence, colon, hash)
    static std::optional<ChainHead> Parse(const std::string& text);
};

struct AuditVerification {
    bool intact = true;
    std::int64_t entries = 0;
    ChainHead head;
    std::optional<std::int64_t> firstBad; // the first entry altered, removed or moved
    std::string message;                  // Spanish, one line
};

struct AuditFilter {
    std::string study;     // a path or a SHA-256 that the details name; empty: any
    std::string studyHash; // a second text that counts as well (the file's SHA-256)
    std::string from;      // ISO date or time, inclusive; empty: any
    std::string to;        // ISO date or time, inclusive (a date covers its day)
};

class AuditTrail {
public:
    // Opens (and makes, with its folder) the database; `headPath` empty keeps
    // no head file. Throws AppError with a Spanish message naming the file.
    AuditTrail(const std::string& databasePath, const std::string& headPath,
               AuditIdentity identity = CurrentIdentity());
    ~AuditTrail();
    AuditTrail(const AuditTrail&) = delete;
    AuditTrail& operator=(const AuditTrail&) = delete;

    // $XDG_DATA_HOME/valdex/auditoria.sqlite, else ~/.local/share/valdex/….
    static std::string DefaultDatabasePath();
    // $XDG_STATE_HOME/valdex/auditoria-cabeza.txt, else ~/.local/state/valdex/….
    static std::string DefaultHeadPath();

    // Adds one entry in one transaction, waiting for another writer when
    // needed. `details` must be a JSON object. Throws AppError.
    AuditEntry Append(const std::string& event, const std::string& details);

    ChainHead Head();
    std::vector<AuditEntry> Entries(const AuditFilter& filter = {});
    // Walks the chain; the heads given (those of signed reports) and the head
    // file's must be in it.
    AuditVerification Verify(const std::vector<ChainHead>& knownHeads = {});
    // The last `count` entries only, each against the one before it and the
    // head file's head: what a start-up can afford however long the trail
    // has grown. The first of them is taken as it links to the rest.
    AuditVerification VerifyTail(std::int64_t count);
    // The entries a start-up walks.
    static constexpr std::int64_t kTailCheckedAtStart = 100;
    // True when a signed report names a study of this SHA-256.
    bool StudySigned(const std::string& sha256);

    const std::string& DatabasePath() const { return path_; }

private:
    AuditVerification Walk(std::int64_t from, const std::vector<ChainHead>& knownHeads);
    void WriteHeadFile(const ChainHead& head);
    std::optional<ChainHead> ReadHeadFile(std::string& problem);

    std::string path_;
    std::string headPath_;
    AuditIdentity identity_;
    sqlite3* db_ = nullptr;
};

// The entries as a CSV table (RFC 4180, a header row, every field quoted).
std::string AuditCsv(const std::vector<AuditEntry>& entries);

} // namespace valdex
