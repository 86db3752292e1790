#include "server/SchemaMigrations.h"

#include <QString>

#include <iterator>

namespace {

struct Migration {
    int version;
    const char* name;
    // Runs on both engines once "{id}" has been replaced by the engine's generated key column.
    const char* sql;
};

// clang-format off
const Migration Migrations[] = {
    {1, "tables of the first release", R"SQL(
CREATE TABLE IF NOT EXISTS settings (
  key TEXT PRIMARY KEY,
  value TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS users (
  id {id},
  username TEXT NOT NULL UNIQUE,
  passsalt TEXT NOT NULL,
  passhash TEXT NOT NULL,
  qq TEXT NOT NULL DEFAULT '',
  shopkeeperusername TEXT NOT NULL DEFAULT '',
  taobaoxiaohao TEXT NOT NULL DEFAULT '',
  balance BIGINT NOT NULL DEFAULT 0 CHECK (balance >= 0),
  alipayusername TEXT NOT NULL DEFAULT '',
  alipayaccount TEXT NOT NULL DEFAULT '',
  inviteuserid BIGINT NOT NULL DEFAULT 0,
  invitebalance BIGINT NOT NULL DEFAULT 0 CHECK (invitebalance >= 0),
  registertime TEXT NOT NULL,
  lastuptime TEXT,
  marks TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IF NOT EXISTS users_inviter ON users(inviteuserid);
CREATE TABLE IF NOT EXISTS tasks (
  id {id},
  taskid TEXT UNIQUE,
  publishtime TEXT NOT NULL,
  publishuserid BIGINT NOT NULL,
  publishtaobaoxiaohao TEXT NOT NULL,
  taskmoney BIGINT NOT NULL CHECK (taskmoney > 0),
  shopkeeperusername TEXT NOT NULL,
  goodskeyword TEXT NOT NULL,
  replymsg TEXT NOT NULL,
  detailrequirement TEXT NOT NULL,
  "interval" BIGINT NOT NULL,
  handleuserid BIGINT NOT NULL DEFAULT 0,
  handletime TEXT,
  shouldpaytime TEXT,
  paytime TEXT,
  fahuotime TEXT,
  shouldshouhuoandreplytime TEXT,
  shouhuoandreplytime TEXT,
  status BIGINT NOT NULL DEFAULT 0,
  marks TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IF NOT EXISTS tasks_publisher ON tasks(publishuserid, id);
CREATE INDEX IF NOT EXISTS tasks_handler ON tasks(handleuserid, id);
CREATE INDEX IF NOT EXISTS tasks_hall ON tasks(status, "interval", id);
CREATE TABLE IF NOT EXISTS recharges (
  id {id},
  userid BIGINT NOT NULL,
  money BIGINT NOT NULL,
  tradetype TEXT NOT NULL,
  tradeid TEXT NOT NULL,
  addtime TEXT NOT NULL,
  status BIGINT NOT NULL DEFAULT 0,
  handletime TEXT
);
CREATE INDEX IF NOT EXISTS recharges_user ON recharges(userid, id);
CREATE TABLE IF NOT EXISTS withdrawals (
  id {id},
  userid BIGINT NOT NULL,
  money BIGINT NOT NULL,
  addtime TEXT NOT NULL,
  status BIGINT NOT NULL DEFAULT 0,
  handletime TEXT
);
CREATE INDEX IF NOT EXISTS withdrawals_user ON withdrawals(userid, id);
CREATE TABLE IF NOT EXISTS tradelog (
  id {id},
  userid BIGINT NOT NULL,
  taskid TEXT NOT NULL,
  msg TEXT NOT NULL,
  moneytype BIGINT NOT NULL,
  inmoney BIGINT NOT NULL,
  outmoney BIGINT NOT NULL,
  currentmoney BIGINT NOT NULL,
  addtime TEXT NOT NULL
);
CREATE INDEX IF NOT EXISTS tradelog_user ON tradelog(userid, id);
CREATE TABLE IF NOT EXISTS optlog (
  id {id},
  userid BIGINT NOT NULL,
  taskid TEXT NOT NULL,
  opttype BIGINT NOT NULL,
  action TEXT NOT NULL,
  marks TEXT NOT NULL,
  addtime TEXT NOT NULL
);
CREATE INDEX IF NOT EXISTS optlog_user ON optlog(userid, id);
INSERT INTO settings(key, value) VALUES ('clockoffsetminutes', '0') ON CONFLICT DO NOTHING;
)SQL"},

    {2, "shared data version, one live request per trade number, commission entries of their own", R"SQL(
-- The data version is the sum of these counters, one of which every write transaction bumps: what a
-- process keeps from the database is good while the sum holds. Sixteen rows, so that writers do not
-- all queue for one row's lock while they commit.
CREATE TABLE dataversion (
  id INTEGER PRIMARY KEY CHECK (id BETWEEN 0 AND 15),
  version BIGINT NOT NULL
);
INSERT INTO dataversion(id, version) VALUES (0, 0), (1, 0), (2, 0), (3, 0), (4, 0), (5, 0), (6, 0), (7, 0),
  (8, 0), (9, 0), (10, 0), (11, 0), (12, 0), (13, 0), (14, 0), (15, 0);
-- One payment proves one recharge: a trade number backs at most one pending or approved request.
CREATE UNIQUE INDEX recharges_live_tradeid ON recharges(tradeid) WHERE status IN (0, 1);
-- The balance an entry moved: 0 the available balance, 1 the commission balance ("推广提成").
-- Earlier commission entries are recognised by their texts, and their balance column, which stated
-- the available balance, is set to the commission balance after each of them.
ALTER TABLE tradelog ADD COLUMN account INTEGER NOT NULL DEFAULT 0;
UPDATE tradelog SET account = 1
 WHERE msg LIKE '推广提成：%' OR msg IN ('提现申请，冻结推广提成', '提现失败，推广提成返还');
UPDATE tradelog SET currentmoney = (SELECT SUM(l.inmoney - l.outmoney) FROM tradelog l
                                     WHERE l.userid = tradelog.userid AND l.account = 1 AND l.id <= tradelog.id)
 WHERE account = 1;
)SQL"},

    {3, "wrong passwords counted per user name and per address", R"SQL(
CREATE TABLE IF NOT EXISTS signinfailures (
  key TEXT PRIMARY KEY,
  failures BIGINT NOT NULL,
  lastfailure BIGINT NOT NULL
);
)SQL"},
};
// clang-format on

constexpr std::int64_t MigrationLockKey = 0x51756f72; // any fixed number, the same in every process

std::string engineSql(const char* sql, DbEngine engine) {
    std::string text = sql;
    const std::string id = engine == DbEngine::Postgres ? "BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY"
                                                        : "INTEGER PRIMARY KEY AUTOINCREMENT";
    for (std::size_t at = text.find("{id}"); at != std::string::npos; at = text.find("{id}", at + id.size()))
        text.replace(at, 4, id);
    return text;
}

bool hasMigrationTable(DbConnection& db) {
    Statement stmt = db.prepare(db.engine() == DbEngine::Postgres
                                    ? "SELECT 1 WHERE to_regclass('schemamigrations') IS NOT NULL"
                                    : "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'schemamigrations'");
    return stmt.step();
}

int recordedVersion(DbConnection& db) {
    Statement stmt = db.prepare("SELECT COALESCE(MAX(version), 0) FROM schemamigrations");
    stmt.step();
    return stmt.integer(0);
}

} // namespace

int LatestSchemaVersion() { return std::prev(std::end(Migrations))->version; }

int SchemaVersion(DbConnection& db) { return hasMigrationTable(db) ? recordedVersion(db) : 0; }

int MigrateSchema(DbConnection& db, int upTo) {
    db.begin(true);
    try {
        // Processes starting at once on one PostgreSQL database wait here for each other; SQLite's
        // write transaction already excludes every other writer.
        if (db.engine() == DbEngine::Postgres)
            db.prepare("SELECT pg_advisory_xact_lock(?)").bind(1, MigrationLockKey).exec();
        db.exec("CREATE TABLE IF NOT EXISTS schemamigrations (version INTEGER PRIMARY KEY, name TEXT NOT NULL,"
                " appliedat TEXT NOT NULL)");
        int version = recordedVersion(db);
        for (const Migration& migration : Migrations) {
            if (migration.version <= version || migration.version > upTo) continue;
            db.exec(engineSql(migration.sql, db.engine()).c_str());
            Statement record = db.prepare("INSERT INTO schemamigrations(version, name, appliedat) VALUES (?, ?, ?)");
            record.bind(1, migration.version).bind(2, QString::fromUtf8(migration.name));
            record.bind(3, DbTime(QDateTime::currentDateTime())).exec();
            version = migration.version;
        }
        db.commit();
        return version;
    } catch (...) {
        db.rollback();
        throw;
    }
}
