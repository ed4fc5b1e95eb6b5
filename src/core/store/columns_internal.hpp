#pragma once

// What columns.cpp lends the store's other units.

#include "core/store/columns.hpp"

namespace zelvanor {

// The real number a value stands for, text read as a number; throws StoreError naming the column
// when the value is text that is no number.
double toReal(const ColumnDef& column, const Value& value);

}  // namespace zelvanor
