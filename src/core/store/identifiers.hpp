#pragma once

// The names of tables, columns and indexes on their way into SQL: validated, quoted, and folded
// so that they match without regard to letter case or character width.

#include <string>
#include <string_view>

namespace zelvanor {

// Throws StoreError unless the name is safe to use as a table, column or index name.
void validateIdentifier(std::string_view name);
// The identifier in double quotes, validated first.
std::string quoteIdentifier(std::string_view name);
// The identifier as a CREATE statement writes it: bare when SQL reads it so, else quoted;
// validated first.
std::string schemaIdentifier(std::string_view name);
// The form under which names are compared: ASCII lower case, full-width ASCII folded to half-width.
std::string normalizeName(std::string_view name);

}  // namespace zelvanor
