#include "core/records/layout_umaj.hpp"

#include <array>
#include <stdexcept>
#include <string>

namespace zelvanor {

namespace {

constexpr std::size_t kRecordLength = 1825;
constexpr std::size_t kPlacingOffset = 361;
constexpr std::size_t kCountLength = 3;
constexpr std::size_t kHistoryOffset = 637;
constexpr std::size_t kHistoryLength = 136;
constexpr std::size_t kPlacingFields = kUmajCategories * kUmajCountsPerCategory;

// "placing01First" … "placing23Other", generated once at compile time so that the layout stays
// constant-initialised and safe to use from any other static initialiser.
struct PlacingNames {
    char text[kPlacingFields][16] = {};
};

constexpr PlacingNames makePlacingNames() {
    constexpr std::string_view kCounts[] = {"First", "Second", "Third", "Other"};
    constexpr std::string_view kPrefix = "placing";
    PlacingNames names;
    for (std::size_t g = 0; g < kUmajCategories; ++g) {
        for (std::size_t k = 0; k < kUmajCountsPerCategory; ++k) {
            char* out = names.text[g * kUmajCountsPerCategory + k];
            std::size_t n = 0;
            for (char c : kPrefix) out[n++] = c;
            out[n++] = static_cast<char>('0' + (g + 1) / 10);
            out[n++] = static_cast<char>('0' + (g + 1) % 10);
            for (char c : kCounts[k]) out[n++] = c;
        }
    }
    return names;
}

constexpr PlacingNames kPlacingNames = makePlacingNames();

constexpr std::size_t kFirstPlacingIndex = 22;
constexpr std::size_t kFirstHistoryIndex = kFirstPlacingIndex + kPlacingFields;
constexpr std::size_t kUmajFieldCount = kFirstHistoryIndex + kUmajHistoryEntries + 3;

constexpr std::array<FieldSpec, kUmajFieldCount> makeUmajFields() {
    std::array<FieldSpec, kUmajFieldCount> f{};
    std::size_t i = 0;
    std::size_t at = 0;
    // Fields follow each other without gaps, so each is given by its length alone.
    auto add = [&](std::string_view name, std::size_t length) {
        f[i++] = FieldSpec{name, at, length};
        at += length;
    };
    add("umacode", 8);
    add("delflg", 1);
    add("bamei", 36);
    add("chocode", 4);
    add("seisan", 40);
    add("umanushi", 40);
    add("hinshu", 1);
    add("seibetsu", 1);
    add("moushoku", 2);
    add("seinen", 6);
    add("sanchi", 24);
    add("umakigou", 2);
    add("shoutaiCode", 1);
    add("shoutaiName", 24);
    add("keto1", 36);
    add("keto2", 36);
    add("keto3", 36);
    add("keto4", 36);
    add("honshou", 7);
    add("fukashou", 6);
    add("shuutoku1", 7);
    add("shuutoku2", 7);
    for (std::size_t j = 0; j < kPlacingFields; ++j) {
        add(std::string_view(kPlacingNames.text[j]), kCountLength);
    }
    add("history1", kHistoryLength);
    add("history2", kHistoryLength);
    add("history3", kHistoryLength);
    add("history4", kHistoryLength);
    add("history5", kHistoryLength);
    add("mkdate", 6);
    add("furtherEntries", kUmajFurtherEntries * 10);
    add("lineEnd", 2);
    return f;
}

constexpr auto kUmajFields = makeUmajFields();

static_assert(kUmajFields[kFirstPlacingIndex].offset == kPlacingOffset);
static_assert(kUmajFields[kFirstHistoryIndex].offset == kHistoryOffset);
static_assert(kUmajFields.back().offset + kUmajFields.back().length == kRecordLength);

constexpr FieldSpec kHistoryFields[] = {
    {"course", 0, 2},
    {"year", 2, 2},
    {"meeting", 4, 1},
    {"unread5", 5, 1},
    {"unread6", 6, 2},
    {"horseNumber", 8, 2},
    {"month", 10, 2},  // 0: the entry is empty
    {"day", 12, 2},
    {"classCode", 14, 3},
    {"distance", 17, 4},
    {"trackCode", 21, 2},
    {"raceName", 23, 6},
    {"gradeCode", 29, 1},
    {"unread30", 30, 1},
    {"goingCode", 31, 1},
    {"runners", 32, 2},
    {"otherHorse", 34, 36},  // the winner, or the second when this horse won
    {"timeDifference", 70, 4},
    {"bracket", 74, 1},
    {"unread75", 75, 2},
    {"position", 77, 2},
    {"abnormalCode", 79, 1},  // "0" for a normal finish
    {"finishTime", 80, 4},    // minutes and tenths of seconds
    {"weightCarried", 84, 3},
    {"jockeyMark", 87, 3},  // shown after the jockey's name
    {"corner1", 90, 2},
    {"corner2", 92, 2},
    {"corner3", 94, 2},
    {"corner4", 96, 2},
    {"unread98", 98, 3},
    {"lastThreeFurlongs", 101, 3},
    {"jockeyName", 104, 16},
    {"popularity", 120, 2},
    {"unread122", 122, 2},
    {"unread124", 124, 2},
    {"unread126", 126, 2},
    {"unread128", 128, 2},
    {"unread130", 130, 2},
    {"unread132", 132, 2},
    {"unread134", 134, 2},
};

constexpr FieldSpec kFurtherEntryFields[] = {
    {"item1", 0, 2}, {"item2", 2, 2}, {"item3", 4, 1},
    {"item4", 5, 1}, {"item5", 6, 2}, {"item6", 8, 2},
};

}  // namespace

constinit const RecordLayout kUmajLayout{"JRA#UMAJ.DAT", kRecordLength, kUmajFields};
constinit const RecordLayout kUmajHistoryLayout{"JRA#UMAJ.DAT", kHistoryLength, kHistoryFields};
constinit const RecordLayout kUmajFurtherEntryLayout{"JRA#UMAJ.DAT", 10, kFurtherEntryFields};

const FieldSpec& umajPlacingField(int category, int count) {
    if (category < 1 || category > kUmajCategories || count < 1 || count > kUmajCountsPerCategory) {
        throw std::out_of_range("no placing count " + std::to_string(count) + " of category " +
                                std::to_string(category));
    }
    return kUmajFields[kFirstPlacingIndex +
                       static_cast<std::size_t>((category - 1) * kUmajCountsPerCategory +
                                                (count - 1))];
}

const FieldSpec& umajHistoryEntryField(int entry) {
    if (entry < 1 || entry > kUmajHistoryEntries) {
        throw std::out_of_range("no race history entry " + std::to_string(entry));
    }
    return kUmajFields[kFirstHistoryIndex + static_cast<std::size_t>(entry - 1)];
}

FieldSpec umajHistoryField(int entry, std::string_view subField) {
    return kUmajHistoryLayout.placedIn(umajHistoryEntryField(entry), subField);
}

}  // namespace zelvanor
