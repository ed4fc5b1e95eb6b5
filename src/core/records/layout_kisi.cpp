#include "core/records/layouts.hpp"
#include "core/records/people_layout.hpp"

namespace zelvanor {

namespace {

using namespace people_layout;

// JRA#KISI.DAT: one active jockey per record. Counts are 3 digits, career counts 4.
constexpr Block kBlocks[] = {
    field(0, "KISCODE", 4),      field(4, "delflg", 1),       field(5, "DELDATE", 6),
    field(11, "KISKANJI", 32),   field(43, "KISKANA", 18),    field(61, "seinen", 6),
    field(67, "HATSUMEN", 2),    field(69, "HATSUSHO", 51),   field(120, "HATSUKI", 53),
    field(173, "TOUZAI", 1),     field(174, "SHOZOKU", 4),    field(178, "SHIKAKU", 1),
    field(179, "minarai", 1),    wins(180, "KACHIKU", 3),     field(375, "HHONSHOU", 7),
    field(382, "HFUKASHO", 6),   field(388, "SHONSHOU", 7),   field(395, "SFUKASHO", 6),
    counts(401, "HONNEN", 8, 3), counts(425, "RUIKEI", 8, 4), counts(457, "H1600", 8, 3),
    counts(481, "H2200", 8, 3),  counts(505, "H2201", 8, 3),  counts(529, "HSAP", 4, 3),
    counts(541, "HHAK", 4, 3),   counts(553, "HFUK", 8, 3),   counts(577, "HNIG", 8, 3),
    counts(601, "HTOK", 8, 3),   counts(625, "HNAK", 8, 3),   counts(649, "HCHU", 8, 3),
    counts(673, "HKYO", 8, 3),   counts(697, "HHAN", 8, 3),   counts(721, "HKOK", 8, 3),
    field(745, "mkdate", 6),     counts(751, "ZENNEN", 8, 3), counts(775, "Z1600", 8, 3),
    counts(799, "Z2200", 8, 3),  counts(823, "Z2201", 8, 3),  counts(847, "ZSAP", 4, 3),
    counts(859, "ZHAK", 4, 3),   counts(871, "ZFUK", 8, 3),   counts(895, "ZNIG", 8, 3),
    counts(919, "ZTOK", 8, 3),   counts(943, "ZNAK", 8, 3),   counts(967, "ZCHU", 8, 3),
    counts(991, "ZKYO", 8, 3),   counts(1015, "ZHAN", 8, 3),  counts(1039, "ZKOK", 8, 3),
};

constexpr Sizes kSizes = measure(kBlocks);
static_assert(kSizes.end + 2 == 1065, "the record ends with a 2-byte line end");
constexpr auto kNames = names<kSizes.chars>(kBlocks);
constexpr auto kFields = fields<kSizes.fields>(kBlocks, kNames);

}  // namespace

constinit const RecordLayout kKisiLayout{"JRA#KISI.DAT", 1065, kFields};

}  // namespace zelvanor
