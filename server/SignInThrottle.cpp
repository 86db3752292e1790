#include "server/SignInThrottle.h"

#include <QDateTime>

#include <algorithm>

namespace {

QString nameKey(const QString& username) { return QStringLiteral("name:") + username; }
QString addressKey(const QString& address) { return QStringLiteral("addr:") + address; }

} // namespace

SignInThrottle::SignInThrottle(Clock clock) : m_clock(std::move(clock)) {}

std::int64_t SignInThrottle::now() const { return m_clock ? m_clock() : QDateTime::currentSecsSinceEpoch(); }

std::int64_t SignInThrottle::waitAfter(const Policy& policy, std::int64_t failures) {
    const std::int64_t beyond = failures - policy.freeFailures;
    if (beyond < 1) return 0;
    // 1, 2, 4, ... seconds: the doubling stops well before it could overflow.
    const std::int64_t wait = std::int64_t(policy.firstWaitSeconds) << std::min<std::int64_t>(beyond - 1, 30);
    return std::min<std::int64_t>(wait, policy.maxWaitSeconds);
}

SignInThrottle::Verdict SignInThrottle::check(DbConnection& db, const QString& username, const QString& address) {
    const std::int64_t current = now();
    Verdict verdict;
    Statement stmt = db.prepare("SELECT key, failures, lastfailure FROM signinfailures WHERE key IN (?1, ?2)");
    stmt.bind(1, nameKey(username)).bind(2, address.isEmpty() ? QString() : addressKey(address));
    while (stmt.step()) {
        const std::int64_t last = stmt.int64(2);
        if (last < current - ForgetAfterSeconds) continue;
        verdict.hasFailures = true;
        const Policy& policy = stmt.text(0).startsWith(QLatin1String("name:")) ? NamePolicy : AddressPolicy;
        const std::int64_t remaining = last + waitAfter(policy, stmt.int64(1)) - current;
        verdict.waitSeconds = int(std::max<std::int64_t>(verdict.waitSeconds, remaining));
    }
    return verdict;
}

void SignInThrottle::recordFailure(DbConnection& db, const QString& username, const QString& address) {
    const std::int64_t current = now();
    // One statement per key: each is atomic on its own, whichever process writes at the same time.
    for (const QString& key : {nameKey(username), address.isEmpty() ? QString() : addressKey(address)}) {
        if (key.isEmpty()) continue;
        Statement stmt = db.prepare(
            "INSERT INTO signinfailures(key, failures, lastfailure) VALUES (?1, 1, ?2) "
            "ON CONFLICT(key) DO UPDATE SET lastfailure = ?2, failures = CASE WHEN signinfailures.lastfailure < ?3 "
            "THEN 1 ELSE signinfailures.failures + 1 END");
        stmt.bind(1, key).bind(2, current).bind(3, current - ForgetAfterSeconds).exec();
    }
    // Guessed names leave rows behind; now and then the forgotten ones go.
    if (++m_failuresSincePrune % 256 == 0) {
        Statement prune = db.prepare("DELETE FROM signinfailures WHERE lastfailure < ?1");
        prune.bind(1, current - ForgetAfterSeconds).exec();
    }
}

void SignInThrottle::clear(DbConnection& db, const QString& username, const QString& address) {
    Statement stmt = db.prepare("DELETE FROM signinfailures WHERE key IN (?1, ?2)");
    stmt.bind(1, nameKey(username)).bind(2, address.isEmpty() ? QString() : addressKey(address)).exec();
}
