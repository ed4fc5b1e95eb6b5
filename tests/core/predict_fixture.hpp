#pragma once

// Race history texts for the prediction engine's tests, built as the horse import builds them:
// a 136-byte entry written field by field into a horse record, then decoded.

#include <string>
#include <string_view>

#include "horse_fixture.hpp"
#include "core/import/horse_import.hpp"
#include "core/records/layout_umaj.hpp"

// One past race; a field left empty stays blank.
struct PastRace {
    std::string course{};    // "05"
    std::string distance{};  // "1600"
    std::string track{};     // "11"
    std::string going{};     // "1"
    std::string runners{};   // "12"
    std::string corner3{};   // "03"
    std::string abnormal{};  // "0"
    std::string time{};      // "1345": 1 min 34.5 s
    std::string weight{};    // "570"
    std::string jockey{};    // full-width name, e.g. "岡部　幸雄"
};

// The entry as it stands in inf1 … inf5. The full-width fields before the jockey's name are
// filled, as in real records, so that the name lies at characters 84-91.
inline std::string historyText(const PastRace& r) {
    UmajRecord record;
    record.history(1, "raceName", "天皇賞");
    record.history(1, "otherHorse", "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲ");
    const std::pair<std::string_view, const std::string*> fields[] = {
        {"course", &r.course},         {"distance", &r.distance}, {"trackCode", &r.track},
        {"goingCode", &r.going},       {"runners", &r.runners},   {"corner3", &r.corner3},
        {"abnormalCode", &r.abnormal}, {"finishTime", &r.time},   {"weightCarried", &r.weight},
        {"jockeyName", &r.jockey},
    };
    for (const auto& [field, value] : fields) {
        if (!value->empty()) record.history(1, field, *value);
    }
    const auto& entry = zelvanor::umajHistoryEntryField(1);
    return zelvanor::decodeHistoryEntry(
        std::string_view(record.bytes()).substr(entry.offset, entry.length));
}

// A race never run: the entry's numbers are all zeros.
inline std::string neverRunText() {
    return historyText({.course = "00",
                        .distance = "0000",
                        .track = "00",
                        .going = "0",
                        .runners = "00",
                        .corner3 = "00",
                        .abnormal = "0",
                        .time = "0000",
                        .weight = "000"});
}
