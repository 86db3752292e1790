#pragma once
// The schema of the server's database as numbered migrations. Each migration is applied once, in
// order, and recorded in the table schemamigrations (version, name, applied at), in the same
// transaction as its changes; the server applies what is missing at every start. A database made
// before migrations were recorded holds the tables of migration 1 and nothing else: migration 1
// creates only what is missing, so such a database is taken up from there.
//
// A new migration goes at the end of the list with the next number; one that has been released is
// never edited.
#include "server/ServerDb.h"

// The number of the newest migration.
int LatestSchemaVersion();

// Applies every migration after the database's current version, up to and including `upTo`, in one
// transaction; several processes starting at once apply them once. Returns the version reached.
int MigrateSchema(DbConnection& db, int upTo = LatestSchemaVersion());

// The highest migration recorded; 0 for an empty database.
int SchemaVersion(DbConnection& db);
