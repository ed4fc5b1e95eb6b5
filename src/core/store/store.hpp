#pragma once

// A small record store over SQLite: databases, prepared statements, transactions, table creation
// with typed columns, and a table cursor with seek-by-index. Column and index names match without
// regard to letter case or character width; every identifier that reaches SQL is validated.

#include "core/store/columns.hpp"
#include "core/store/database.hpp"
#include "core/store/errors.hpp"
#include "core/store/identifiers.hpp"
#include "core/store/statement.hpp"
#include "core/store/table.hpp"
