#include "records/audit_trail.h"

#include "base/app_error.h"
#include "files/file_identity.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <pwd.h>
#include <sstream>
#include <sys/file.h>
#include <unistd.h>

#ifndef VALDEX_VERSION
#define VALDEX_VERSION "desconocida"
#endif

namespace valdex {

namespace fs = std::filesystem;

namespace {

std::string Folder(const char* xdgVariable, const char* homeRelative) {
    const char* xdg = std::getenv(xdgVariable);
    if (xdg && *xdg == '/') return std::string(xdg) + "/valdex/";
    const char* home = std::getenv("HOME");
    std::string base = home && *home ? home : "";
    if (base.empty())
        if (const passwd* pw = getpwuid(getuid())) base = pw->pw_dir;
    return base + "/" + homeRelative + "/valdex/";
}

std::string UtcNow() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<int>(millis));
    return text;
}

class Statement {
public:
    Statement(sqlite3* db, const char* sql, const std::string& file) : file_(file) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK)
            throw FileError(file + ": " + sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    void Bind(int index, const std::string& text) {
        sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
    }
    void Bind(int index, std::int64_t value) { sqlite3_bind_int64(stmt_, index, value); }
    bool Step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        throw FileError(file_ + ": " + sqlite3_errmsg(sqlite3_db_handle(stmt_)));
    }
    std::string Text(int column) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return text ? std::string(text, sqlite3_column_bytes(stmt_, column)) : std::string();
    }
    std::int64_t Int(int column) { return sqlite3_column_int64(stmt_, column); }

private:
    sqlite3_stmt* stmt_ = nullptr;
    std::string file_;
};

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS entradas ("
    " secuencia INTEGER PRIMARY KEY, hora TEXT NOT NULL, usuario TEXT NOT NULL,"
    " nombre TEXT NOT NULL, equipo TEXT NOT NULL, version TEXT NOT NULL,"
    " evento TEXT NOT NULL, detalles TEXT NOT NULL, hash_anterior TEXT NOT NULL,"
    " hash TEXT NOT NULL);"
    // The program never changes an entry; these stop a slip, not a user.
    "CREATE TRIGGER IF NOT EXISTS entradas_sin_cambios BEFORE UPDATE ON entradas"
    " BEGIN SELECT RAISE(ABORT, 'el registro de auditoría no se modifica'); END;"
    "CREATE TRIGGER IF NOT EXISTS entradas_sin_borrado BEFORE DELETE ON entradas"
    " BEGIN SELECT RAISE(ABORT, 'el registro de auditoría no se borra'); END;";

constexpr const char* kColumns = "secuencia, hora, usuario, nombre, equipo, version, evento, "
                                 "detalles, hash_anterior, hash";

AuditEntry ReadEntry(Statement& row) {
    AuditEntry e;
    e.sequence = row.Int(0);
    e.time = row.Text(1);
    e.login = row.Text(2);
    e.fullName = row.Text(3);
    e.host = row.Text(4);
    e.version = row.Text(5);
    e.event = row.Text(6);
    e.details = row.Text(7);
    e.previousHash = row.Text(8);
    e.hash = row.Text(9);
    return e;
}

} // namespace

AuditIdentity CurrentIdentity() {
    AuditIdentity identity;
    identity.version = VALDEX_VERSION;
    if (const passwd* pw = getpwuid(getuid())) {
        identity.login = pw->pw_name ? pw->pw_name : "";
        std::string gecos = pw->pw_gecos ? pw->pw_gecos : "";
        identity.fullName = gecos.substr(0, gecos.find(','));
    }
    if (identity.login.empty())
        if (const char* user = std::getenv("USER")) identity.login = user;
    if (identity.fullName.empty()) identity.fullName = identity.login;
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0) identity.host = host;
    return identity;
}

std::string CanonicalEncoding(const AuditEntry& e) {
    std::string out;
    auto field = [&out](const std::string& value) {
        out += std::to_string(value.size());
        out += ':';
        out += value;
        out += ';';
    };
    field(std::to_string(e.sequence));
    for (const std::string* value : {&e.time, &e.login, &e.fullName, &e.host, &e.version, &e.event,
                                     &e.details, &e.previousHash})
        field(*value);
    return out;
}

std::string EntryHash(const AuditEntry& entry) {
    return Sha256Hex(CanonicalEncoding(entry));
}

std::string ChainHead::Text() const {
    return std::to_string(sequence) + ":" + hash;
}

std::optional<ChainHead> ChainHead::Parse(const std::string& text) {
    const auto colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || colon > 18) return std::nullopt;
    ChainHead head;
    for (char c : text.substr(0, colon))
        if (c < '0' || c > '9') return std::nullopt;
    head.sequence = std::stoll(text.substr(0, colon));
    head.hash = text.substr(colon + 1);
    if (head.hash.size() != 64) return std::nullopt;
    for (char c : head.hash)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    return head;
}

std::string AuditTrail::DefaultDatabasePath() {
    return Folder("XDG_DATA_HOME", ".local/share") + "auditoria.sqlite";
}

std::string AuditTrail::DefaultHeadPath() {
    return Folder("XDG_STATE_HOME", ".local/state") + "auditoria-cabeza.txt";
}

AuditTrail::AuditTrail(const std::string& databasePath, const std::string& headPath,
                       AuditIdentity identity)
    : path_(databasePath), headPath_(headPath), identity_(std::move(identity)) {
    std::error_code ignored;
    fs::create_directories(fs::path(path_).parent_path(), ignored);
    if (!headPath_.empty()) fs::create_directories(fs::path(headPath_).parent_path(), ignored);
    if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        const std::string why = db_ ? sqlite3_errmsg(db_) : "sin memoria";
        sqlite3_close(db_);
        db_ = nullptr;
        throw FileError(path_ + ": no se puede abrir el registro de auditoría (" + why + ").");
    }
    sqlite3_busy_timeout(db_, 10000);
    char* error = nullptr;
    const std::string setup =
        std::string("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;") + kSchema;
    if (sqlite3_exec(db_, setup.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string why = error ? error : "error";
        sqlite3_free(error);
        sqlite3_close(db_);
        db_ = nullptr;
        throw FileError(path_ + ": no es un registro de auditoría válido (" + why + ").");
    }
}

AuditTrail::~AuditTrail() {
    sqlite3_close(db_);
}

AuditEntry AuditTrail::Append(const std::string& event, const std::string& details) {
    if (sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw FileError(path_ + ": " + sqlite3_errmsg(db_));
    AuditEntry entry;
    try {
        Statement last(db_, "SELECT secuencia, hash FROM entradas ORDER BY secuencia DESC LIMIT 1",
                       path_);
        entry.previousHash = kGenesisHash;
        if (last.Step()) {
            entry.sequence = last.Int(0);
            entry.previousHash = last.Text(1);
        }
        ++entry.sequence;
        entry.time = UtcNow();
        entry.login = identity_.login;
        entry.fullName = identity_.fullName;
        entry.host = identity_.host;
        entry.version = identity_.version;
        entry.event = event;
        entry.details = details;
        entry.hash = EntryHash(entry);
        Statement insert(db_,
                         "INSERT INTO entradas (secuencia, hora, usuario, nombre, equipo, version,"
                         " evento, detalles, hash_anterior, hash) VALUES (?,?,?,?,?,?,?,?,?,?)",
                         path_);
        insert.Bind(1, entry.sequence);
        int i = 2;
        for (const std::string* value :
             {&entry.time, &entry.login, &entry.fullName, &entry.host, &entry.version, &entry.event,
              &entry.details, &entry.previousHash, &entry.hash})
            insert.Bind(i++, *value);
        insert.Step();
        if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            throw FileError(path_ + ": " + sqlite3_errmsg(db_));
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    WriteHeadFile({entry.sequence, entry.hash});
    return entry;
}

ChainHead AuditTrail::Head() {
    Statement last(db_, "SELECT secuencia, hash FROM entradas ORDER BY secuencia DESC LIMIT 1",
                   path_);
    ChainHead head;
    if (last.Step()) head = {last.Int(0), last.Text(1)};
    return head;
}

// The head file only moves forward: two writers at once each take the lock
// and keep the later head.
void AuditTrail::WriteHeadFile(const ChainHead& head) {
    if (headPath_.empty()) return;
    const std::string lockPath = headPath_ + ".bloqueo";
    const int lock = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock < 0) return;
    if (flock(lock, LOCK_EX) == 0) {
        std::string ignored;
        const auto current = ReadHeadFile(ignored);
        if (!current || current->sequence < head.sequence) {
            const std::string temporary = headPath_ + ".nuevo";
            {
                std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
                out << head.Text() << '\n';
            }
            std::rename(temporary.c_str(), headPath_.c_str());
        }
    }
    ::close(lock);
}

std::optional<ChainHead> AuditTrail::ReadHeadFile(std::string& problem) {
    if (headPath_.empty()) return std::nullopt;
    std::ifstream in(headPath_, std::ios::binary);
    if (!in) return std::nullopt;
    std::string line;
    std::getline(in, line);
    auto head = ChainHead::Parse(line);
    if (!head) problem = headPath_ + ": la cabeza registrada de la cadena no se puede leer.";
    return head;
}

std::vector<AuditEntry> AuditTrail::Entries(const AuditFilter& filter) {
    std::string sql = std::string("SELECT ") + kColumns + " FROM entradas WHERE 1";
    if (!filter.study.empty())
        sql += filter.studyHash.empty()
                   ? " AND instr(detalles, ?1) > 0"
                   : " AND (instr(detalles, ?1) > 0 OR instr(detalles, ?4) > 0)";
    if (!filter.from.empty()) sql += " AND hora >= ?2";
    if (!filter.to.empty()) sql += " AND hora <= ?3 || '~'";
    sql += " ORDER BY secuencia";
    Statement rows(db_, sql.c_str(), path_);
    if (!filter.study.empty()) rows.Bind(1, filter.study);
    if (!filter.from.empty()) rows.Bind(2, filter.from);
    if (!filter.to.empty()) rows.Bind(3, filter.to);
    if (!filter.study.empty() && !filter.studyHash.empty()) rows.Bind(4, filter.studyHash);
    std::vector<AuditEntry> entries;
    while (rows.Step())
        entries.push_back(ReadEntry(rows));
    return entries;
}

AuditVerification AuditTrail::Verify(const std::vector<ChainHead>& knownHeads) {
    return Walk(1, knownHeads);
}

AuditVerification AuditTrail::VerifyTail(std::int64_t count) {
    return Walk(std::max<std::int64_t>(1, Head().sequence - std::max<std::int64_t>(count, 1) + 1),
                {});
}

AuditVerification AuditTrail::Walk(std::int64_t from, const std::vector<ChainHead>& knownHeads) {
    AuditVerification result;
    auto fail = [&result](std::int64_t sequence, std::string message) {
        if (!result.intact) return;
        result.intact = false;
        result.firstBad = sequence;
        result.message = std::move(message);
    };
    Statement rows(db_,
                   (std::string("SELECT ") + kColumns +
                    " FROM entradas WHERE secuencia >= ?1 ORDER BY secuencia")
                       .c_str(),
                   path_);
    rows.Bind(1, from);
    std::vector<ChainHead> expected = knownHeads;
    std::string headProblem;
    if (const auto recorded = ReadHeadFile(headProblem)) expected.push_back(*recorded);
    // From the start, the first entry follows the genesis hash; from further
    // on, it follows whatever entry stands before it, which is not walked.
    std::optional<std::string> previous;
    if (from == 1) previous = kGenesisHash;
    std::int64_t next = from;
    // Each entry's hash from `from` on, for the heads checked after the walk.
    std::vector<std::string> hashes;
    while (rows.Step()) {
        const AuditEntry e = ReadEntry(rows);
        ++result.entries;
        if (e.sequence != next)
            fail(next, "Falta la entrada " + std::to_string(next) + " (la siguiente es la " +
                           std::to_string(e.sequence) + ").");
        else if (previous && e.previousHash != *previous)
            fail(e.sequence, "La entrada " + std::to_string(e.sequence) +
                                 " no sigue a la anterior: alterada, eliminada o cambiada de "
                                 "lugar una entrada.");
        else if (EntryHash(e) != e.hash)
            fail(e.sequence, "La entrada " + std::to_string(e.sequence) + " fue alterada.");
        if (result.intact) {
            hashes.push_back(e.hash);
            result.head = {e.sequence, e.hash};
        }
        previous = e.hash;
        next = e.sequence + 1;
    }
    if (!result.intact) return result;
    for (const ChainHead& head : expected) {
        if (head.sequence > result.head.sequence)
            fail(result.head.sequence + 1,
                 "Faltan entradas al final del registro: termina en la entrada " +
                     std::to_string(result.head.sequence) + " y ya se había registrado la " +
                     std::to_string(head.sequence) + ".");
        else if (head.sequence >= from && hashes[head.sequence - from] != head.hash)
            fail(head.sequence, "La entrada " + std::to_string(head.sequence) +
                                    " no es la que se registró (la cadena fue rehecha).");
    }
    if (result.intact && !headProblem.empty()) result.message = headProblem;
    if (result.intact && result.message.empty())
        result.message =
            from == 1
                ? "Registro de auditoría íntegro: " + std::to_string(result.entries) + " entradas."
                : "Final del registro de auditoría íntegro: entradas " + std::to_string(from) +
                      " a " + std::to_string(result.head.sequence) + ".";
    return result;
}

bool AuditTrail::StudySigned(const std::string& sha256) {
    Statement row(db_,
                  "SELECT 1 FROM entradas WHERE evento = 'firmado' AND"
                  " json_extract(detalles, '$.estudio_sha256') = ?1 LIMIT 1",
                  path_);
    row.Bind(1, sha256);
    return row.Step();
}

std::string AuditCsv(const std::vector<AuditEntry>& entries) {
    auto quote = [](const std::string& text) {
        std::string q = "\"";
        for (char c : text)
            q += c == '"' ? std::string("\"\"") : std::string(1, c);
        return q + "\"";
    };
    std::string out = "\"secuencia\",\"hora_utc\",\"usuario\",\"nombre\",\"equipo\",\"version\","
                      "\"evento\",\"detalles\",\"hash_anterior\",\"hash\"\r\n";
    for (const AuditEntry& e : entries) {
        out += quote(std::to_string(e.sequence));
        for (const std::string* value : {&e.time, &e.login, &e.fullName, &e.host, &e.version,
                                         &e.event, &e.details, &e.previousHash, &e.hash})
            out += "," + quote(*value);
        out += "\r\n";
    }
    return out;
}

} // namespace valdex
