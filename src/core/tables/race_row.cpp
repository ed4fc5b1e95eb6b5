#include "core/tables/race_row.hpp"

#include "core/store/store.hpp"
#include "core/tables/race_tables.hpp"

namespace zelvanor {

namespace {

constexpr std::array<std::string_view, 7> kDayTexts = {"basho", "year", "kaiji", "hiji",
                                                       "month", "day",  "youbi"};
constexpr std::array<std::string_view, 4> kTitleTexts = {"htime", "hondai", "jouken1", "jouken3"};
// Then RyoOmo.
constexpr std::array<std::string_view, 8> kConditionTexts = {
    "jouken41", "jouken42", "jouken43", "jouken44", "kyori", "track", "grade", "tousuu"};

std::array<std::string*, kDayTexts.size()> dayTexts(RaceRow& r) {
    return {&r.basho, &r.year, &r.kaiji, &r.hiji, &r.month, &r.day, &r.youbi};
}
std::array<std::string*, kTitleTexts.size()> titleTexts(RaceRow& r) {
    return {&r.htime, &r.hondai, &r.jouken1, &r.jouken3};
}
std::array<std::string*, kConditionTexts.size()> conditionTexts(RaceRow& r) {
    return {&r.jouken41, &r.jouken42, &r.jouken43, &r.jouken44,
            &r.kyori,    &r.track,    &r.grade,    &r.tousuu};
}

std::string selectOf(std::string_view raceTable, unsigned parts) {
    std::string sql = "SELECT bango";
    const auto add = [&](auto&& names) {
        for (const std::string_view c : names) sql += ", " + std::string(c);
    };
    if (parts & kRaceDayPart) add(kDayTexts);
    if (parts & kRaceTitlePart) add(kTitleTexts);
    if (parts & kRaceConditionsPart) {
        add(kConditionTexts);
        sql += ", RyoOmo";
    }
    if (parts & kResultsPart) {
        for (const std::string_view c : kRaceResultColumns) sql += ", " + std::string(c);
    }
    if (parts & (kEntriesPart | kEntriesOnDemandPart)) {
        for (int i = 1; i <= kPlacesPerRace; ++i) sql += ", uma" + std::to_string(i);
    }
    return sql + " FROM " + quoteIdentifier(raceTable);
}

}  // namespace

RaceRows::RaceRows(Database& tran, std::string_view raceTable, unsigned parts)
    : tran_(tran),
      select_(selectOf(raceTable, parts)),
      parts_(parts),
      entriesColumn_(
          static_cast<int>(1 + (parts & kRaceDayPart ? kDayTexts.size() : 0) +
                           (parts & kRaceTitlePart ? kTitleTexts.size() : 0) +
                           (parts & kRaceConditionsPart ? kConditionTexts.size() + 1 : 0) +
                           (parts & kResultsPart ? kRaceResultColumns.size() : 0))) {}

void RaceRows::fill(const Statement& st, RaceRow& row) const {
    int c = 0;
    row.bango = static_cast<int>(st.int64(c++));
    if (parts_ & kRaceDayPart) {
        for (std::string* text : dayTexts(row)) text->assign(st.textView(c++));
    }
    if (parts_ & kRaceTitlePart) {
        for (std::string* text : titleTexts(row)) text->assign(st.textView(c++));
    }
    if (parts_ & kRaceConditionsPart) {
        for (std::string* text : conditionTexts(row)) text->assign(st.textView(c++));
        row.ryoOmo = static_cast<int>(st.int64(c++));
    }
    if (parts_ & kResultsPart) {
        RaceResults& r = row.results;
        for (int& place : r.placed) place = static_cast<int>(st.int64(c++));
        r.bracketPair.assign(st.textView(c++));
        r.quinellaPair.assign(st.textView(c++));
        for (std::int64_t& payout : r.payouts) payout = st.int64(c++);
    }
    if (parts_ & kEntriesPart) {
        for (std::string& entry : row.entries) entry.assign(st.textView(c++));
    }
}

bool RaceRows::find(int number, RaceRow& row) {
    if (!byNumber_) byNumber_.emplace(tran_.prepare(select_ + " WHERE bango = ?1"));
    StatementReset reset(*byNumber_, StatementReset::Bindings::Keep);
    byNumber_->bind(1, std::int64_t{number});
    if (!byNumber_->step()) return false;
    fill(*byNumber_, row);
    return true;
}

bool RaceRows::next(RaceRow& row) {
    if (!inOrder_) inOrder_.emplace(tran_.prepare(select_ + meetingRacesClause()));
    if (!inOrder_->step()) {
        inOrder_.reset();
        return false;
    }
    fill(*inOrder_, row);
    return true;
}

std::string_view RaceRows::entry(int place) const {
    // fill() passes over the same columns in the same order.
    return inOrder_->textView(entriesColumn_ + place - 1);
}

std::optional<RaceRow> readRaceRow(Database& tran, std::string_view raceTable, int number,
                                   unsigned parts) {
    RaceRow row;
    if (!RaceRows(tran, raceTable, parts).find(number, row)) return std::nullopt;
    return row;
}

}  // namespace zelvanor
