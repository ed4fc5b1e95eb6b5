#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/records/layout.hpp"
#include "core/records/record_file.hpp"

namespace zelvanor {

// A field of a record that holds bytes no code page 932 character is made of.
struct UndecodableField {
    std::size_t record = 0;  // 1-based
    std::string field;       // as the layout names it: "bamei", "history2 の raceName"
};

// The first such field of the file, record by record in layout order; nullopt when every field
// decodes to text. Each field is checked as its readers decode it: a race history entry part by
// part, so a character split across two parts counts too; a runner entry of the race card file
// whole, as it is stored.
// A valid delivery of the service never holds such bytes: they mean a damaged file, whose text
// would otherwise be stored as U+FFFD.
std::optional<UndecodableField> firstUndecodableField(const RecordFile& file,
                                                      const RecordLayout& layout);

}  // namespace zelvanor
