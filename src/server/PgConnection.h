#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Result.h"

struct pg_conn;
struct pg_result;

namespace scortavia {

// Where a shop's server is and who connects: what the settings file keeps.
struct ServerAddress {
    std::string host;  // a name, an address, or a folder holding the server's Unix socket
    std::string port;  // empty: the server's usual port
    std::string database;
    std::string user;
    std::string password;
};

// A query's answer: rows of text values (the server's text form), NULL told apart.
class PgRows {
public:
    PgRows() = default;
    explicit PgRows(pg_result* result);
    PgRows(PgRows&&) noexcept;
    PgRows& operator=(PgRows&&) noexcept;
    ~PgRows();

    int rows() const;
    int columns() const;
    bool isNull(int row, int column) const;
    std::string_view text(int row, int column) const;
    // A bytea column, from either form the server sends it in.
    std::string bytes(int row, int column) const;
    // Rows a command changed (UPDATE, INSERT).
    std::int64_t changed() const;

private:
    pg_result* result_ = nullptr;
};

// One value of a query parameter: a text, raw bytes (a bytea, sent binary) or NULL.
struct PgValue {
    enum class Kind { Text, Bytes, Null };
    Kind kind = Kind::Null;
    std::string value;
    static PgValue text(std::string v) { return {Kind::Text, std::move(v)}; }
    static PgValue bytes(std::string v) { return {Kind::Bytes, std::move(v)}; }
    static PgValue null() { return {}; }
};

// One connection to the server, closed with the object. Failures come back as Status texts in Italian
// that a screen can show as they stand.
class PgConnection {
public:
    static Result<PgConnection> open(const ServerAddress& address);

    PgConnection(PgConnection&&) noexcept;
    PgConnection& operator=(PgConnection&&) noexcept;
    ~PgConnection();

    // Runs one statement with its parameters ($1, $2, …). Binary answers bring bytea columns as they are
    // (half the bytes of their text form) and every other column in the server's binary form.
    enum class Answer { Text, Binary };
    Result<PgRows> run(std::string_view sql, const std::vector<PgValue>& params = {}, Answer answer = Answer::Text);
    // Runs one statement once for each list of parameters, every run sent before the first answer is
    // read, so that the server works on the next while the program reads the last. `take` is handed each
    // answer in turn and returns false to stop (the answers still on their way are read and dropped).
    Status runEach(std::string_view sql, const std::vector<std::vector<PgValue>>& params,
                   const std::function<bool(const PgRows&)>& take);
    // Runs statements with no parameters and no answer (a schema's creation).
    Status runScript(std::string_view sql);

    // Whether the connection has been lost (the server stopped, the network dropped).
    bool lost() const;
    // Connects again after a loss.
    Status reconnect();
    // The server process that serves this connection (for the server's own views of its sessions).
    int serverProcess() const;
    // Whether the link is encrypted.
    bool encrypted() const;

private:
    explicit PgConnection(pg_conn* connection);
    Status failure(std::string_view what) const;
    // Success, or the failure a statement's result tells.
    Status outcome(pg_result* result) const;

    pg_conn* connection_ = nullptr;
};

// Quotes a name (a schema) for a statement.
std::string quotedName(std::string_view name);

}  // namespace scortavia
