#pragma once
// Administrative actions on the database file, run by `quorvane-server admin --db PATH ACTION ...`.
// They work on the file directly, so a running server sees their effect on its next request.
#include <QStringList>

#include <ostream>

// args: the words after "admin" (options included). Returns the process exit code; writes the
// outcome to `out`, errors to `err`.
int RunAdmin(const QStringList& args, std::ostream& out, std::ostream& err);
