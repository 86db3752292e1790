#pragma once
// The money invariant of the platform server's database, checked on the database itself through the
// server's storage layer (either engine; one read transaction, so a running server may keep writing),
// after SQLite's own integrity check of a file. Every money move of the server writes a trade-log
// entry in the same transaction as the change, naming the balance it moved (the available balance
// or the commission balance), so the books must balance at any commit:
//
//  1. per user and balance: the balance = the trade-log credits - debits of that balance;
//  2. every trade-log entry states the balance it moved as that balance stood right after it;
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

// The violations found, each as one readable line; empty when the books balance. A database that
// cannot be opened or read is reported as a violation too. `database`: what the server's --db takes.
QStringList CheckLedger(const QString& database);
