#include "sampledata/generator.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/import/archive.hpp"
#include "core/records/cp932.hpp"
#include "core/records/layout_den1.hpp"
#include "core/records/layout_sei1.hpp"
#include "core/records/layout_umaj.hpp"
#include "core/records/layouts.hpp"
#include "core/records/numeric.hpp"
#include "record_reading.hpp"
#include "temp_folder.hpp"

namespace zelvanor::sample {
namespace {

std::vector<std::string> characters(std::string_view utf8) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t width = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        out.emplace_back(utf8.substr(i, width));
        i += width;
    }
    return out;
}

std::string trimHalfWidthBlanks(std::string s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// The jockey's short name by the rule of the jockey import: family name (characters 1-8) and
// given name (9-16), each without half-width blanks at the ends; a family name shorter than 8
// characters gets a full-width blank and the given name; cut to 8 characters.
std::string shortNameRule(std::string_view kiskanji) {
    const std::vector<std::string> chars = characters(kiskanji);
    auto join = [&](std::size_t from, std::size_t to) {
        std::string s;
        for (std::size_t i = from; i < to && i < chars.size(); ++i) s += chars[i];
        return s;
    };
    const std::string family = trimHalfWidthBlanks(join(0, 8));
    const std::string given = trimHalfWidthBlanks(join(8, 16));
    const std::string joined =
        characters(family).size() < 8 ? family + "　" + given : family + given;
    const std::vector<std::string> all = characters(joined);
    std::string out;
    for (std::size_t i = 0; i < 8 && i < all.size(); ++i) out += all[i];
    return out;
}

// Bracket numbers as the race cards assign them, counted out bracket by bracket.
int expectedBracket(int number, int runners) {
    int bracket = 1;
    int left = number;
    for (; bracket <= 8; ++bracket) {
        const int size = runners <= 8 ? 1 : runners / 8 + (bracket > 8 - runners % 8 ? 1 : 0);
        if (left <= size) break;
        left -= size;
    }
    return bracket;
}

bool isBlank(std::string_view bytes) {
    return bytes.find_first_not_of(' ') == std::string_view::npos;
}

TEST(ExpectedBracket, FollowsTheUsualCardLayout) {
    // Checks the test's own helper against fields that racegoers know by heart.
    EXPECT_EQ(expectedBracket(8, 8), 8);
    EXPECT_EQ(expectedBracket(9, 9), 8);
    EXPECT_EQ(expectedBracket(7, 9), 7);
    EXPECT_EQ(expectedBracket(16, 16), 8);
    EXPECT_EQ(expectedBracket(15, 16), 8);
    EXPECT_EQ(expectedBracket(12, 18), 6);
    EXPECT_EQ(expectedBracket(13, 18), 7);
    EXPECT_EQ(expectedBracket(18, 18), 8);
}

class SampleDataTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        meeting_ = new SampleData(generateSample(SampleSize::Meeting, 7));
        weekend_ = new SampleData(generateSample(SampleSize::Weekend, 11));
    }
    static void TearDownTestSuite() {
        delete meeting_;
        delete weekend_;
    }
    static const SampleData* meeting_;
    static const SampleData* weekend_;
};

const SampleData* SampleDataTest::meeting_ = nullptr;
const SampleData* SampleDataTest::weekend_ = nullptr;

TEST(SampleSizeNames, ParseTheThreeSizesOnly) {
    EXPECT_EQ(parseSampleSize("meeting"), SampleSize::Meeting);
    EXPECT_EQ(parseSampleSize("weekend"), SampleSize::Weekend);
    EXPECT_EQ(parseSampleSize("season"), SampleSize::Season);
    EXPECT_EQ(parseSampleSize("Season"), std::nullopt);
    EXPECT_EQ(parseSampleSize(""), std::nullopt);
}

TEST_F(SampleDataTest, SameSeedSameBytesOtherSeedOtherBytes) {
    const SampleData again = generateSample(SampleSize::Meeting, 7);
    EXPECT_EQ(again.kisi, meeting_->kisi);
    EXPECT_EQ(again.chok, meeting_->chok);
    EXPECT_EQ(again.umaj, meeting_->umaj);
    EXPECT_EQ(again.den1, meeting_->den1);
    EXPECT_EQ(again.sei1, meeting_->sei1);
    const SampleData other = generateSample(SampleSize::Meeting, 8);
    EXPECT_NE(other.umaj, meeting_->umaj);
    EXPECT_NE(other.den1, meeting_->den1);
}

TEST_F(SampleDataTest, MeetingFilesHoldWholeRecordsOfTheirLengths) {
    struct File {
        const std::string* bytes;
        const RecordLayout* layout;
        std::size_t records;
    };
    // A meeting is one course on one day, twelve races; every runner is a horse of its own.
    const File files[] = {
        {&meeting_->den1, &kDen1Layout, 12},
        {&meeting_->sei1, &kSei1Layout, 12},
        {&meeting_->umaj, &kUmajLayout, static_cast<std::size_t>(meeting_->runners)},
        {&meeting_->kisi, &kKisiLayout, static_cast<std::size_t>(meeting_->jockeys)},
        {&meeting_->chok, &kChokLayout, static_cast<std::size_t>(meeting_->trainers)},
    };
    for (const File& f : files) {
        SCOPED_TRACE(f.layout->fileName);
        ASSERT_EQ(f.bytes->size() % f.layout->recordLength, 0u);
        const auto records = recordsOf(*f.bytes, *f.layout);
        EXPECT_EQ(records.size(), f.records);
        for (std::string_view r : records) {
            ASSERT_EQ(r.substr(r.size() - 2), "\r\n");
            // Every field decodes: no byte outside code page 932, no character cut in two.
            for (const FieldSpec& field : f.layout->fields) {
                ASSERT_EQ(text(r, field).find("\uFFFD"), std::string::npos) << field.name;
            }
        }
    }
    EXPECT_EQ(meeting_->races, 12);
    EXPECT_EQ(meeting_->horses, meeting_->runners);
    EXPECT_EQ(meeting_->firstRaceDay, meeting_->lastRaceDay);
    std::set<std::string> meetings;
    for (std::string_view r : recordsOf(meeting_->den1, kDen1Layout)) {
        meetings.insert(text(r, kDen1Layout, "basho") + text(r, kDen1Layout, "year") +
                        text(r, kDen1Layout, "month") + text(r, kDen1Layout, "day"));
    }
    EXPECT_EQ(meetings.size(), 1u);
}

TEST_F(SampleDataTest, WeekendIsThreeCoursesOnTwoDays) {
    std::set<std::string> courses, days, races;
    for (std::string_view r : recordsOf(weekend_->den1, kDen1Layout)) {
        courses.insert(text(r, kDen1Layout, "basho"));
        days.insert(text(r, kDen1Layout, "month") + text(r, kDen1Layout, "day"));
        races.insert(text(r, kDen1Layout, "basho") + text(r, kDen1Layout, "month") +
                     text(r, kDen1Layout, "day") + text(r, kDen1Layout, "bango"));
    }
    EXPECT_EQ(courses.size(), 3u);
    EXPECT_EQ(days.size(), 2u);
    EXPECT_EQ(races.size(), 72u);  // every race once
}

// The cards, horses, jockeys and trainers of a weekend refer to each other without gaps.
TEST_F(SampleDataTest, CardsNameOnlyHorsesJockeysAndTrainersOfTheFiles) {
    std::map<std::string, std::string> trainerOfHorse;
    for (std::string_view r : recordsOf(weekend_->umaj, kUmajLayout)) {
        ASSERT_TRUE(
            trainerOfHorse.emplace(text(r, kUmajLayout, "umacode"), text(r, kUmajLayout, "chocode"))
                .second)
            << "horse code twice";
    }
    std::set<std::string> jockeys, trainers;
    for (std::string_view r : recordsOf(weekend_->kisi, kKisiLayout)) {
        ASSERT_TRUE(jockeys.insert(text(r, kKisiLayout, "KISCODE")).second);
    }
    for (std::string_view r : recordsOf(weekend_->chok, kChokLayout)) {
        ASSERT_TRUE(trainers.insert(text(r, kChokLayout, "chocode")).second);
    }
    for (const auto& [horse, trainer] : trainerOfHorse)
        EXPECT_TRUE(trainers.count(trainer)) << horse;

    std::set<std::string> entered;
    std::map<std::string, std::set<std::string>> racesOfDay;  // a horse runs once a day
    for (std::string_view r : recordsOf(weekend_->den1, kDen1Layout)) {
        const int runners = static_cast<int>(value(r, kDen1Layout, "tousuu"));
        ASSERT_GE(runners, 9);
        ASSERT_LE(runners, kDen1RunnerSlots);
        const std::string day = text(r, kDen1Layout, "month") + text(r, kDen1Layout, "day");
        std::set<std::string> ridersOfRace;
        for (int k = 1; k <= kDen1RunnerSlots; ++k) {
            SCOPED_TRACE(k);
            const std::string_view entry = r.substr(den1RunnerField(k).offset, kDen1RunnerLength);
            if (k > runners) {
                EXPECT_TRUE(isBlank(entry));
                continue;
            }
            const std::string horse = text(r, den1RunnerSubField(k, "umacode"));
            const std::string jockey = text(r, den1RunnerSubField(k, "CodeKisi"));
            ASSERT_TRUE(trainerOfHorse.count(horse)) << horse;
            EXPECT_EQ(text(r, den1RunnerSubField(k, "chocode")), trainerOfHorse[horse]);
            EXPECT_TRUE(jockeys.count(jockey)) << jockey;
            EXPECT_TRUE(ridersOfRace.insert(jockey).second) << "a jockey rides one horse a race";
            EXPECT_TRUE(racesOfDay[day].insert(horse).second) << "horse runs twice a day";
            EXPECT_EQ(value(r, den1RunnerSubField(k, "WakuNo")), expectedBracket(k, runners));
            const auto weight = value(r, den1RunnerSubField(k, "futan"));
            EXPECT_GE(weight, 480);
            EXPECT_LE(weight, 640);
            entered.insert(horse);
        }
    }
    // The horse file holds the horses entered, no others.
    EXPECT_EQ(entered.size(), trainerOfHorse.size());
}

struct CardRunner {
    std::string horse;
    int bracket;
};

TEST_F(SampleDataTest, ResultsBelongToTheRacesOnTheCards) {
    std::map<std::string, std::vector<CardRunner>> cards;
    auto key = [](std::string_view r, const RecordLayout& l) {
        return text(r, l, "basho") + text(r, l, "year") + text(r, l, "month") + text(r, l, "day") +
               text(r, l, "bango");
    };
    for (std::string_view r : recordsOf(weekend_->den1, kDen1Layout)) {
        std::vector<CardRunner> runners;
        for (int k = 1; k <= value(r, kDen1Layout, "tousuu"); ++k) {
            runners.push_back({text(r, den1RunnerSubField(k, "umacode")),
                               static_cast<int>(value(r, den1RunnerSubField(k, "WakuNo")))});
        }
        cards[key(r, kDen1Layout)] = runners;
    }
    const auto results = recordsOf(weekend_->sei1, kSei1Layout);
    EXPECT_EQ(results.size(), cards.size());
    std::set<std::string> seen;
    for (std::string_view r : results) {
        const std::string race = key(r, kSei1Layout);
        SCOPED_TRACE(race);
        ASSERT_TRUE(cards.count(race));
        ASSERT_TRUE(seen.insert(race).second);
        const std::vector<CardRunner>& card = cards[race];
        const int n = static_cast<int>(card.size());
        EXPECT_EQ(value(r, kSei1Layout, "tousuu"), n);

        const int first = static_cast<int>(value(r, kSei1Layout, "winNo1"));
        const int second = static_cast<int>(value(r, kSei1Layout, "placeNo2"));
        const int third = static_cast<int>(value(r, kSei1Layout, "placeNo3"));
        for (int number : {first, second, third}) {
            ASSERT_GE(number, 1);
            ASSERT_LE(number, n);
        }
        EXPECT_EQ(value(r, kSei1Layout, "placeNo1"), first);
        EXPECT_EQ((std::set<int>{first, second, third}).size(), 3u);
        EXPECT_EQ(value(r, kSei1Layout, "quinellaFirst1"), std::min(first, second));
        EXPECT_EQ(value(r, kSei1Layout, "quinellaSecond1"), std::max(first, second));
        const int bracketA = card[static_cast<std::size_t>(first - 1)].bracket;
        const int bracketB = card[static_cast<std::size_t>(second - 1)].bracket;
        EXPECT_EQ(value(r, kSei1Layout, "bracketFirst1"), std::min(bracketA, bracketB));
        EXPECT_EQ(value(r, kSei1Layout, "bracketSecond1"), std::max(bracketA, bracketB));

        // Payouts are yen for a 100-yen ticket: at least 100, in steps of 10.
        for (const char* pay :
             {"winPay1", "placePay1", "placePay2", "placePay3", "bracketPay1", "quinellaPay1"}) {
            const std::string digits = text(r, kSei1Layout, pay);
            EXPECT_EQ(digits.find_first_not_of("0123456789"), std::string::npos) << pay;
            EXPECT_GE(numericValue(digits), 100) << pay;
            EXPECT_EQ(numericValue(digits) % 10, 0) << pay;
        }
        // The winner is paid at least as much to win as to place.
        EXPECT_GE(value(r, kSei1Layout, "winPay1"), value(r, kSei1Layout, "placePay1"));
        // Unused list entries are blank.
        EXPECT_TRUE(text(r, kSei1Layout, "winNo2").find_first_not_of(' ') == std::string::npos);
        EXPECT_TRUE(text(r, kSei1Layout, "placeNo4").find_first_not_of(' ') == std::string::npos);

        // Each runner's result sits in its horse-number slot with the horse of the card.
        for (int k = 1; k <= n; ++k) {
            EXPECT_EQ(text(r, sei1RunnerSubField(k, "umacode")),
                      card[static_cast<std::size_t>(k - 1)].horse);
            const auto position = value(r, sei1RunnerSubField(k, "position"));
            const int placed = k == first ? 1 : k == second ? 2 : k == third ? 3 : 0;
            if (placed != 0) {
                EXPECT_EQ(position, placed);
            } else {
                EXPECT_TRUE(position == 0 || position > 3) << position;  // 0: did not finish
            }
        }
        // The laps add up to the winner's time.
        int laps = 0;
        for (int k = 1; k <= kSei1Laps; ++k)
            laps += static_cast<int>(value(r, kSei1Layout, "lap" + std::to_string(k)));
        const auto time = value(r, sei1RunnerSubField(first, "finishTime"));
        EXPECT_EQ(laps, time / 1000 * 600 + time % 1000);
    }
}

// A date of the files as a number that grows with time (all years lie in the same century).
int dateKey(std::int64_t yy, std::int64_t mm, std::int64_t dd) {
    return static_cast<int>(yy * 10000 + mm * 100 + dd);
}

TEST_F(SampleDataTest, RaceHistoriesArePlausibleRunsBeforeTheCard) {
    std::map<std::string, int> firstCard;
    for (std::string_view r : recordsOf(weekend_->den1, kDen1Layout)) {
        const int day = dateKey(value(r, kDen1Layout, "year"), value(r, kDen1Layout, "month"),
                                value(r, kDen1Layout, "day"));
        for (int k = 1; k <= value(r, kDen1Layout, "tousuu"); ++k) {
            auto [it, added] = firstCard.emplace(text(r, den1RunnerSubField(k, "umacode")), day);
            if (!added) it->second = std::min(it->second, day);
        }
    }
    std::set<std::string> shortNames;
    for (std::string_view r : recordsOf(weekend_->kisi, kKisiLayout)) {
        ASSERT_TRUE(shortNames.insert(shortNameRule(text(r, kKisiLayout, "KISKANJI"))).second)
            << "two jockeys with one short name";
    }

    const std::set<std::string> classes = {"701", "703", "005", "009", "016", "999"};
    int newHorses = 0;
    int fullHistories = 0;
    for (std::string_view r : recordsOf(weekend_->umaj, kUmajLayout)) {
        const std::string horse = text(r, kUmajLayout, "umacode");
        SCOPED_TRACE(horse);
        int previous = firstCard.at(horse);
        int runs = 0;
        for (int e = 1; e <= kUmajHistoryEntries; ++e) {
            SCOPED_TRACE(e);
            auto f = [&](std::string_view name) { return umajHistoryField(e, name); };
            const std::string whole = text(r, umajHistoryEntryField(e));
            EXPECT_EQ(characters(whole).size(), 107u);
            if (value(r, f("month")) == 0) {
                // A race never run: zeros, so that no reader counts it.
                EXPECT_EQ(text(r, f("corner3")), "00");
                EXPECT_EQ(text(r, f("finishTime")), "0000");
                continue;
            }
            ASSERT_EQ(runs, e - 1) << "an empty entry before a filled one";
            ++runs;
            const int day = dateKey(value(r, f("year")), value(r, f("month")), value(r, f("day")));
            EXPECT_LT(day, previous) << "entries run newest first, all before the card";
            previous = day;

            const auto course = value(r, f("course"));
            EXPECT_GE(course, 1);
            EXPECT_LE(course, 10);
            EXPECT_TRUE(classes.count(text(r, f("classCode"))));
            const auto going = value(r, f("goingCode"));
            EXPECT_GE(going, 1);
            EXPECT_LE(going, 4);
            const auto runners = value(r, f("runners"));
            const auto number = value(r, f("horseNumber"));
            EXPECT_GE(number, 1);
            EXPECT_LE(number, runners);
            EXPECT_EQ(value(r, f("bracket")),
                      expectedBracket(static_cast<int>(number), static_cast<int>(runners)));
            EXPECT_EQ(shortNames.count(trimHalfWidthBlanks(text(r, f("jockeyName")))), 1u);

            if (text(r, f("abnormalCode")) != "0") continue;
            const auto position = value(r, f("position"));
            EXPECT_GE(position, 1);
            EXPECT_LE(position, runners);
            EXPECT_GE(value(r, f("corner3")), 1);
            EXPECT_LE(value(r, f("corner3")), runners);
            // Speed in seconds per metre: flat races 0.055 to 0.070, jumps a little slower.
            const auto time = value(r, f("finishTime"));
            const double seconds = (time / 1000 * 600 + time % 1000) / 10.0;
            const double perMetre = seconds / static_cast<double>(value(r, f("distance")));
            const bool jump = text(r, f("trackCode"))[0] == '5';
            EXPECT_GE(perMetre, jump ? 0.060 : 0.055);
            EXPECT_LE(perMetre, jump ? 0.075 : 0.070);
            const auto lastThree = value(r, f("lastThreeFurlongs"));
            EXPECT_GE(lastThree, 320);
            EXPECT_LE(lastThree, 460);
        }
        newHorses += runs == 0 ? 1 : 0;
        fullHistories += runs == kUmajHistoryEntries ? 1 : 0;
    }
    EXPECT_GT(newHorses, 0);
    EXPECT_GT(fullHistories, 0);
}

TEST_F(SampleDataTest, HorsePlacingCountsAgreeAcrossTheirGroupings) {
    for (std::string_view r : recordsOf(weekend_->umaj, kUmajLayout)) {
        SCOPED_TRACE(text(r, kUmajLayout, "umacode"));
        auto total = [&](int from, int to) {
            std::int64_t sum = 0;
            for (int g = from; g <= to; ++g) {
                for (int k = 1; k <= kUmajCountsPerCategory; ++k)
                    sum += value(r, umajPlacingField(g, k));
            }
            return sum;
        };
        // Every flat run is counted once by direction, once by going and once by distance;
        // every jump run once in total and once by going.
        const auto flat = total(1, 4);
        EXPECT_EQ(total(6, 13), flat);
        EXPECT_EQ(total(18, 23), flat);
        EXPECT_EQ(total(14, 17), total(5, 5));
        int history = 0;
        for (int e = 1; e <= kUmajHistoryEntries; ++e) {
            history += value(r, umajHistoryField(e, "month")) != 0 ? 1 : 0;
        }
        EXPECT_GE(flat + total(5, 5), history);
        // Money is only earned by running.
        if (flat + total(5, 5) == 0) {
            EXPECT_EQ(value(r, kUmajLayout, "honshou"), 0);
        }
    }
}

TEST_F(SampleDataTest, JockeyAndTrainerCountsAddUp) {
    static const std::vector<std::string> kCourses = {"SAP", "HAK", "FUK", "NIG", "TOK",
                                                      "NAK", "CHU", "KYO", "HAN", "KOK"};
    struct File {
        const std::string* bytes;
        const RecordLayout* layout;
        bool bands;
    };
    for (const File& file :
         {File{&weekend_->kisi, &kKisiLayout, true}, File{&weekend_->chok, &kChokLayout, false}}) {
        SCOPED_TRACE(file.layout->fileName);
        for (std::string_view r : recordsOf(*file.bytes, *file.layout)) {
            auto count = [&](const std::string& group, int k) {
                return value(r, *file.layout, group + "." + std::to_string(k));
            };
            for (int k = 1; k <= 8; ++k) {
                EXPECT_GE(count("RUIKEI", k), count("HONNEN", k) + count("ZENNEN", k));
            }
            for (const char* year : {"H", "Z"}) {
                const std::string whole = year[0] == 'H' ? "HONNEN" : "ZENNEN";
                for (int k = 1; k <= 4; ++k) {
                    std::int64_t flat = 0, jump = 0;
                    for (std::size_t c = 0; c < kCourses.size(); ++c) {
                        flat += count(year + kCourses[c], k);
                        if (c >= 2) jump += count(year + kCourses[c], k + 4);
                    }
                    EXPECT_EQ(flat, count(whole, k));
                    EXPECT_EQ(jump, count(whole, k + 4));
                    if (file.bands) {
                        std::int64_t banded = 0;
                        for (const char* band : {"1600", "2200", "2201"}) {
                            banded += count(year + std::string(band), k) +
                                      count(year + std::string(band), k + 4);
                        }
                        EXPECT_EQ(banded, count(whole, k));
                    }
                }
            }
        }
    }
    for (std::string_view r : recordsOf(weekend_->kisi, kKisiLayout)) {
        const std::string kana = text(r, kKisiLayout, "KISKANA");
        EXPECT_EQ(encodeCp932(kana).size(), charCount(kana)) << "readings are half-width";
        EXPECT_NE(std::string("0123").find(text(r, kKisiLayout, "minarai")), std::string::npos);
        EXPECT_NE(std::string("123").find(text(r, kKisiLayout, "SHIKAKU")), std::string::npos);
    }
}

std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(SampleDataTest, ArchivesCarryTheRecordFilesAsTheServiceShipsThem) {
    TempFolder folder;
    const auto written = writeSample(*meeting_, folder.path(), true);
    EXPECT_EQ(written.size(), 9u);

    struct Expected {
        std::string_view archive;
        std::vector<std::string> members;
    };
    const Expected archives[] = {
        {kHorsesAndCardsArchive, {"JRA#UMAJ.DAT", "JRA#DEN1.DAT"}},
        {kResultsArchive, {"JRA#SEI1.DAT"}},
        {kJockeysArchive, {"JRA#KISI.DAT"}},
        {kTrainersArchive, {"JRA#CHOK.DAT"}},
    };
    const std::map<std::string, const std::string*> bytes = {
        {"JRA#UMAJ.DAT", &meeting_->umaj}, {"JRA#DEN1.DAT", &meeting_->den1},
        {"JRA#SEI1.DAT", &meeting_->sei1}, {"JRA#KISI.DAT", &meeting_->kisi},
        {"JRA#CHOK.DAT", &meeting_->chok},
    };
    for (const auto& [name, data] : bytes) EXPECT_EQ(readAll(folder / name), *data) << name;

    TempFolder extracted;
    for (const Expected& e : archives) {
        SCOPED_TRACE(e.archive);
        const auto archive = folder / std::string(e.archive);
        ASSERT_TRUE(isLhaArchive(archive));
        EXPECT_EQ(archiveMembers(archive), e.members);
        for (const std::string& member : e.members) {
            ASSERT_EQ(extractMember(archive, extracted.path(), member), 0);
            EXPECT_EQ(readAll(extracted / member), *bytes.at(member));
        }
    }
}

TEST_F(SampleDataTest, WithoutArchivesOnlyTheRecordFilesAreWritten) {
    TempFolder folder;
    const auto written = writeSample(*meeting_, folder / "out", false);
    ASSERT_EQ(written.size(), 5u);
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder / "out")) {
        EXPECT_EQ(entry.path().extension(), ".DAT");
        ++files;
    }
    EXPECT_EQ(files, 5u);
}

}  // namespace
}  // namespace zelvanor::sample
