// Imports a generated weekend with its results and checks, for every meeting and every way of
// betting the payback window offers, the texts it shows (heading, results, picks, marks and
// totals) against values worked out here from the stored rows with raw SQL: the runner list,
// the ranking, the tickets, the pair labels, the number formats and the rates are all done again
// by hand, sharing nothing with the views but the store.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/import/archive_import.hpp"
#include "core/shell/constants.hpp"
#include "core/store/store.hpp"
#include "core/views/payback.hpp"
#include "sampledata/generator.hpp"
#include "temp_folder.hpp"

namespace {

using zelvanor::Database;

class QuietNotifier final : public zelvanor::Notifier {
  public:
    void notify(const std::string& text, const std::string&, Icon icon) override {
        if (icon == Icon::Critical || icon == Icon::Exclamation) problems += text + "\n";
    }
    std::string problems;
};

long leadingNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    long value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        value = value * 10 + (text[i++] - '0');
    return value;
}

// "##": no digits for 0.
std::string plain(long n) {
    return n == 0 ? "" : std::to_string(n);
}

// "###,###": thousands grouped, no digits for 0.
std::string grouped(long n) {
    if (n == 0) return "";
    std::string digits = std::to_string(n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

long shownAmount(const std::string& cell) {
    long n = 0;
    for (char c : cell) {
        if (c >= '0' && c <= '9') n = n * 10 + (c - '0');
    }
    return n;
}

bool holds(const std::string& cell) {
    return cell > " ";
}

// num / den as a whole percentage, halves away from zero, exactly.
std::string percent(long num, long den) {
    return std::to_string((200 * num + den) / (2 * den)) + "%";
}

const char* const kCourses[] = {"札幌", "函館", "福島", "新潟", "東京",
                                "中山", "中京", "京都", "阪神", "小倉"};
const std::map<std::string, std::string> kDays = {
    {"1", "（土曜日）"}, {"2", "（日曜日）"}, {"3", "（祝日）"},   {"4", "（月曜日）"},
    {"5", "（火曜日）"}, {"6", "（水曜日）"}, {"7", "（木曜日）"}, {"8", "（金曜日）"}};

struct Place {
    int horse = 0;
    double value = 0;
};

std::string label(const Place& a, const Place& b) {
    if (static_cast<float>(a.value) == 0.0f || static_cast<float>(b.value) == 0.0f) return "";
    const int lo = std::min(a.horse, b.horse);
    const int hi = std::max(a.horse, b.horse);
    return std::to_string(lo) + " - " + std::to_string(hi);
}

struct Race {
    bool stored = false;
    std::array<std::string, 11> results;
    std::array<std::array<std::string, 7>, 3> picks;
};

struct Expected {
    std::string heading;
    std::array<Race, 12> races;
};

struct Entry {
    int horse = 0;
    std::array<double, 6> values{};  // Nouryoku1 … 3, OmoNouryoku1 … 3
};

Expected expectedSheet(Database& tran, const std::string& raceTable) {
    const std::string entriesTable = "U" + raceTable.substr(1);
    std::map<std::string, Entry> entries;
    {
        auto st = tran.prepare(
            "SELECT umacode, WakuUmaNo, Nouryoku1, Nouryoku2, Nouryoku3, OmoNouryoku1, "
            "OmoNouryoku2, OmoNouryoku3 FROM \"" +
            entriesTable + "\"");
        while (st.step()) {
            Entry e;
            e.horse = static_cast<int>(st.int64(1));
            for (int i = 0; i < 6; ++i)
                e.values[static_cast<std::size_t>(i)] = static_cast<float>(st.real(2 + i));
            entries[st.text(0)] = e;
        }
    }
    Expected out;
    std::string sql =
        "SELECT bango, year, basho, kaiji, hiji, month, day, youbi, Kekka1No, Kekka2No, Kekka3No, "
        "Kekka1TanAm, Kekka1FukAm, Kekka2FukAm, Kekka3FukAm, KekkaWakNo, KekkaWakAm, KekkaUmaNo, "
        "KekkaUmaAm, tousuu, RyoOmo";
    for (int k = 1; k <= 18; ++k) sql += ", uma" + std::to_string(k);
    auto st = tran.prepare(sql + " FROM \"" + raceTable + "\"");
    while (st.step()) {
        const long r = st.int64(0);
        if (r < 1 || r > 12) continue;
        if (r == 1) {
            out.heading = st.text(1) + " 年 " + kCourses[leadingNumber(st.text(2)) - 1] + " " +
                          st.text(3) + " 回 " + st.text(4) + " 日目  " +
                          plain(leadingNumber(st.text(5))) + " 月 " +
                          plain(leadingNumber(st.text(6))) + " 日 " +
                          (kDays.count(st.text(7)) ? kDays.at(st.text(7)) : " ");
        }
        Race& race = out.races[static_cast<std::size_t>(r - 1)];
        race.stored = true;
        const auto pair = [&](int c) {
            const std::string t = st.text(c);
            return t.find_first_not_of(' ') == std::string::npos ? std::string(" ") : t;
        };
        race.results = {plain(st.int64(8)),    plain(st.int64(9)),
                        plain(st.int64(10)),   grouped(st.int64(11)),
                        grouped(st.int64(12)), grouped(st.int64(13)),
                        grouped(st.int64(14)), pair(15),
                        grouped(st.int64(16)), pair(17),
                        grouped(st.int64(18))};

        const int tousuu = static_cast<int>(std::min(leadingNumber(st.text(19)), 18L));
        const bool good = st.int64(20) == 1;
        std::vector<Entry> found;
        for (int k = 0; k < 18; ++k) {
            const std::string uma = st.text(21 + k);
            if (uma.size() < 9) continue;
            const std::string code = uma.substr(1, 8);
            if (code.find_first_not_of(' ') == std::string::npos) continue;
            const auto e = entries.find(code);
            if (e != entries.end() && static_cast<int>(found.size()) < tousuu)
                found.push_back(e->second);
        }
        // 翠嶺 Nouryoku2, 碧渦 Nouryoku1, the user Nouryoku3; heavy going the Omo… ones.
        const int columnOf[3] = {1, 0, 2};
        for (int p = 0; p < 3; ++p) {
            std::vector<Place> places(static_cast<std::size_t>(tousuu));
            for (std::size_t i = 0; i < found.size(); ++i) {
                places[i] = {
                    found[i].horse,
                    found[i].values[static_cast<std::size_t>(columnOf[p] + (good ? 0 : 3))]};
            }
            for (std::size_t i = 0; i + 1 < places.size(); ++i) {
                for (std::size_t j = i + 1; j < places.size(); ++j) {
                    if (places[i].value < places[j].value) std::swap(places[i], places[j]);
                }
            }
            auto& cells = race.picks[static_cast<std::size_t>(p)];
            cells[0] = std::to_string(places.empty() ? 0 : places[0].horse);
            const double v0 = places.size() > 0 ? places[0].value : 0;
            const double v1 = places.size() > 1 ? places[1].value : 0;
            const bool wheel = v0 - v1 > 7;
            const int wheelPairs[6][2] = {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {0, 6}};
            const int boxPairs[6][2] = {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}};
            for (int k = 0; k < 6; ++k) {
                const int* pr = wheel ? wheelPairs[k] : boxPairs[k];
                const bool guarded =
                    (k == 3 && tousuu <= 5) || (k == 4 && tousuu <= 6) || (k == 5 && tousuu <= 7);
                if (guarded || pr[1] >= tousuu) {
                    cells[static_cast<std::size_t>(k + 1)] = " ";
                } else {
                    cells[static_cast<std::size_t>(k + 1)] =
                        label(places[static_cast<std::size_t>(pr[0])],
                              places[static_cast<std::size_t>(pr[1])]);
                }
            }
        }
    }
    return out;
}

struct Bet {
    bool weighted;
    int tickets;
    int first, last;
    bool winMarks;
};

std::array<std::array<std::string, 3>, 12> expectedMarks(const Expected& e, const Bet& bet) {
    std::array<std::array<std::string, 3>, 12> marks;
    for (int r = 0; r < 12; ++r) {
        const Race& race = e.races[static_cast<std::size_t>(r)];
        for (int p = 0; p < 3; ++p) {
            std::string& m = marks[static_cast<std::size_t>(r)][static_cast<std::size_t>(p)];
            m = " ";
            const auto& picks = race.picks[static_cast<std::size_t>(p)];
            if (bet.winMarks) {
                if (holds(race.results[0]) && picks[0] == race.results[0]) m = "的中";
                continue;
            }
            const std::string s = holds(race.results[9]) ? race.results[9] : race.results[7];
            if (!holds(s)) continue;
            for (int k = 1; k <= bet.tickets; ++k) {
                if (picks[static_cast<std::size_t>(k)] == s) m = "的中" + std::to_string(k);
            }
        }
    }
    return marks;
}

std::array<std::array<std::string, 3>, 4> expectedTotals(const Expected& e, const Bet& bet) {
    static const int weights3[] = {3, 2, 1};
    static const int weights6[] = {3, 2, 2, 1, 1, 1};
    const auto weight = [&](int k) {
        if (!bet.weighted || bet.tickets == 1) return 1;
        return bet.tickets == 3 ? weights3[k - 1] : weights6[k - 1];
    };
    long stake = 0;
    for (int k = 1; k <= bet.tickets; ++k) stake += 100L * weight(k);

    std::array<std::array<std::string, 3>, 4> out;
    long winRaces = 0, pairRaces = 0;
    std::array<long, 3> winHits{}, winReturns{}, pairHits{}, pairReturns{};
    for (int r = bet.first; r <= bet.last; ++r) {
        const Race& race = e.races[static_cast<std::size_t>(r - 1)];
        if (holds(race.results[0])) {
            ++winRaces;
            for (std::size_t p = 0; p < 3; ++p) {
                if (race.picks[p][0] != race.results[0]) continue;
                ++winHits[p];
                winReturns[p] += shownAmount(race.results[3]);
            }
        }
        std::string s = race.results[9];
        long d = holds(race.results[10]) ? shownAmount(race.results[10]) : 0;
        if (d == 0) {
            s = race.results[7];
            d = holds(race.results[8]) ? shownAmount(race.results[8]) : 0;
        }
        if (!holds(s)) continue;
        ++pairRaces;
        for (std::size_t p = 0; p < 3; ++p) {
            for (int k = 1; k <= bet.tickets; ++k) {
                if (race.picks[p][static_cast<std::size_t>(k)] != s) continue;
                ++pairHits[p];
                pairReturns[p] += weight(k) * d;
            }
        }
    }
    for (std::size_t p = 0; p < 3; ++p) {
        out[0][p] = winRaces ? percent(winHits[p], winRaces) : " ";
        out[1][p] = winRaces ? percent(winReturns[p], winRaces * 100) : " ";
        out[2][p] = pairRaces ? percent(pairHits[p], pairRaces) : " ";
        out[3][p] = pairRaces ? percent(pairReturns[p], pairRaces * stake) : " ";
    }
    return out;
}

struct Coverage {
    int meetings = 0, races = 0, winHits = 0, pairHits = 0, smallFields = 0, blankTickets = 0;
};

// Every meeting, every option combination; returns what the data exercised.
Coverage checkEveryMeeting(const zelvanor::AppPaths& paths) {
    Coverage seen;
    Database tran(paths.tranPath());
    std::string userName = "User";
    {
        Database mast(paths.mastPath());
        auto st = mast.prepare("SELECT UserName FROM \"定数\" WHERE ID = 1");
        if (st.step() && st.text(0).find_first_not_of(' ') != std::string::npos)
            userName = st.text(0);
    }
    std::vector<std::string> tables;
    {
        auto st = tran.prepare(
            "SELECT name FROM sqlite_master WHERE type = 'table' AND name LIKE 'D%' ORDER BY name");
        while (st.step()) tables.push_back(st.text(0));
    }
    for (const std::string& table : tables) {
        SCOPED_TRACE(table);
        ++seen.meetings;
        const Expected expected = expectedSheet(tran, table);
        const auto sheet = zelvanor::readPayback(tran, zelvanor::meetingOf(table), userName);
        EXPECT_TRUE(sheet.has_value());
        if (!sheet) continue;
        EXPECT_EQ(sheet->heading, expected.heading);
        EXPECT_EQ(sheet->personas, (std::array<std::string, 3>{" 翠嶺", " 碧渦", " " + userName}));
        for (std::size_t r = 0; r < 12; ++r) {
            SCOPED_TRACE("race " + std::to_string(r + 1));
            const Race& want = expected.races[r];
            EXPECT_EQ(sheet->races[r].stored, want.stored);
            if (!want.stored) continue;
            ++seen.races;
            EXPECT_EQ(sheet->races[r].results, want.results);
            EXPECT_EQ(sheet->races[r].picks, want.picks);
            for (const auto& persona : want.picks) {
                seen.blankTickets +=
                    static_cast<int>(std::count(persona.begin(), persona.end(), " "));
            }
        }
        for (const bool weighted : {false, true}) {
            for (const int tickets : {1, 3, 6}) {
                for (const auto& [range, first, last] :
                     {std::tuple{zelvanor::PaybackRange::All, 1, 12},
                      std::tuple{zelvanor::PaybackRange::Afternoon, 6, 12},
                      std::tuple{zelvanor::PaybackRange::Main, 8, 11}}) {
                    for (const bool winMarks : {false, true}) {
                        const Bet bet{weighted, tickets, first, last, winMarks};
                        const zelvanor::PaybackOptions options{
                            weighted ? zelvanor::PaybackStakes::Weighted
                                     : zelvanor::PaybackStakes::Equal,
                            tickets, range,
                            winMarks ? zelvanor::PaybackMarks::Win : zelvanor::PaybackMarks::Pair};
                        SCOPED_TRACE(std::to_string(tickets) +
                                     (weighted ? " weighted " : " equal ") + std::to_string(first) +
                                     "-" + std::to_string(last) + (winMarks ? " win" : " pair"));
                        const auto marks = expectedMarks(expected, bet);
                        EXPECT_EQ(zelvanor::paybackMarks(*sheet, options), marks);
                        EXPECT_EQ(zelvanor::paybackTotals(*sheet, options),
                                  expectedTotals(expected, bet));
                        if (tickets == 6 && first == 1) {
                            for (const auto& row : marks) {
                                for (const auto& m : row) {
                                    if (m.starts_with("的中"))
                                        (winMarks ? seen.winHits : seen.pairHits)++;
                                }
                            }
                        }
                    }
                }
            }
        }
    }
    return seen;
}

class PaybackCheck : public ::testing::Test {
  protected:
    void SetUp() override {
        using zelvanor::ArchiveKind;
        const auto sample =
            zelvanor::sample::generateSample(zelvanor::sample::SampleSize::Weekend, 1998);
        zelvanor::sample::writeSample(sample, files.path(), true);
        QuietNotifier notifier;
        for (const auto& [kind, archive] : {std::pair{ArchiveKind::Jockeys, "kisi.lzh"},
                                            std::pair{ArchiveKind::Trainers, "chok.lzh"},
                                            std::pair{ArchiveKind::Horses, "umaj.lzh"},
                                            std::pair{ArchiveKind::Results, "sei1.lzh"}}) {
            ASSERT_TRUE(zelvanor::extractAndImport(kind, files / archive, paths, notifier, {}))
                << archive << ": " << notifier.problems;
        }
    }
    TempFolder files, data;
    zelvanor::AppPaths paths{data.path()};
};

TEST_F(PaybackCheck, EveryMeetingEveryWayOfBetting) {
    const Coverage seen = checkEveryMeeting(paths);
    // The weekend must exercise what is checked: meetings with results and hits of both kinds.
    EXPECT_GE(seen.meetings, 6);
    EXPECT_GE(seen.races, 60);
    EXPECT_GT(seen.winHits, 0);
    EXPECT_GT(seen.pairHits, 0);
}

// The limits the generated files do not reach, written into the stored rows: fields of three
// and of six, tousuu below the runners found, a horse missing from the entries, a quinella paid
// nothing, a winner without its payout, a meeting without race 1, heavy going and the user's
// own name.
TEST_F(PaybackCheck, LimitsWrittenIntoTheStoredRows) {
    {
        Database tran(paths.tranPath());
        std::vector<std::string> tables;
        auto st = tran.prepare(
            "SELECT name FROM sqlite_master WHERE type = 'table' AND name LIKE 'D%' ORDER BY name");
        while (st.step()) tables.push_back(st.text(0));
        ASSERT_GE(tables.size(), 2u);
        const std::string a = "\"" + tables[0] + "\"";
        const std::string b = "\"" + tables[1] + "\"";
        tran.exec("UPDATE " + a + " SET tousuu = '03' WHERE bango = 1");
        tran.exec("UPDATE " + a + " SET tousuu = '06' WHERE bango = 2");
        tran.exec("UPDATE " + a + " SET tousuu = '5' WHERE bango = 3");
        tran.exec("UPDATE " + a +
                  " SET uma2 = substr(uma2, 1, 1) || '99999999' || substr(uma2, 10) "
                  "WHERE bango = 4");
        tran.exec("UPDATE " + a + " SET KekkaUmaAm = 0 WHERE bango = 5");
        tran.exec("UPDATE " + a + " SET KekkaUmaNo = ' ', KekkaUmaAm = 0 WHERE bango = 6");
        tran.exec("UPDATE " + a + " SET Kekka1TanAm = 0, KekkaWakAm = 0 WHERE bango = 7");
        tran.exec("UPDATE " + a + " SET RyoOmo = 2 WHERE bango BETWEEN 8 AND 12");
        tran.exec("DELETE FROM " + b + " WHERE bango = 1");
        // Quinella pairs shown without their payout: the marks still judge them, the totals the
        // bracket pairs.
        for (std::size_t t = 1; t < tables.size(); ++t) {
            tran.exec("UPDATE \"" + tables[t] + "\" SET KekkaUmaAm = 0");
        }
        Database mast(paths.mastPath());
        mast.exec("UPDATE \"定数\" SET UserName = 'ab' WHERE ID = 1");
    }
    const Coverage seen = checkEveryMeeting(paths);
    EXPECT_GT(seen.blankTickets, 0);
}

}  // namespace
