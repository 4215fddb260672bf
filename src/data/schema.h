#pragma once

#include "data/result.h"

#include <QMap>
#include <QStringList>

class QSqlDatabase;

namespace trelok {

// The tables of the database, as the installation creates them.
QStringList tableNames();

// Runs the delivered schema (assets/schema.sql) on an open database.
DbStatus applySchema(QSqlDatabase &db);

// Makes the indexes that came after a database was installed and that it
// still lacks (the lists' orders); nothing when they are there. Without
// them the database gives the same rows, only slower. The first failure,
// after trying every one.
DbStatus addMissingIndexes(QSqlDatabase &db);

// The columns the delivered schema gives each table, names in lower case:
// the columns the program reads and writes.
const QMap<QString, QStringList> &schemaColumns();

} // namespace trelok
