#pragma once

// Hand-made meetings for the race card: race rows and entries rows written column by column, and
// runner entries built through the entry layout.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/records/layout_den1.hpp"
#include "core/store/store.hpp"
#include "core/tables/race_tables.hpp"

namespace zelvanor::fixture {

using Columns = std::vector<std::pair<std::string, Value>>;

// Adds one row with the given columns; the others stay empty.
inline void addRow(Database& db, std::string_view table, const Columns& columns) {
    Table t(db, table);
    t.addNew();
    for (const auto& [name, value] : columns) t.set(name, value);
    t.update();
}

// A 23-character runner entry.
inline std::string runnerEntry(int bracket, std::string_view umacode, char sex = '1',
                               int weight = 550, std::string_view jockey = "0101",
                               std::string_view trainer = "0201") {
    std::string e(kDen1RunnerLength, ' ');
    const auto put = [&](std::string_view field, std::string_view text) {
        const FieldSpec& f = kDen1RunnerLayout.field(field);
        e.replace(f.offset, text.size(), text);
    };
    put("WakuNo", std::to_string(bracket));
    put("umacode", umacode);
    put("seibetsu", std::string(1, sex));
    put("blinker", "0");
    put("futan", std::to_string(weight));
    put("CodeKisi", jockey);
    put("spare", "0");
    put("chocode", trainer);
    return e;
}

// The entry of a place the field leaves empty, as the race card files fill it.
inline std::string emptyPlace() {
    return std::string(kDen1RunnerLength, '0');
}

// Creates the meeting's two tables.
inline MeetingTables makeMeeting(Database& tran, std::string_view course, std::string_view yy,
                                 std::string_view mm, std::string_view dd) {
    const MeetingTables m = meetingTables(course, yy, mm, dd);
    createEntryTable(tran, m.entries);
    createRaceTable(tran, m.race);
    return m;
}

// A race row: its number, year, tousuu and the entries of horse numbers 1 … entries.size(), the
// rest of the eighteen empty places; `more` adds or overrides columns.
inline void addRace(Database& tran, const MeetingTables& m, int bango,
                    const std::vector<std::string>& entries, Columns more = {}) {
    Columns c = {{"bango", std::int64_t{bango}},
                 {"basho", m.race.substr(1, 2)},
                 {"year", m.race.substr(3, 2)},
                 {"month", m.race.substr(5, 2)},
                 {"day", m.race.substr(7, 2)},
                 {"kaiji", std::string("4")},
                 {"hiji", std::string("1")},
                 {"youbi", std::string("1")},
                 {"htime", std::string("1525")},
                 {"hondai", std::string("テスト特別")},
                 {"jouken1", std::string("13")},
                 {"jouken3", std::string("1")},
                 {"jouken41", std::string("000")},
                 {"jouken42", std::string("010")},
                 {"jouken43", std::string("010")},
                 {"jouken44", std::string("010")},
                 {"kyori", std::string("1600")},
                 {"track", std::string("17")},
                 {"tousuu", (entries.size() < 10 ? "0" : "") + std::to_string(entries.size())},
                 {"RyoOmo", std::int64_t{1}}};
    for (int k = 1; k <= kDen1RunnerSlots; ++k) {
        const auto i = static_cast<std::size_t>(k - 1);
        c.emplace_back("uma" + std::to_string(k), i < entries.size() ? entries[i] : emptyPlace());
    }
    for (auto& [name, value] : more) {
        bool replaced = false;
        for (auto& [n, v] : c) {
            if (n == name) {
                v = value;
                replaced = true;
            }
        }
        if (!replaced) c.emplace_back(name, value);
    }
    addRow(tran, m.race, c);
}

// An entries row for the horse with the three ability values of good going (heavy going: each
// less 10) and names made from the code.
inline void addRunner(Database& tran, const MeetingTables& m, std::string_view umacode,
                      double suirei, double hekika, double user, Columns more = {}) {
    Columns c = {{"umacode", std::string(umacode)},
                 {"bamei", "馬" + std::string(umacode.substr(6))},
                 {"seinen", std::string("950401")},
                 {"seibetsu", std::string("2")},
                 {"Nouryoku2", suirei},
                 {"Nouryoku1", hekika},
                 {"Nouryoku3", user},
                 {"OmoNouryoku2", suirei - 10},
                 {"OmoNouryoku1", hekika - 10},
                 {"OmoNouryoku3", user - 10},
                 {"Shisuu3kaku", std::int64_t{5}}};
    for (auto& kv : more) c.push_back(std::move(kv));
    addRow(tran, m.entries, c);
}

}  // namespace zelvanor::fixture
