#include "server/PostgresConnection.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <cstring>

namespace {

// Parameter types sent with each statement, so that PostgreSQL never has to guess one.
constexpr Oid Int8Oid = 20;
constexpr Oid TextOid = 25;
constexpr Oid UnknownOid = 0;

std::string trimmed(const char* message) {
    std::string text = message ? message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

// Throws for a result that is not a success, saying whether the transaction may run again or the
// connection is gone.
void check(PGresult* result, pg_conn* conn, const char* what) {
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return;
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    EDbError::Kind kind = EDbError::Kind::Failed;
    if (state && (std::strcmp(state, "40001") == 0 || std::strcmp(state, "40P01") == 0))
        kind = EDbError::Kind::Retryable;
    else if (PQstatus(conn) == CONNECTION_BAD)
        kind = EDbError::Kind::ConnectionLost;
    const std::string message = trimmed(result ? PQresultErrorMessage(result) : PQerrorMessage(conn));
    PQclear(result);
    throw EDbError(std::string(what) + ": " + message, kind);
}

class PostgresStatement : public DbStatement {
public:
    PostgresStatement(PostgresConnection& connection, std::string sql)
        : m_connection(connection), m_sql(std::move(sql)) {}
    ~PostgresStatement() override { PQclear(m_result); }

    void bindInt(int index, std::int64_t value) override { slot(index) = {std::to_string(value), Int8Oid, false}; }
    void bindText(int index, const QString& value) override {
        slot(index) = {value.toUtf8().toStdString(), TextOid, false};
    }
    void bindNull(int index) override { slot(index) = {std::string(), UnknownOid, true}; }

    bool step() override {
        if (!m_result) run();
        return ++m_row < PQntuples(m_result);
    }
    std::int64_t int64(int column) const override {
        return std::strtoll(PQgetvalue(m_result, m_row, column), nullptr, 10);
    }
    QString text(int column) const override {
        return QString::fromUtf8(PQgetvalue(m_result, m_row, column), PQgetlength(m_result, m_row, column));
    }
    bool isNull(int column) const override { return PQgetisnull(m_result, m_row, column) != 0; }

private:
    struct Parameter {
        std::string value;
        Oid type = UnknownOid;
        bool null = true;
    };

    Parameter& slot(int index) {
        if (index < 1 || index > 1000) throw EDbError("bind: parameter index out of range");
        if (std::size_t(index) > m_parameters.size()) m_parameters.resize(std::size_t(index));
        return m_parameters[std::size_t(index - 1)];
    }

    void run() {
        std::vector<unsigned> types;
        std::vector<const char*> values;
        for (const Parameter& p : m_parameters) {
            types.push_back(p.type);
            values.push_back(p.null ? nullptr : p.value.c_str());
        }
        const std::string& name = m_connection.preparedName(m_sql, types);
        PGresult* result =
            PQexecPrepared(m_connection.handle(), name.c_str(), int(values.size()), values.data(), nullptr, nullptr, 0);
        check(result, m_connection.handle(), "step");
        m_result = result;
        const char* affected = PQcmdTuples(m_result);
        m_connection.setChanges(affected && *affected ? std::atoi(affected) : 0);
    }

    PostgresConnection& m_connection;
    std::string m_sql;
    std::vector<Parameter> m_parameters;
    PGresult* m_result = nullptr;
    int m_row = -1;
};

void ignoreNotice(void*, const char*) {}

} // namespace

PostgresConnection::PostgresConnection(const QString& uri) {
    m_conn = PQconnectdb(uri.toUtf8().constData());
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK) {
        // The message names the host or socket and the cause; the URI (which may hold a password) is not repeated.
        const std::string message = trimmed(m_conn ? PQerrorMessage(m_conn) : "out of memory");
        PQfinish(m_conn);
        m_conn = nullptr;
        throw EDbError("cannot connect to the PostgreSQL database: " + message, EDbError::Kind::ConnectionLost);
    }
    // "relation ... already exists, skipping" and the like are not for the server's output.
    PQsetNoticeProcessor(m_conn, ignoreNotice, nullptr);
    if (PQsetClientEncoding(m_conn, "UTF8") != 0) {
        const std::string message = trimmed(PQerrorMessage(m_conn));
        PQfinish(m_conn);
        m_conn = nullptr;
        throw EDbError("cannot use UTF-8 with the PostgreSQL database: " + message);
    }
}

PostgresConnection::~PostgresConnection() { PQfinish(m_conn); }

bool PostgresConnection::usable() const { return PQstatus(m_conn) == CONNECTION_OK; }

std::string PostgresConnection::numberedParameters(const std::string& sql) {
    std::string out;
    out.reserve(sql.size() + 16);
    int highest = 0;
    for (std::size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '\'' || c == '"') {
            const std::size_t end = sql.find(c, i + 1);
            const std::size_t stop = end == std::string::npos ? sql.size() : end + 1;
            out.append(sql, i, stop - i);
            i = stop - 1;
        } else if (c == '?') {
            std::size_t digits = i + 1;
            while (digits < sql.size() && sql[digits] >= '0' && sql[digits] <= '9') ++digits;
            // A bare "?" takes the number after the highest one so far, as SQLite numbers it.
            const int number = digits > i + 1 ? std::atoi(sql.c_str() + i + 1) : highest + 1;
            highest = std::max(highest, number);
            out += '$';
            out += std::to_string(number);
            i = digits - 1;
        } else {
            out += c;
        }
    }
    return out;
}

const std::string& PostgresConnection::preparedName(const std::string& sql, const std::vector<unsigned>& types) {
    std::string key = sql;
    key += '\0';
    for (const unsigned type : types) key += std::to_string(type) + ',';
    auto it = m_prepared.find(key);
    if (it != m_prepared.end()) return it->second;
    const std::string name = "q" + std::to_string(m_prepared.size() + 1);
    const std::string text = numberedParameters(sql);
    PGresult* result = PQprepare(m_conn, name.c_str(), text.c_str(), int(types.size()), types.data());
    check(result, m_conn, "prepare");
    PQclear(result);
    return m_prepared.emplace(std::move(key), name).first->second;
}

Statement PostgresConnection::prepare(const std::string& sql) {
    return Statement(std::make_unique<PostgresStatement>(*this, sql));
}

void PostgresConnection::exec(const char* sql) {
    PGresult* result = PQexec(m_conn, sql);
    check(result, m_conn, "exec");
    PQclear(result);
}

// Writers see every committed row and lock what they change (or read with lockClause()); readers see
// one snapshot from their first statement on.
void PostgresConnection::begin(bool write) {
    exec(write ? "BEGIN ISOLATION LEVEL READ COMMITTED" : "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
}

void PostgresConnection::commit() { exec("COMMIT"); }

void PostgresConnection::rollback() {
    if (PGresult* result = PQexec(m_conn, "ROLLBACK")) PQclear(result);
}
