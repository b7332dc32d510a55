#include "server/PgConnection.h"

#include <libpq-fe.h>

#include <array>
#include <utility>

namespace scortavia {
namespace {

// libpq's own text of a failure, on one line.
std::string oneLine(const char* message) {
    std::string text = message ? message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    for (char& c : text) {
        if (c == '\n') c = ' ';
    }
    return text;
}

// Parameters as libpq takes them: values (NULL for a null), lengths, and formats (binary for bytes).
struct Params {
    std::vector<const char*> values;
    std::vector<int> lengths;
    std::vector<int> formats;

    explicit Params(const std::vector<PgValue>& params) {
        values.reserve(params.size());
        lengths.reserve(params.size());
        formats.reserve(params.size());
        for (const PgValue& p : params) {
            values.push_back(p.kind == PgValue::Kind::Null ? nullptr : p.value.c_str());
            lengths.push_back(static_cast<int>(p.value.size()));
            formats.push_back(p.kind == PgValue::Kind::Bytes ? 1 : 0);
        }
    }
    int count() const { return static_cast<int>(values.size()); }
};

}  // namespace

PgRows::PgRows(pg_result* result) : result_(result) {}
PgRows::PgRows(PgRows&& other) noexcept : result_(std::exchange(other.result_, nullptr)) {}
PgRows& PgRows::operator=(PgRows&& other) noexcept {
    if (this != &other) {
        if (result_) PQclear(result_);
        result_ = std::exchange(other.result_, nullptr);
    }
    return *this;
}
PgRows::~PgRows() {
    if (result_) PQclear(result_);
}

int PgRows::rows() const { return result_ ? PQntuples(result_) : 0; }
int PgRows::columns() const { return result_ ? PQnfields(result_) : 0; }
bool PgRows::isNull(int row, int column) const { return PQgetisnull(result_, row, column) != 0; }
std::string_view PgRows::text(int row, int column) const {
    return {PQgetvalue(result_, row, column), static_cast<std::size_t>(PQgetlength(result_, row, column))};
}

std::string PgRows::bytes(int row, int column) const {
    if (PQfformat(result_, column) == 1) return std::string(text(row, column));
    const std::string_view hex = text(row, column);
    std::string out;
    if (hex.size() < 2 || hex[0] != '\\' || hex[1] != 'x') return out;
    out.reserve((hex.size() - 2) / 2);
    auto digit = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return c - 'A' + 10;
    };
    for (std::size_t i = 2; i + 1 < hex.size(); i += 2) {
        out.push_back(static_cast<char>(digit(hex[i]) * 16 + digit(hex[i + 1])));
    }
    return out;
}

std::int64_t PgRows::changed() const {
    const char* n = result_ ? PQcmdTuples(result_) : "";
    return *n ? std::stoll(n) : 0;
}

PgConnection::PgConnection(pg_conn* connection) : connection_(connection) {}
PgConnection::PgConnection(PgConnection&& other) noexcept : connection_(std::exchange(other.connection_, nullptr)) {}
PgConnection& PgConnection::operator=(PgConnection&& other) noexcept {
    if (this != &other) {
        if (connection_) PQfinish(connection_);
        connection_ = std::exchange(other.connection_, nullptr);
    }
    return *this;
}
PgConnection::~PgConnection() {
    if (connection_) PQfinish(connection_);
}

Result<PgConnection> PgConnection::open(const ServerAddress& address) {
    // Keywords and values apart, so that nothing typed in the settings can add a keyword of its own.
    // TLS is used whenever the server offers it; a till waits at most 10 s for a server that is away.
    const std::array<const char*, 9> keywords = {
        "host", "port", "dbname", "user", "password", "sslmode", "connect_timeout", "application_name", nullptr};
    const std::array<const char*, 9> values = {address.host.c_str(),
                                               address.port.empty() ? nullptr : address.port.c_str(),
                                               address.database.c_str(),
                                               address.user.c_str(),
                                               address.password.c_str(),
                                               "prefer",
                                               "10",
                                               "Scortavia",
                                               nullptr};
    pg_conn* connection = PQconnectdbParams(keywords.data(), values.data(), 0);
    if (!connection) return Status::failure("Memoria insufficiente per collegarsi al server.");
    PgConnection opened(connection);
    if (PQstatus(connection) != CONNECTION_OK) {
        const std::string detail = oneLine(PQerrorMessage(connection));
        if (PQconnectionNeedsPassword(connection) || PQconnectionUsedPassword(connection)) {
            return Status::failure("Il server non accetta l'utente o la password indicati.\n(" + detail + ")");
        }
        return Status::failure("Impossibile collegarsi al server.\n(" + detail + ")");
    }
    // The server's notices (a table dropped with its rows…) are for its log, not the program's output.
    PQsetNoticeProcessor(
        connection, [](void*, const char*) {}, nullptr);
    // Texts travel in UTF-8 whatever the database's own encoding.
    if (PQsetClientEncoding(connection, "UTF8") != 0) return opened.failure("Il server non accetta testi UTF-8.");
    return opened;
}

Status PgConnection::failure(std::string_view what) const {
    return Status::failure(std::string(what) + "\n(" + oneLine(PQerrorMessage(connection_)) + ")");
}

Result<PgRows> PgConnection::run(std::string_view sql, const std::vector<PgValue>& params, Answer answer) {
    const Params p(params);
    const std::string statement(sql);
    pg_result* result = PQexecParams(connection_, statement.c_str(), p.count(), nullptr, p.values.data(),
                                     p.lengths.data(), p.formats.data(), answer == Answer::Binary ? 1 : 0);
    PgRows rows(result);
    if (Status done = outcome(result); !done) return done;
    return rows;
}

Status PgConnection::runEach(std::string_view sql, const std::vector<std::vector<PgValue>>& params,
                             const std::function<bool(const PgRows&)>& take) {
    if (PQenterPipelineMode(connection_) != 1) return failure("Il server non accetta più richieste insieme.");
    const std::string statement(sql);
    Status status = Status::success();
    std::size_t sent = 0;
    for (const auto& list : params) {
        const Params p(list);
        if (PQsendQueryParams(connection_, statement.c_str(), p.count(), nullptr, p.values.data(), p.lengths.data(),
                              p.formats.data(), 0) != 1) {
            status = failure("Il collegamento con il server si è interrotto.");
            break;
        }
        ++sent;
    }
    if (PQpipelineSync(connection_) != 1 && status) status = failure("Il collegamento con il server si è interrotto.");
    // Every answer is read, up to the sync, whatever happened: the connection is left as it was found.
    bool taking = status.ok();
    for (std::size_t answered = 0; answered < sent;) {
        pg_result* result = PQgetResult(connection_);
        if (!result) {
            ++answered;  // the end of one statement's answers
            continue;
        }
        PgRows rows(result);
        if (taking) {
            if (Status done = outcome(result); !done) {
                status = done;
                taking = false;
            } else if (!take(rows)) {
                taking = false;
            }
        }
        if (lost()) break;
    }
    for (pg_result* result = PQgetResult(connection_); result && !lost(); result = PQgetResult(connection_)) {
        const bool synced = PQresultStatus(result) == PGRES_PIPELINE_SYNC;
        PQclear(result);
        if (synced) break;
    }
    if (!lost()) PQexitPipelineMode(connection_);
    if (lost() && status) status = failure("Il collegamento con il server si è interrotto.");
    return status;
}

Status PgConnection::runScript(std::string_view sql) {
    const std::string script(sql);
    pg_result* result = PQexec(connection_, script.c_str());
    const PgRows rows(result);
    return outcome(result);
}

Status PgConnection::outcome(pg_result* result) const {
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return Status::success();
    if (lost()) return failure("Il collegamento con il server si è interrotto.");
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    if (state && std::string_view(state) == "42501") {
        return Status::failure("L'utente del server non ha i permessi necessari sul negozio.\n(" +
                               oneLine(PQresultErrorMessage(result)) + ")");
    }
    return Status::failure("Il server ha rifiutato l'operazione.\n(" +
                           oneLine(result ? PQresultErrorMessage(result) : PQerrorMessage(connection_)) + ")");
}

bool PgConnection::lost() const { return !connection_ || PQstatus(connection_) == CONNECTION_BAD; }

Status PgConnection::reconnect() {
    PQreset(connection_);
    if (PQstatus(connection_) != CONNECTION_OK) return failure("Impossibile collegarsi al server.");
    if (PQsetClientEncoding(connection_, "UTF8") != 0) return failure("Il server non accetta testi UTF-8.");
    return Status::success();
}

int PgConnection::serverProcess() const { return connection_ ? PQbackendPID(connection_) : 0; }

bool PgConnection::encrypted() const { return connection_ && PQsslInUse(connection_) != 0; }

std::string quotedName(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

}  // namespace scortavia
