#pragma once

// The one way an import opens its record file: whole, read, and checked to be a whole delivery
// of the service before any table is touched, so that a refused file changes nothing.

#include <optional>
#include <string_view>

#include "core/records/layout.hpp"
#include "core/records/record_file.hpp"
#include "core/shell/app_paths.hpp"

namespace zelvanor {

// What a missing file means: an import that needs it refuses ("JRA#UMAJ.DAT がありません."); the
// results import reads it as no results.
enum class WhenMissing { Refuse, NoRecords };
// What a file without a whole record means: the service never ships an empty list of jockeys,
// trainers or horses, so such a file is a broken download; race cards and results may be none.
enum class WhenEmpty { Refuse, NoRecords };

// The record file of `layout` in the extraction folder. Throws ImportError, naming the file, when
// it is missing (unless WhenMissing::NoRecords, which gives nothing), cannot be read, or is no
// whole delivery (deliveryProblem, `data` naming its contents as the user knows them:
// "競走馬データ").
std::optional<RecordFile> openDelivery(const AppPaths& paths, const RecordLayout& layout,
                                       std::string_view data, WhenMissing missing,
                                       WhenEmpty empty);

}  // namespace zelvanor
