#pragma once

// The engine connection below a database, for the tools and tests that fill
// or inspect files beneath the data-source layer. Screens never use it: they
// reach the files through data sources only.

#include "data/connection.h"
#include "data/database.h"

namespace tvx::data {

struct EngineAccess {
    static Connection &connection(Database &database) { return database.connection(); }
};

}  // namespace tvx::data
