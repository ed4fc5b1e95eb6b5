#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/store.hpp"
#include "core/tables/race_tables.hpp"
#include "core/views/persona_ranking.hpp"
#include "core/views/race_card.hpp"
#include "core/views/race_forecast.hpp"
#include "temp_folder.hpp"

namespace zelvanor {
namespace {

using Strings = std::vector<std::string>;
using Six = std::array<std::string, 6>;

// A field in horse-number order where every persona sees the same good-going values.
std::vector<PersonaRunner> fieldOf(const std::vector<float>& values) {
    std::vector<PersonaRunner> runners;
    for (std::size_t k = 0; k < values.size(); ++k) {
        PersonaRunner r;
        r.horseNumber = static_cast<std::int16_t>(k + 1);
        r.bracketNumber = static_cast<std::int16_t>(k / 2 + 1);
        r.ability.nouryoku1 = r.ability.nouryoku2 = r.ability.nouryoku3 = values[k];
        runners.push_back(r);
    }
    return runners;
}

std::vector<RankedPlace> placesOf(const std::vector<double>& values) {
    std::vector<RankedPlace> places;
    for (std::size_t k = 0; k < values.size(); ++k) {
        places.push_back({static_cast<std::int16_t>(k + 1), 0, values[k], static_cast<int>(k)});
    }
    return places;
}

std::vector<int> horseNumbers(const std::vector<RankedPlace>& ranking) {
    std::vector<int> numbers;
    for (const RankedPlace& p : ranking) numbers.push_back(p.horseNumber);
    return numbers;
}

TEST(PersonaForecast, ClearFavouriteInSixRunners) {
    const auto runners = fieldOf({80.0f, 70.5f, 65.0f, 60.0f, 55.0f, 50.0f});
    const RaceForecast f = forecastRace(runners, true, "ま");

    for (const PersonaForecast& p : f.personas) {
        SCOPED_TRACE(p.name);
        EXPECT_EQ(horseNumbers(p.ranking), (std::vector<int>{1, 2, 3, 4, 5, 6}));
        // Fifth place needs eight runners for its ×.
        EXPECT_EQ(p.marks, (Strings{"◎", "○", "▲", "△", "", ""}));
        EXPECT_EQ(p.picks, (Six{"1 - 2", "1 - 3", "1 - 4", "1 - 5", " ", " "}));
        EXPECT_EQ(p.top[0].horseNumber, "1");
        EXPECT_EQ(p.top[0].value, "80.0");
        EXPECT_EQ(p.top[1].value, "70.5");
        EXPECT_EQ(p.top[5].horseNumber, "6");
        EXPECT_EQ(p.top[5].value, "50.0");
    }
    EXPECT_EQ(f.verdict, "軸堅い");
}

TEST(PersonaForecast, NoClearFavouriteBoxesTheFirstFour) {
    const auto runners = fieldOf({75.0f, 70.5f, 65.0f, 60.0f, 55.0f, 50.0f});
    const RaceForecast f = forecastRace(runners, true, "");
    for (const PersonaForecast& p : f.personas) {
        EXPECT_EQ(p.picks, (Six{"1 - 2", "1 - 3", "1 - 4", "2 - 3", " ", " "})) << p.name;
    }
    EXPECT_EQ(f.verdict, "連軸争い");
}

TEST(PersonaForecast, NamesAndCaptions) {
    const RaceForecast named = forecastRace({}, true, "まさ");
    EXPECT_EQ(named.personas[0].name, "翠嶺");
    EXPECT_EQ(named.personas[0].caption, "翠嶺（総合評価）");
    EXPECT_EQ(named.personas[1].name, "碧渦");
    EXPECT_EQ(named.personas[1].caption, "碧渦（能力値重視）");
    EXPECT_EQ(named.personas[2].name, "まさ");
    EXPECT_EQ(named.personas[2].caption, "まさ（特性重視）");
    EXPECT_EQ(forecastRace({}, true, "").personas[2].caption, "User（特性重視）");
}

TEST(PersonaForecast, EachPersonaRanksByItsOwnColumnOfTheGoing) {
    // Horse 1 leads on the column each persona should read, horse 2 on every other column.
    std::vector<PersonaRunner> runners(2);
    runners[0].horseNumber = 1;
    runners[1].horseNumber = 2;
    runners[1].ability = {50, 50, 50, 50, 50, 50};
    struct Case {
        Persona persona;
        bool goodGoing;
        float AbilityValues::*column;
        std::string_view columnName;
    };
    for (const Case& c :
         {Case{Persona::Suirei, true, &AbilityValues::nouryoku2, "Nouryoku2"},
          Case{Persona::Suirei, false, &AbilityValues::omoNouryoku2, "OmoNouryoku2"},
          Case{Persona::Hekika, true, &AbilityValues::nouryoku1, "Nouryoku1"},
          Case{Persona::Hekika, false, &AbilityValues::omoNouryoku1, "OmoNouryoku1"},
          Case{Persona::User, true, &AbilityValues::nouryoku3, "Nouryoku3"},
          Case{Persona::User, false, &AbilityValues::omoNouryoku3, "OmoNouryoku3"}}) {
        runners[0].ability = {40, 40, 40, 40, 40, 40};
        runners[0].ability.*c.column = 60;
        const RaceForecast f = forecastRace(runners, c.goodGoing, "");
        const PersonaForecast& p = f.personas[static_cast<std::size_t>(c.persona)];
        EXPECT_EQ(p.marks, (Strings{"◎", "○"}))
            << p.name << (c.goodGoing ? " good" : " heavy") << " going";
        EXPECT_EQ(personaColumn(c.persona, c.goodGoing), c.columnName);
    }
}

TEST(PersonaForecast, RanksTheValueAsTheGridShowsIt) {
    // 70.01 and 70.04 both show as 70.0: a tie, so horse 1 keeps the lead.
    const auto tie = forecastRace(fieldOf({70.01f, 70.04f}), true, "");
    EXPECT_EQ(tie.personas[0].marks, (Strings{"◎", "○"}));
    EXPECT_DOUBLE_EQ(tie.personas[0].ranking[1].value, 70.0);

    // The first two personas read the shown text as a double, the user's in single precision.
    const auto f = forecastRace(fieldOf({65.34f}), true, "");
    EXPECT_EQ(f.personas[0].ranking[0].value, 65.3);
    EXPECT_EQ(f.personas[1].ranking[0].value, 65.3);
    EXPECT_EQ(f.personas[2].ranking[0].value, static_cast<double>(65.3f));
    EXPECT_EQ(f.personas[2].top[0].value, "65.3");
}

TEST(PersonaRanking, ExchangeSortKeepsItsOwnOrderForTies) {
    struct Case {
        std::vector<double> values;
        std::vector<int> ranked;
    };
    for (const Case& c : std::vector<Case>{
             {{5, 5, 7}, {3, 2, 1}},
             {{70, 70, 60}, {1, 2, 3}},
             {{60, 70, 70}, {2, 3, 1}},
             {{1, 2, 3, 4}, {4, 3, 2, 1}},
             {{0, -1.5, 2}, {3, 1, 2}},
             {{}, {}},
         }) {
        auto places = placesOf(c.values);
        rankPlaces(places);
        EXPECT_EQ(horseNumbers(places), c.ranked)
            << "first value " << (c.values.empty() ? 0 : c.values[0]);
        for (const RankedPlace& p : places) EXPECT_EQ(p.place, p.horseNumber - 1);
    }
}

TEST(PersonaForecast, EqualTopValuesMakeNoClearFavourite) {
    const auto f = forecastRace(fieldOf({60.0f, 70.0f, 70.0f, 50.0f, 40.0f, 30.0f}), true, "");
    const PersonaForecast& p = f.personas[0];
    EXPECT_EQ(horseNumbers(p.ranking), (std::vector<int>{2, 3, 1, 4, 5, 6}));
    EXPECT_EQ(p.marks, (Strings{"▲", "◎", "○", "△", "", ""}));
    EXPECT_EQ(p.picks, (Six{"2 - 3", "1 - 2", "2 - 4", "1 - 3", " ", " "}));
}

TEST(PersonaForecast, MarksDependOnFieldSize) {
    // Values fall with the horse number, so ranked position k is horse k + 1.
    struct Case {
        int fieldSize;
        Strings firstSix;
    };
    for (const Case& c : std::vector<Case>{
             {7, {"◎", "○", "▲", "△", "", ""}},
             {8, {"◎", "○", "▲", "△", "×", ""}},
             {11, {"◎", "○", "▲", "△", "×", ""}},
             {12, {"◎", "○", "▲", "△", "×", "×"}},
             {18, {"◎", "○", "▲", "△", "×", "×"}},
         }) {
        std::vector<float> values;
        for (int k = 0; k < c.fieldSize; ++k) values.push_back(90.0f - 2.0f * k);
        const auto marks = forecastRace(fieldOf(values), true, "").personas[0].marks;
        ASSERT_EQ(marks.size(), static_cast<std::size_t>(c.fieldSize));
        EXPECT_EQ(Strings(marks.begin(), marks.begin() + 6), c.firstSix) << c.fieldSize;
        for (std::size_t k = 6; k < marks.size(); ++k) EXPECT_EQ(marks[k], "") << k;
    }
}

TEST(PersonaForecast, RunnerWithoutIndexGetsNoMarkLineOrPick) {
    // Horse 2 has no index: it ranks last, unmarked and off the top list.
    const auto f = forecastRace(fieldOf({80.0f, 0.0f, 72.0f, 60.0f, 55.0f, 50.0f}), true, "");
    const PersonaForecast& p = f.personas[0];
    EXPECT_EQ(horseNumbers(p.ranking), (std::vector<int>{1, 3, 4, 5, 6, 2}));
    EXPECT_EQ(p.marks, (Strings{"◎", "", "○", "▲", "△", ""}));
    EXPECT_EQ(p.picks, (Six{"1 - 3", "1 - 4", "1 - 5", "1 - 6", " ", " "}));
    EXPECT_EQ(p.top[4].horseNumber, "6");
    EXPECT_EQ(p.top[5].horseNumber, "");
    EXPECT_EQ(p.top[5].value, "");

    // The wheel's last ticket reaches horse 7, which has no index: that pick is empty.
    const auto wheel =
        forecastRace(fieldOf({80.0f, 70.0f, 65.0f, 60.0f, 55.0f, 50.0f, 0.0f, 0.0f}), true, "");
    EXPECT_EQ(wheel.personas[0].picks, (Six{"1 - 2", "1 - 3", "1 - 4", "1 - 5", "1 - 6", ""}));
}

TEST(PersonaForecast, SmallFields) {
    struct Case {
        std::vector<float> values;
        Six picks;
        std::string verdict;
    };
    for (const Case& c : std::vector<Case>{
             {{}, {"", "", "", " ", " ", " "}, ""},
             {{50.0f}, {"", "", "", " ", " ", " "}, "軸堅い"},
             {{80.0f, 75.0f, 70.0f}, {"1 - 2", "1 - 3", "", " ", " ", " "}, "連軸争い"},
             // The missing fifth place reads 0, so the fourth stands clear of it.
             {{80.0f, 79.0f, 78.0f, 77.0f}, {"1 - 2", "1 - 3", "1 - 4", " ", " ", " "}, "人気通り"},
             {{80.0f, 78.0f, 76.0f, 74.0f, 72.0f}, {"1 - 2", "1 - 3", "1 - 4", " ", " ", " "}, ""},
             {{90.0f, 78.0f, 76.0f, 74.0f, 72.0f},
              {"1 - 2", "1 - 3", "1 - 4", " ", " ", " "},
              "軸堅い"},
         }) {
        const RaceForecast f = forecastRace(fieldOf(c.values), true, "");
        const PersonaForecast& p = f.personas[0];
        SCOPED_TRACE(c.values.size());
        EXPECT_EQ(p.picks, c.picks);
        EXPECT_EQ(f.verdict, c.verdict);
        EXPECT_EQ(p.marks.size(), c.values.size());
        for (std::size_t k = c.values.size(); k < p.top.size(); ++k) {
            EXPECT_EQ(p.top[k].horseNumber, "");
        }
    }
}

TEST(PersonaForecast, VerdictRules) {
    struct Case {
        std::vector<double> values;
        std::string verdict;
    };
    for (const Case& c : std::vector<Case>{
             {{80, 73, 69, 66, 62, 60}, "連軸争い"},  // a gap of exactly 7 is no axis
             {{80, 72.5, 70, 66, 62, 60}, "軸堅い"},
             {{75, 73, 70, 66, 65, 64}, "三つ巴"},  // 73 - 70 is not above 3
             {{75, 73, 71, 70, 66, 60}, "人気通り"},
             {{75, 73, 71, 69, 67, 64.5}, "人気通り"},
             {{75, 73, 71, 69, 67, 65}, "混戦模様"},
             {{75, 74, 73, 72, 71, 70}, "波乱含み"},
             {{75, 74, 73, 72, 71, 70, 20}, "波乱含み"},  // only the first six count
             {{75, 74, 73, 72, 71}, ""},
             {{0, 0, 0, 0, 0, 0}, "波乱含み"},
         }) {
        EXPECT_EQ(verdictLabel(placesOf(c.values)), c.verdict)
            << c.values.size() << " runners, last " << c.values.back();
    }
}

TEST(PersonaForecast, Pace) {
    struct Case {
        std::vector<std::int16_t> shisuu3kaku;
        std::string pace;
    };
    for (const Case& c : std::vector<Case>{
             {{}, ""},
             {{0, 0, 0}, ""},
             {{3, 0, 4}, "ペースＨ"},  // the runner without an index does not count
             {{4, 0}, "ペースＭ"},
             {{2, 6, 0}, "ペースＭ"},
             {{7, 7}, "ペースＭ"},
             {{7, 8}, "ペースＳ"},
             {{10}, "ペースＳ"},
         }) {
        std::vector<PersonaRunner> runners(c.shisuu3kaku.size());
        for (std::size_t k = 0; k < runners.size(); ++k) runners[k].shisuu3kaku = c.shisuu3kaku[k];
        EXPECT_EQ(paceLabel(runners), c.pace) << c.shisuu3kaku.size() << " runners";
        EXPECT_EQ(forecastRace(runners, true, "").pace, c.pace);
    }
}

TEST(PersonaRanking, TicketGuards) {
    using P = std::optional<TicketPair>;
    const P none;
    struct Case {
        bool clear;
        int fieldSize;
        TicketGuard guard;
        std::array<P, 6> pairs;
    };
    const P p01 = TicketPair{0, 1}, p02 = TicketPair{0, 2}, p03 = TicketPair{0, 3},
            p04 = TicketPair{0, 4}, p05 = TicketPair{0, 5}, p06 = TicketPair{0, 6},
            p12 = TicketPair{1, 2}, p13 = TicketPair{1, 3}, p23 = TicketPair{2, 3};
    for (const Case& c : std::vector<Case>{
             {true, 5, TicketGuard::RaceCard, {p01, p02, p03, none, none, none}},
             {true, 7, TicketGuard::RaceCard, {p01, p02, p03, p04, p05, none}},
             {true, 8, TicketGuard::RaceCard, {p01, p02, p03, p04, p05, p06}},
             {false, 6, TicketGuard::RaceCard, {p01, p02, p03, p12, none, none}},
             {false, 8, TicketGuard::RaceCard, {p01, p02, p03, p12, p13, p23}},
             {true, 5, TicketGuard::Verification, {p01, p02, p03, p04, none, none}},
             {true, 7, TicketGuard::Verification, {p01, p02, p03, p04, p05, p06}},
             {false, 3, TicketGuard::Verification, {p01, p02, p03, p12, p13, p23}},
         }) {
        EXPECT_EQ(ticketPairs(c.clear, c.fieldSize, c.guard), c.pairs)
            << (c.clear ? "wheel" : "box") << " of " << c.fieldSize << ", guard "
            << static_cast<int>(c.guard);
    }
}

TEST(PersonaRanking, BracketTicketsAndPlacesBeyondTheField) {
    // Brackets of a small field repeat; the verification box reaches past three runners.
    std::vector<RankedPlace> ranking = {{1, 1, 70, 0}, {2, 1, 68, 1}, {3, 2, 60, 2}};
    EXPECT_EQ(ticketLabels(ranking, TicketGuard::Verification, TicketNumbers::Bracket),
              (Six{"1 - 1", "1 - 2", "", "1 - 2", "", ""}));
    EXPECT_EQ(ticketLabels(ranking, TicketGuard::RaceCard),
              (Six{"1 - 2", "1 - 3", "", " ", " ", " "}));
}

// A 23-character runner entry: bracket, horse code, then sex, weight, jockey and trainer.
std::string runnerEntry(char bracket, const char* code) {
    return std::string(1, bracket) + code + std::string(14, '0');
}

TEST(RaceCardForecast, RanksTheRunnersOfTheStoredRace) {
    TempFolder dir;
    Database tran(dir / "tran.mdb");
    const auto m = meetingTables("05", "98", "10", "03");
    createRaceTable(tran, m.race);
    createEntryTable(tran, m.entries);
    {
        Table race(tran, m.race);
        race.addNew();
        race.set("bango", std::int64_t{11});
        race.set("tousuu", std::string("03"));
        race.set("RyoOmo", std::int64_t{2});
        race.set("uma1", runnerEntry('1', "98100001"));
        race.set("uma2", runnerEntry('2', "98100099"));  // no entries row
        race.set("uma3", runnerEntry('3', "98100003"));
        race.set("uma4", runnerEntry('4', "98100002"));  // beyond tousuu
        race.update();

        Table entries(tran, m.entries);
        for (const char* code : {"98100001", "98100002", "98100003"}) {
            entries.addNew();
            entries.set("umacode", std::string(code));
            entries.set("Nouryoku1", 61.2);
            entries.set("OmoNouryoku2", 58.5);
            entries.set("OmoNouryoku3", code[7] == '1' ? 40.0 : 45.5);
            entries.set("Shisuu3kaku", std::int64_t{code[7] - '0' + 2});
            entries.update();
        }
    }

    // The forecast comes from the race card's reading of the race and its entries rows.
    const Meeting meeting = meetingOf(m.race);
    EXPECT_FALSE(readRaceCard(tran, meeting, 1, "").has_value());
    const auto card = readRaceCard(tran, meeting, 11, "");
    ASSERT_TRUE(card.has_value());
    EXPECT_FALSE(card->goodGoing);
    EXPECT_EQ(card->runnerCount, 3);
    const auto& lines = card->lines;
    EXPECT_EQ(lines[0].bracket, "1");
    EXPECT_TRUE(lines[0].hasEntry);
    EXPECT_EQ(lines[0].index, "58.5");  // 翠嶺 ranks by OmoNouryoku2 on heavy going
    EXPECT_EQ(lines[0].anaIndex, "40.0");
    EXPECT_EQ(lines[0].corner, "3");
    EXPECT_EQ(lines[1].bracket, "2");
    EXPECT_FALSE(lines[1].hasEntry);  // its values stay 0
    EXPECT_EQ(lines[2].anaIndex, "45.5");
    EXPECT_EQ(lines[2].corner, "5");

    const RaceForecast& f = card->forecast;
    EXPECT_EQ(f.personas[2].marks, (Strings{"○", "", "◎"}));
    EXPECT_EQ(f.pace, "ペースＭ");  // (3 + 5) / 2: the runner beyond tousuu is not counted
    EXPECT_EQ(lines[3].marks[2], "");
}

}  // namespace
}  // namespace zelvanor
