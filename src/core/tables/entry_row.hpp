#pragma once

// One row of a meeting's entries table ("U…"): a runner's horse as copied from 競走馬 with what
// the engine computed for it, and the one reader of it. The race card, the horse window, the
// rankings of the payback sheet and the verification, the engine and the race card import all
// read runners through here.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/store/statement.hpp"

namespace zelvanor {

class Database;

// The aptitude percentages the engine reads, in EntryRow::aptitudes order.
enum AptitudeColumn : std::size_t {
    kBabaShibaR,
    kBabaShibaL,
    kBabaDertR,
    kBabaDertL,
    kBabaSougou,
    kJotaiShibaRyo,
    kJotaiShibaOmo,
    kJotaiDertRyo,
    kJotaiDertOmo,
    kKyoriShiba1600,
    kKyoriShiba2200,
    kKyoriShiba2201,
    kKyoriDert1600,
    kKyoriDert2200,
    kKyoriDert2201,
    kAptitudeCount,
};
// inf1 … inf5: the last five races, the most recent first.
inline constexpr std::size_t kHistoryColumns = 5;

// Their column names, in AptitudeColumn order.
inline constexpr std::array<std::string_view, kAptitudeCount> kAptitudeColumnNames = {
    "BabaShibaR",     "BabaShibaL",     "BabaDertR",     "BabaDertL",     "BabaSougou",
    "JotaiShibaRyo",  "JotaiShibaOmo",  "JotaiDertRyo",  "JotaiDertOmo",  "KyoriShiba1600",
    "KyoriShiba2200", "KyoriShiba2201", "KyoriDert1600", "KyoriDert2200", "KyoriDert2201",
};

struct EntryRow {
    std::int64_t rowid = 0;  // always read
    std::string umacode;     // always read

    // kEntryPlacePart: the bracket and horse number the engine gave it; null when never given.
    std::optional<std::int64_t> wakuNo, wakuUmaNo;

    // kEntryHorsePart: the horse.
    std::string bamei, keto1, keto2, keto3, seibetsu, seinen, moushoku, umanushi;
    std::string honshou, fukashou, shuutoku1;

    // kEntryHistoryPart: inf1 … inf5.
    std::array<std::string, kHistoryColumns> histories;

    // kEntryPeoplePart: trainer and jockey as the engine found them; the rates null when never
    // computed.
    std::string chocode, codeKisi, nameKisi, minaraiKisi, nameChok, touzaiChok;
    std::optional<std::int64_t> kSougouRen, kCoseRen, cSougouRen, cCoseRen;

    // kEntryAptitudePart: by AptitudeColumn, a missing value reading 0.
    std::array<std::int64_t, kAptitudeCount> aptitudes{};

    // kEntryIndexPart: running style and the indices, a missing value reading 0.
    std::string tokusei3kaku, tokuseiKyori;
    std::optional<std::int64_t> shisuu3kaku;
    double tokuseiShisuu = 0, omoTokuseiShisuu = 0, spSeichou = 0;
    std::array<double, 5> spBase{};  // SpBase1 … SpBase5

    // kEntryAbilityPart: the abilities the personas rank by, a missing value reading 0.
    double nouryoku1 = 0, nouryoku2 = 0, nouryoku3 = 0;
    double omoNouryoku1 = 0, omoNouryoku2 = 0, omoNouryoku3 = 0;
};

enum EntryPart : unsigned {
    kEntryPlacePart = 1u,
    kEntryHorsePart = 2u,
    kEntryHistoryPart = 4u,
    kEntryPeoplePart = 8u,
    kEntryAptitudePart = 16u,
    kEntryIndexPart = 32u,
    kEntryAbilityPart = 64u,
};

// Reads rows of one entries table, which must exist, into the caller's EntryRow, whose strings
// keep their storage from row to row.
class EntryRows {
  public:
    EntryRows(Database& tran, std::string_view entriesTable, unsigned parts);

    // The horse's row, the first stored when the table holds it twice; false, the row left as it
    // was, without one.
    bool find(std::string_view umacode, EntryRow& row);
    // Every row in storage order, one per call; false after the last.
    bool next(EntryRow& row);

  private:
    void fill(const Statement& st, EntryRow& row) const;
    Database& tran_;
    std::string select_;  // the columns and the table, without a WHERE
    unsigned parts_;
    std::optional<Statement> byCode_, all_;
};

}  // namespace zelvanor
