#pragma once
// Slows down password guessing: wrong passwords are counted per user name and per client address
// in the database (so that every server process on it sees the same counts). After a few failures
// the next check of that name or address must wait, and each further failure doubles the wait;
// a successful check clears both counts. A refused wait runs no password check at all.
#include "server/ServerDb.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>

class SignInThrottle {
public:
    struct Policy {
        int freeFailures;     // failures before any wait
        int firstWaitSeconds; // the wait after the first failure beyond them; doubles after each further one
        int maxWaitSeconds;
    };
    // Counts older than this start again from zero.
    static constexpr int ForgetAfterSeconds = 3600;
    static constexpr Policy NamePolicy{3, 1, 900};
    // Several users may share an address (an office, a carrier's NAT): more failures go free.
    static constexpr Policy AddressPolicy{10, 1, 900};

    // Seconds since the epoch; the real clock unless a test passes its own.
    using Clock = std::function<std::int64_t()>;
    explicit SignInThrottle(Clock clock = {});

    struct Verdict {
        int waitSeconds = 0;      // > 0: refuse the attempt, this long is still to wait
        bool hasFailures = false; // counts exist that a success must clear
    };
    // `address` may be empty (a request that came with none): only the name is counted then.
    Verdict check(DbConnection& db, const QString& username, const QString& address);
    void recordFailure(DbConnection& db, const QString& username, const QString& address);
    void clear(DbConnection& db, const QString& username, const QString& address);

    // The wait after `failures` failures (0 while they are free).
    static std::int64_t waitAfter(const Policy& policy, std::int64_t failures);

private:
    std::int64_t now() const;

    Clock m_clock;
    std::atomic<unsigned> m_failuresSincePrune{0};
};
