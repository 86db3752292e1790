#pragma once
// The money invariant of the platform server's database, checked on the SQLite file itself (read only,
// one read transaction, so a running server may keep writing), after SQLite's own integrity check of
// the file. Every money move of the server writes a trade-log entry in the same transaction as the
// change, so the books must balance at any commit:
//
//  1. per user: balance + commission balance = the user's trade-log credits - debits;
//  2. per user: the newest trade-log entry's "current money" is the user's balance (none: balance 0);
//  3. per task: exactly one freeze (publisher, task money) is logged; a completed task has exactly one
//     payout (handler, task money), any other task none; a deleted task's freeze is matched by exactly
//     one refund to the same user of the same amount;
//  4. withdrawals: the debits that name no task add up to every withdrawal request ever made (the
//     reserve), the credits that name no task to approved recharges + commissions + rejected
//     withdrawals;
//  5. the whole system: balances + commission balances + money frozen in live tasks + pending
//     withdrawals = approved recharges + commissions earned - approved withdrawals;
//  6. task states: status 0..5; a task that is taken has a handler other than its publisher, an
//     open one has none.
#include <QString>
#include <QStringList>

// The violations found, each as one readable line; empty when the books balance. A file that cannot
// be opened or read is reported as a violation too.
QStringList CheckLedger(const QString& databasePath);
