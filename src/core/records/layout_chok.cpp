#include "core/records/layouts.hpp"
#include "core/records/people_layout.hpp"

namespace zelvanor {

namespace {

using namespace people_layout;

// JRA#CHOK.DAT: one active trainer per record; the jockey record without riding data and
// without counts by distance.
constexpr Block kBlocks[] = {
    field(0, "chocode", 4),    field(4, "delflg", 1),       field(5, "DELDATE", 6),
    field(11, "CHOKANJI", 32), field(43, "CHOKANA", 18),    field(61, "seinen", 6),
    field(67, "HATSUMEN", 2),  field(69, "TOUZAI", 1),      wins(70, "KACHIKU", 3),
    field(265, "HHONSHOU", 7), field(272, "HFUKASHO", 6),   field(278, "SHONSHOU", 7),
    field(285, "SFUKASHO", 6), counts(291, "HONNEN", 8, 3), counts(315, "RUIKEI", 8, 4),
    counts(347, "HSAP", 4, 3), counts(359, "HHAK", 4, 3),   counts(371, "HFUK", 8, 3),
    counts(395, "HNIG", 8, 3), counts(419, "HTOK", 8, 3),   counts(443, "HNAK", 8, 3),
    counts(467, "HCHU", 8, 3), counts(491, "HKYO", 8, 3),   counts(515, "HHAN", 8, 3),
    counts(539, "HKOK", 8, 3), field(563, "mkdate", 6),     counts(569, "ZENNEN", 8, 3),
    counts(593, "ZSAP", 4, 3), counts(605, "ZHAK", 4, 3),   counts(617, "ZFUK", 8, 3),
    counts(641, "ZNIG", 8, 3), counts(665, "ZTOK", 8, 3),   counts(689, "ZNAK", 8, 3),
    counts(713, "ZCHU", 8, 3), counts(737, "ZKYO", 8, 3),   counts(761, "ZHAN", 8, 3),
    counts(785, "ZKOK", 8, 3),
};

constexpr Sizes kSizes = measure(kBlocks);
static_assert(kSizes.end + 2 == 811, "the record ends with a 2-byte line end");
constexpr auto kNames = names<kSizes.chars>(kBlocks);
constexpr auto kFields = fields<kSizes.fields>(kBlocks, kNames);

}  // namespace

constinit const RecordLayout kChokLayout{"JRA#CHOK.DAT", 811, kFields};

}  // namespace zelvanor
