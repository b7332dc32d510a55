#include "server/ServerEngine.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "server/ServerRows.h"
#include "storage/ArchivePaths.h"
#include "storage/ProductRecord.h"

namespace scortavia {
namespace {

constexpr std::string_view kProgram = "Scortavia";
constexpr std::string_view kStockAtMostLevel = "stock_at_most_level";
// A decimal-comma number the server compares exactly as the program does: few enough digits for a
// double to hold it, no blanks or sign but a minus (the rest is left to the program to judge).
constexpr std::string_view kPlainNumber = "^-?[0-9]{1,9}(,[0-9]{1,6})?$";

// Where an archive of the folder lies on the server: its table, and the values of the columns that
// tell it from the other archives of that table.
struct Place {
    const ServerLayout* layout = nullptr;
    std::vector<std::pair<std::string, std::string>> keys;
};

bool endsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

std::optional<Place> placeOf(std::string_view name) {
    const auto stem = [&](std::string_view ext) { return std::string(name.substr(0, name.size() - ext.size())); };
    if (name == paths::kProductArchive) return Place{&productLayout(), {}};
    if (endsWith(name, paths::kGoodsInExtension)) {
        return Place{&movementLayout(), {{"direction", "carico"}, {"year", stem(paths::kGoodsInExtension)}}};
    }
    if (endsWith(name, paths::kGoodsOutExtension)) {
        return Place{&movementLayout(), {{"direction", "scarico"}, {"year", stem(paths::kGoodsOutExtension)}}};
    }
    if (endsWith(name, paths::kPriceListExtension)) {
        return Place{&priceListLayout(), {{"list", stem(paths::kPriceListExtension)}}};
    }
    return {};
}

// The key columns of each table, before the position.
std::vector<std::string> keyColumnsOf(const ServerLayout& layout) {
    if (&layout == &movementLayout()) return {"direction", "year"};
    if (&layout == &priceListLayout()) return {"list"};
    return {};
}

// The server's side of RecordCondition::Kind::NumberAtMost.
std::string numberAtMost(const std::string& column, const std::string& other) {
    return "CASE WHEN " + column + " ~ '" + std::string(kPlainNumber) + "' AND " + other + " ~ '" +
           std::string(kPlainNumber) + "' THEN replace(" + column + ", ',', '.')::numeric <= replace(" + other +
           ", ',', '.')::numeric ELSE true END";
}

std::string tableSql(const std::string& schema, const ServerLayout& layout) {
    std::string sql = "CREATE TABLE " + schema + "." + std::string(layout.table) + " (";
    std::string key;
    for (const std::string& column : keyColumnsOf(layout)) {
        sql += column + " text NOT NULL, ";
        key += column + ", ";
    }
    sql += "pos bigint NOT NULL CHECK (pos > 0), ";
    for (const std::string& column : layout.columns) sql += column + " text NOT NULL DEFAULT '', ";
    // The record's bytes, only when its texts do not give them back.
    sql += "exact bytea, ";
    // The under-stock rule, worked out as each product is written rather than each time the list opens.
    if (&layout == &productLayout())
        sql += std::string(kStockAtMostLevel) + " boolean GENERATED ALWAYS AS (" + numberAtMost("giacenza", "avviso") +
               ") STORED, ";
    sql += "PRIMARY KEY (" + key + "pos));\n";
    return sql;
}

// A transaction that is rolled back unless committed.
class Transaction {
public:
    explicit Transaction(PgConnection& connection) : connection_(connection), begun_(connection.runScript("BEGIN")) {}
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction() {
        if (begun_ && !done_ && !connection_.lost()) (void)connection_.runScript("ROLLBACK");
    }
    const Status& begun() const { return begun_; }
    Status commit() {
        done_ = true;
        return connection_.runScript("COMMIT");
    }

private:
    PgConnection& connection_;
    Status begun_;
    bool done_ = false;
};

class ServerArchive final : public Archive {
public:
    ServerArchive(std::shared_ptr<ServerEngine> engine, const Place& place, std::string name)
        : engine_(std::move(engine)), layout_(*place.layout), name_(std::move(name)) {
        const std::string table = engine_->schemaName() + "." + std::string(layout_.table);
        std::string where;
        for (const auto& [column, value] : place.keys) {
            keys_.push_back(PgValue::text(value));
            where += column + " = $" + std::to_string(keys_.size()) + " AND ";
            keyColumns_ += column + ", ";
        }
        std::string columns;
        for (const std::string& column : layout_.columns) columns += ", " + column;
        const std::string after = std::to_string(keys_.size() + 1);
        from_ = " FROM " + table + " WHERE " + where;
        selectRange_ = rangeSelect({});
        selectForUpdate_ =
            "SELECT pos" + columns + ", exact FROM " + table + " WHERE " + where + "pos = $" + after + " FOR UPDATE";
        std::string set;
        for (std::size_t i = 0; i < layout_.columns.size(); ++i) {
            set += layout_.columns[i] + " = $" + std::to_string(keys_.size() + 2 + i) + ", ";
        }
        update_ = "UPDATE " + table + " SET " + set + "exact = $" +
                  std::to_string(keys_.size() + 2 + layout_.columns.size()) + " WHERE " + where + "pos = $" + after;
        insertInto_ = "INSERT INTO " + table + " (" + keyColumns_ + "pos" + columns + ", exact) VALUES ";
        const std::string archives = engine_->schemaName() + ".archives";
        count_ = "SELECT count FROM " + archives + " WHERE name = $1";
        lockCount_ = count_ + " FOR UPDATE";
        setCount_ = "UPDATE " + archives + " SET count = $2 WHERE name = $1";
    }

    std::size_t recordSize() const override { return layout_.recordSize; }

    Result<std::int64_t> recordCount() const override {
        auto session = engine_->session();
        if (!session.ready()) return session.ready();
        return countIn(session.connection(), count_);
    }

    Status readAt(std::int64_t index, std::span<std::uint8_t> record) override {
        if (record.size() != layout_.recordSize) return Status::failure("record buffer of the wrong size");
        auto read = readRecords(index, record);
        if (!read) return read.status();
        if (*read != record.size()) return Status::failure("no record " + std::to_string(index + 1) + " in " + name_);
        return Status::success();
    }

    Result<std::size_t> readRecords(std::int64_t first, std::span<std::uint8_t> records) override {
        if (records.size() % layout_.recordSize != 0) return Status::failure("records buffer of the wrong size");
        if (first < 0) return Status::failure("negative record index");
        auto session = engine_->session();
        if (!session.ready()) return session.ready();
        const auto wanted = static_cast<std::int64_t>(records.size() / layout_.recordSize);
        return readInto(session.connection(), first, wanted, records);
    }

    Status writeAt(std::int64_t index, std::span<const std::uint8_t> record) override {
        if (record.size() != layout_.recordSize) return Status::failure("record buffer of the wrong size");
        if (index < 0) return Status::failure("negative record index");
        auto session = engine_->session();
        if (!session.ready()) return session.ready();
        PgConnection& connection = session.connection();
        auto updated = connection.run(update_, rowParams(index, record));
        if (!updated) return updated.status();
        if (updated->changed() == 1) return Status::success();
        // No such record: writing just past the end appends, as in the folder; further is refused.
        Transaction transaction(connection);
        if (!transaction.begun()) return transaction.begun();
        auto count = lockedCount(connection);
        if (!count) return count.status();
        if (*count != index)
            return Status::failure("record " + std::to_string(index + 1) + " is past the end of " + name_);
        if (Status appended = appendAt(connection, *count, record); !appended) return appended;
        return transaction.commit();
    }

    Result<std::int64_t> append(std::span<const std::uint8_t> record) override {
        if (record.size() != layout_.recordSize) return Status::failure("record buffer of the wrong size");
        return appendBatch(record);
    }

    Result<std::int64_t> appendBatch(std::span<const std::uint8_t> records) override {
        if (records.empty()) return Status::failure("an empty batch");
        std::int64_t seen = -1;
        return appendChecked(seen, nullptr, [&] { return records; });
    }

    Result<Update> updateAt(std::int64_t index, std::span<std::uint8_t> record,
                            const std::function<bool(std::span<std::uint8_t>)>& change) override {
        if (record.size() != layout_.recordSize) return Status::failure("record buffer of the wrong size");
        auto session = engine_->session();
        if (!session.ready()) return session.ready();
        PgConnection& connection = session.connection();
        Transaction transaction(connection);
        if (!transaction.begun()) return transaction.begun();
        // The row stays locked against other tills until the transaction ends.
        auto rows = connection.run(selectForUpdate_, withKeys({PgValue::text(std::to_string(index + 1))}));
        if (!rows) return rows.status();
        if (rows->rows() != 1) return Status::failure("no record " + std::to_string(index + 1) + " in " + name_);
        recordFromRow(*rows, 0, record);
        if (!change(record)) {
            if (Status done = transaction.commit(); !done) return done;
            return Update::LeftAsItWas;
        }
        auto updated = connection.run(update_, rowParams(index, record));
        if (!updated) return updated.status();
        if (Status done = transaction.commit(); !done) return done;
        return Update::Written;
    }

    Result<std::int64_t> appendBatchChecked(std::int64_t& seen, const UnseenRecords& unseen,
                                            const ComposeRecords& compose) override {
        return appendChecked(seen, unseen, compose);
    }

    bool filtersRecords() const override { return true; }

    // The conditions run on the server, which picks its own way through the table (a page by position
    // would make it walk the whole index for a list of twenty). A record kept with its exact bytes
    // always comes: its texts alone cannot tell.
    Status scanWhere(const RecordFilter& filter, const RecordVisit& visit,
                     std::span<const std::size_t> fieldsRead = {}) override {
        for (std::size_t field : fieldsRead) {
            if (field >= layout_.columns.size()) return Status::failure("a field the layout does not have");
        }
        if (filter.empty()) return scanAll(visit, fieldsRead);
        std::vector<PgValue> params = keys_;
        std::string conditions;
        for (const RecordCondition& c : filter) {
            if (c.field >= layout_.columns.size() || c.other >= layout_.columns.size()) {
                return Status::failure("a condition on a field the layout does not have");
            }
            const std::string& column = layout_.columns[c.field];
            if (!conditions.empty()) conditions += " AND ";
            switch (c.kind) {
                case RecordCondition::Kind::ContainsFoldedAZ:
                    // Under the "C" collation upper() turns a to z into A to Z and nothing else: the
                    // program's own folding, and quicker than any other way of writing it.
                    params.push_back(PgValue::text(c.text));
                    conditions +=
                        "strpos(upper(" + column + " COLLATE \"C\"), $" + std::to_string(params.size()) + ") > 0";
                    break;
                case RecordCondition::Kind::Contains:
                    params.push_back(PgValue::text(c.text));
                    conditions += "strpos(" + column + ", $" + std::to_string(params.size()) + ") > 0";
                    break;
                case RecordCondition::Kind::NumberAtMost:
                    if (&layout_ == &productLayout() && c.field == ProductLayout::Giacenza &&
                        c.other == ProductLayout::Avviso) {
                        conditions += std::string(kStockAtMostLevel);
                    } else {
                        conditions += numberAtMost(column, layout_.columns[c.other]);
                    }
                    break;
            }
        }
        // No order asked of the server: by position it would walk the whole table in index order for a
        // list of twenty. The few rows are put in archive order here.
        const std::string sql =
            "SELECT pos" + columnsOf(fieldsRead) + ", exact" + from_ + "(exact IS NOT NULL OR (" + conditions + "))";
        auto rows = [&] {
            auto session = engine_->session();
            if (!session.ready()) return Result<PgRows>(session.ready());
            return session.connection().run(sql, params);
        }();
        if (!rows) return rows.status();
        std::vector<std::pair<std::int64_t, int>> order(static_cast<std::size_t>(rows->rows()));
        for (int r = 0; r < rows->rows(); ++r)
            order[static_cast<std::size_t>(r)] = {std::stoll(std::string(rows->text(r, 0))), r};
        std::sort(order.begin(), order.end());
        std::vector<std::uint8_t> record(layout_.recordSize);
        for (const auto& [pos, r] : order) {
            recordFromRow(*rows, r, record, fieldsRead);
            if (!visit(record.data(), pos - 1)) break;
        }
        return Status::success();
    }

private:
    // Every record, in pages by position, all asked for at once so that the server reads the next page
    // while the program makes the rows of the last; the memory is a page's.
    // The records after position $k+1 up to $k+2 (k: the key columns), in order, with the columns of `fields`.
    std::string rangeSelect(std::span<const std::size_t> fields) const {
        return "SELECT pos" + columnsOf(fields) + ", exact" + from_ + "pos > $" + std::to_string(keys_.size() + 1) +
               " AND pos <= $" + std::to_string(keys_.size() + 2) + " ORDER BY pos";
    }

    // ", a, b, c": the columns of `fields`, or of every field.
    std::string columnsOf(std::span<const std::size_t> fields) const {
        std::string columns;
        if (fields.empty()) {
            for (const std::string& column : layout_.columns) columns += ", " + column;
        } else {
            for (std::size_t field : fields) columns += ", " + layout_.columns[field];
        }
        return columns;
    }

    Status scanAll(const RecordVisit& visit, std::span<const std::size_t> fieldsRead) {
        constexpr std::int64_t kPage = 2000;
        auto session = engine_->session();
        if (!session.ready()) return session.ready();
        PgConnection& connection = session.connection();
        auto count = countIn(connection, count_);
        if (!count) return count.status();
        std::vector<std::vector<PgValue>> pages;
        for (std::int64_t first = 0; first < *count; first += kPage) {
            pages.push_back(
                withKeys({PgValue::text(std::to_string(first)), PgValue::text(std::to_string(first + kPage))}));
        }
        std::vector<std::uint8_t> record(layout_.recordSize);
        std::int64_t next = 0;
        return connection.runEach(rangeSelect(fieldsRead), pages, [&](const PgRows& rows) {
            for (int r = 0; r < rows.rows(); ++r) {
                // Positions are gapless; a missing one ends the scan rather than shifting what follows.
                if (std::stoll(std::string(rows.text(r, 0))) != next + 1) return false;
                recordFromRow(rows, r, record, fieldsRead);
                if (!visit(record.data(), next++)) return false;
            }
            return true;
        });
    }

    std::vector<PgValue> withKeys(std::vector<PgValue> rest) const {
        std::vector<PgValue> params = keys_;
        for (PgValue& p : rest) params.push_back(std::move(p));
        return params;
    }

    std::vector<PgValue> rowParams(std::int64_t index, std::span<const std::uint8_t> record) const {
        ServerRow row = rowOf(layout_, record);
        std::vector<PgValue> params = keys_;
        params.push_back(PgValue::text(std::to_string(index + 1)));
        for (std::string& text : row.texts) params.push_back(PgValue::text(std::move(text)));
        params.push_back(row.exact ? PgValue::bytes(std::move(*row.exact)) : PgValue::null());
        return params;
    }

    // A row of "pos, <columns>, exact": every column of the layout, or those of `fields` in their order
    // (the other fields come out empty).
    void recordFromRow(const PgRows& rows, int row, std::span<std::uint8_t> record,
                       std::span<const std::size_t> fields = {}) const {
        std::vector<std::string_view> texts(layout_.columns.size());
        if (fields.empty()) {
            for (std::size_t c = 0; c < layout_.columns.size(); ++c) texts[c] = rows.text(row, static_cast<int>(c) + 1);
        } else {
            for (std::size_t i = 0; i < fields.size(); ++i) texts[fields[i]] = rows.text(row, static_cast<int>(i) + 1);
        }
        const int exactColumn = static_cast<int>(fields.empty() ? layout_.columns.size() : fields.size()) + 1;
        if (rows.isNull(row, exactColumn)) {
            recordOf(layout_, texts, std::nullopt, record);
        } else {
            const std::string exact = rows.bytes(row, exactColumn);
            recordOf(layout_, texts, std::string_view(exact), record);
        }
    }

    Result<std::int64_t> countIn(PgConnection& connection, const std::string& sql) const {
        auto rows = connection.run(sql, {PgValue::text(name_)});
        if (!rows) return rows.status();
        if (rows->rows() == 0) return std::int64_t{0};
        return std::stoll(std::string(rows->text(0, 0)));
    }

    // The archive's count, locked until the transaction ends: the one lock every append takes.
    Result<std::int64_t> lockedCount(PgConnection& connection) const {
        auto rows = connection.run(lockCount_, {PgValue::text(name_)});
        if (!rows) return rows.status();
        if (rows->rows() == 1) return std::stoll(std::string(rows->text(0, 0)));
        if (Status made = engine_->ensureArchive(connection, name_); !made) return made;
        return countIn(connection, lockCount_);
    }

    Result<std::size_t> readInto(PgConnection& connection, std::int64_t first, std::int64_t wanted,
                                 std::span<std::uint8_t> records) const {
        auto rows = connection.run(selectRange_, withKeys({PgValue::text(std::to_string(first)),
                                                           PgValue::text(std::to_string(first + wanted))}));
        if (!rows) return rows.status();
        std::size_t done = 0;
        for (int r = 0; r < rows->rows(); ++r) {
            // Positions are gapless; a missing one ends the read rather than shifting the records after it.
            if (std::stoll(std::string(rows->text(r, 0))) != first + r + 1) break;
            recordFromRow(*rows, r, records.subspan(done, layout_.recordSize));
            done += layout_.recordSize;
        }
        return done;
    }

    Status insert(PgConnection& connection, std::int64_t firstIndex, std::span<const std::uint8_t> records) const {
        // Rows go in statements of a few hundred, within the caller's transaction.
        constexpr std::size_t kRowsPerStatement = 200;
        const std::size_t total = records.size() / layout_.recordSize;
        for (std::size_t start = 0; start < total; start += kRowsPerStatement) {
            const std::size_t n = std::min(kRowsPerStatement, total - start);
            std::string sql = insertInto_;
            std::vector<PgValue> params;
            for (std::size_t i = 0; i < n; ++i) {
                auto row = rowParams(firstIndex + static_cast<std::int64_t>(start + i),
                                     records.subspan((start + i) * layout_.recordSize, layout_.recordSize));
                sql += i ? ", (" : "(";
                for (std::size_t p = 0; p < row.size(); ++p) {
                    sql += (p ? ", $" : "$") + std::to_string(params.size() + 1);
                    params.push_back(std::move(row[p]));
                }
                sql += ")";
            }
            auto inserted = connection.run(sql, params);
            if (!inserted) return inserted.status();
        }
        return Status::success();
    }

    // Appends under the count's lock, taken by the caller's transaction, which found `count`.
    Status appendAt(PgConnection& connection, std::int64_t count, std::span<const std::uint8_t> records) const {
        if (Status inserted = insert(connection, count, records); !inserted) return inserted;
        const auto added = static_cast<std::int64_t>(records.size() / layout_.recordSize);
        auto counted = connection.run(setCount_, {PgValue::text(name_), PgValue::text(std::to_string(count + added))});
        return counted ? Status::success() : counted.status();
    }

    Result<std::int64_t> appendChecked(std::int64_t& seen, const UnseenRecords& unseen, const ComposeRecords& compose) {
        auto session = engine_->session();
        if (!session.ready()) return session.ready();
        PgConnection& connection = session.connection();
        Transaction transaction(connection);
        if (!transaction.begun()) return transaction.begun();
        auto count = lockedCount(connection);
        if (!count) return count.status();
        if (unseen) {
            constexpr std::int64_t kBlock = 256;
            std::vector<std::uint8_t> block;
            for (std::int64_t from = std::max<std::int64_t>(seen, 0); from < *count; from += kBlock) {
                const std::int64_t n = std::min(kBlock, *count - from);
                block.resize(static_cast<std::size_t>(n) * layout_.recordSize);
                auto read = readInto(connection, from, n, block);
                if (!read) return read.status();
                if (*read != block.size()) return Status::failure("records missing in " + name_);
                unseen(block, from);
            }
        }
        const std::span<const std::uint8_t> records = compose();
        if (records.size() % layout_.recordSize != 0) return Status::failure("a batch must hold whole records");
        const auto added = static_cast<std::int64_t>(records.size() / layout_.recordSize);
        if (added > 0) {
            if (Status appended = appendAt(connection, *count, records); !appended) return appended;
        }
        if (Status done = transaction.commit(); !done) return done;
        seen = *count + added;
        return *count;
    }

    std::shared_ptr<ServerEngine> engine_;
    const ServerLayout& layout_;
    std::string name_;
    std::vector<PgValue> keys_;
    std::string keyColumns_;
    std::string from_, selectRange_, selectForUpdate_, update_, insertInto_, count_, lockCount_, setCount_;
};

}  // namespace

Status createShopSchema(PgConnection& connection, std::string_view schema) {
    const std::string s = quotedName(schema);
    std::string sql = "BEGIN;\nCREATE SCHEMA " + s + ";\n";
    sql += "CREATE TABLE " + s + ".meta (program text NOT NULL, version integer NOT NULL);\n";
    sql += "INSERT INTO " + s + ".meta VALUES ('" + std::string(kProgram) + "', " + std::to_string(kShopSchemaVersion) +
           ");\n";
    // Each archive's count: the next position is count + 1, taken under this row's lock.
    sql += "CREATE TABLE " + s +
           ".archives (name text PRIMARY KEY, count bigint NOT NULL DEFAULT 0 CHECK (count >= 0));\n";
    for (const ServerLayout* layout : {&productLayout(), &movementLayout(), &priceListLayout()}) {
        sql += tableSql(s, *layout);
    }
    // The product photos, the documents and the price-list photos, by their path in the program folder:
    // its bytes as the file system has them ('/' between folders), whatever the system that named them.
    sql += "CREATE TABLE " + s + ".files (name bytea PRIMARY KEY, bytes bytea NOT NULL);\n";
    sql += "COMMIT;";
    Status made = connection.runScript(sql);
    if (!made && !connection.lost()) (void)connection.runScript("ROLLBACK");
    return made;
}

Status checkShopSchema(PgConnection& connection, std::string_view schema) {
    // The catalogs, not information_schema: they show the table to a user who may not read it yet, so
    // that a missing permission is told as such.
    auto tables = connection.run(
        "SELECT count(*) FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
        "WHERE n.nspname = $1 AND c.relname = 'meta'",
        {PgValue::text(std::string(schema))});
    if (!tables) return tables.status();
    if (tables->text(0, 0) == "0") {
        return Status::failure("Sul server non c'è il negozio «" + std::string(schema) + "».");
    }
    auto meta = connection.run("SELECT program, version FROM " + quotedName(schema) + ".meta");
    if (!meta) return meta.status();
    if (meta->rows() != 1 || meta->text(0, 0) != kProgram) {
        return Status::failure("Lo schema «" + std::string(schema) + "» del server appartiene a un altro programma.");
    }
    if (std::stoi(std::string(meta->text(0, 1))) > kShopSchemaVersion) {
        return Status::failure(
            "Il negozio «" + std::string(schema) +
            "» è stato aggiornato da una versione più recente di Scortavia: aggiornare il programma.");
    }
    return Status::success();
}

ServerEngine::ServerEngine(ServerShop shop, PgConnection connection)
    : shop_(std::move(shop)),
      schemaName_(quotedName(shop_.schema)),
      connection_(std::make_unique<PgConnection>(std::move(connection))) {}

Result<std::shared_ptr<ServerEngine>> ServerEngine::connect(const ServerShop& shop) {
    auto connection = PgConnection::open(shop.address);
    if (!connection) return connection.status();
    if (Status checked = checkShopSchema(*connection, shop.schema); !checked) return checked;
    return std::shared_ptr<ServerEngine>(new ServerEngine(shop, std::move(*connection)));
}

ServerEngine::Session::Session(ServerEngine& engine) : lock_(engine.mutex_), engine_(engine) {
    if (engine_.connection_->lost()) ready_ = engine_.connection_->reconnect();
}

ServerEngine::Session ServerEngine::session() { return Session(*this); }

Status ServerEngine::ensureArchive(PgConnection& connection, const std::string& name) {
    auto made = connection.run("INSERT INTO " + schemaName_ + ".archives (name) VALUES ($1) ON CONFLICT DO NOTHING",
                               {PgValue::text(name)});
    return made ? Status::success() : made.status();
}

Result<std::unique_ptr<Archive>> ServerEngine::open(const std::filesystem::path& archive, std::size_t recordSize) {
    const std::string name = archive.filename().string();
    const auto place = placeOf(name);
    if (!place || place->layout->recordSize != recordSize) {
        return Status::failure("the server keeps no archive like " + name);
    }
    {
        auto s = session();
        if (!s.ready()) return s.ready();
        if (Status made = ensureArchive(s.connection(), name); !made) return made;
    }
    return std::unique_ptr<Archive>(std::make_unique<ServerArchive>(shared_from_this(), *place, name));
}

Result<bool> ServerEngine::exists(const std::filesystem::path& archive) {
    auto s = session();
    if (!s.ready()) return s.ready();
    auto rows = s.connection().run("SELECT 1 FROM " + schemaName_ + ".archives WHERE name = $1",
                                   {PgValue::text(archive.filename().string())});
    if (!rows) return rows.status();
    return rows->rows() == 1;
}

Result<std::vector<std::string>> ServerEngine::archiveNames() {
    auto s = session();
    if (!s.ready()) return s.ready();
    auto rows = s.connection().run("SELECT name FROM " + schemaName_ + ".archives");
    if (!rows) return rows.status();
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(rows->rows()));
    for (int r = 0; r < rows->rows(); ++r) names.emplace_back(rows->text(r, 0));
    return names;
}

Result<bool> ServerEngine::createArchive(const std::filesystem::path& archive) {
    const std::string name = archive.filename().string();
    if (!placeOf(name)) return Status::failure("the server keeps no archive like " + name);
    auto s = session();
    if (!s.ready()) return s.ready();
    auto made = s.connection().run("INSERT INTO " + schemaName_ + ".archives (name) VALUES ($1) ON CONFLICT DO NOTHING",
                                   {PgValue::text(name)});
    if (!made) return made.status();
    return made->changed() == 1;
}

Status ServerEngine::removeArchive(const std::filesystem::path& archive) {
    const std::string name = archive.filename().string();
    const auto place = placeOf(name);
    if (!place) return Status::failure("the server keeps no archive like " + name);
    std::string where;
    std::vector<PgValue> keys;
    for (const auto& [column, value] : place->keys) {
        keys.push_back(PgValue::text(value));
        where += (where.empty() ? " WHERE " : " AND ") + column + " = $" + std::to_string(keys.size());
    }
    auto s = session();
    if (!s.ready()) return s.ready();
    PgConnection& connection = s.connection();
    Transaction transaction(connection);
    if (!transaction.begun()) return transaction.begun();
    // The count's row first: an append waiting on it then finds the archive gone.
    auto counted = connection.run("DELETE FROM " + schemaName_ + ".archives WHERE name = $1", {PgValue::text(name)});
    if (!counted) return counted.status();
    auto rows = connection.run("DELETE FROM " + schemaName_ + "." + std::string(place->layout->table) + where, keys);
    if (!rows) return rows.status();
    return transaction.commit();
}

Result<std::optional<std::string>> ServerEngine::readFile(const std::filesystem::path& name, std::size_t maxBytes) {
    auto s = session();
    if (!s.ready()) return s.ready();
    // The size first, so that a file too large never travels.
    auto rows = s.connection().run(
        "SELECT 1, CASE WHEN octet_length(bytes) <= $2 THEN bytes END FROM " + schemaName_ + ".files WHERE name = $1",
        {PgValue::bytes(name.generic_string()), PgValue::text(std::to_string(maxBytes))}, PgConnection::Answer::Binary);
    if (!rows) return rows.status();
    if (rows->rows() == 0) return std::optional<std::string>();
    if (rows->isNull(0, 1))
        return Status::failure(name.string() + " is larger than " + std::to_string(maxBytes) + " bytes");
    return std::optional<std::string>(rows->bytes(0, 1));
}

Result<bool> ServerEngine::fileExists(const std::filesystem::path& name) {
    auto s = session();
    if (!s.ready()) return s.ready();
    auto rows = s.connection().run("SELECT 1 FROM " + schemaName_ + ".files WHERE name = $1",
                                   {PgValue::bytes(name.generic_string())});
    if (!rows) return rows.status();
    return rows->rows() == 1;
}

Status ServerEngine::writeFile(const std::filesystem::path& name, std::string_view bytes) {
    auto s = session();
    if (!s.ready()) return s.ready();
    auto written = s.connection().run("INSERT INTO " + schemaName_ +
                                          ".files (name, bytes) VALUES ($1, $2) "
                                          "ON CONFLICT (name) DO UPDATE SET bytes = EXCLUDED.bytes",
                                      {PgValue::bytes(name.generic_string()), PgValue::bytes(std::string(bytes))});
    return written ? Status::success() : written.status();
}

Status ServerEngine::removeFile(const std::filesystem::path& name) {
    auto s = session();
    if (!s.ready()) return s.ready();
    auto removed = s.connection().run("DELETE FROM " + schemaName_ + ".files WHERE name = $1",
                                      {PgValue::bytes(name.generic_string())});
    return removed ? Status::success() : removed.status();
}

Result<std::vector<ServerEngine::StoredArchive>> ServerEngine::archives() {
    auto s = session();
    if (!s.ready()) return s.ready();
    auto rows = s.connection().run("SELECT name, count FROM " + schemaName_ + ".archives ORDER BY name");
    if (!rows) return rows.status();
    std::vector<StoredArchive> out;
    out.reserve(static_cast<std::size_t>(rows->rows()));
    for (int r = 0; r < rows->rows(); ++r) {
        out.push_back({std::string(rows->text(r, 0)), std::stoll(std::string(rows->text(r, 1)))});
    }
    return out;
}

Result<std::vector<ServerEngine::StoredFile>> ServerEngine::files() {
    auto s = session();
    if (!s.ready()) return s.ready();
    auto rows = s.connection().run("SELECT name, octet_length(bytes), encode(sha256(bytes), 'hex') FROM " +
                                   schemaName_ + ".files ORDER BY name");
    if (!rows) return rows.status();
    std::vector<StoredFile> out;
    out.reserve(static_cast<std::size_t>(rows->rows()));
    for (int r = 0; r < rows->rows(); ++r) {
        out.push_back({rows->bytes(r, 0), std::stoull(std::string(rows->text(r, 1))), std::string(rows->text(r, 2))});
    }
    return out;
}

}  // namespace scortavia
