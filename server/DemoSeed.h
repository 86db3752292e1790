#pragma once
// Demo data for a new database: three accounts, tasks in every state in both roles, recharge and
// withdrawal requests in every review state, and the logs all of that wrote.
#include "server/ServerDb.h"

#include <QString>

// Seeds once; on a database that already holds the demo accounts it changes nothing.
// Returns a line describing what happened.
QString SeedDemo(ServerDb& db);
