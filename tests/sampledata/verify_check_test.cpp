// Imports a generated weekend with its results and checks the verification run against a count
// made here from the stored rows: its own queries (one seek per runner, as the rules describe
// it), its own exchange sort, pair labels, tickets and exact rounding of the rates. It shares
// nothing with the core's verification but the store.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

#include "core/import/archive_import.hpp"
#include "core/shell/constants.hpp"
#include "core/store/store.hpp"
#include "core/views/verification.hpp"
#include "sampledata/generator.hpp"
#include "temp_folder.hpp"

namespace {

using zelvanor::Database;

struct Conditions {
    std::array<bool, 10> courses{};
    int option = 3;
    std::array<bool, 12> races{};
};

struct Counted {
    int meetings = 0;
    int races = 0;
    std::int64_t hits[3][4] = {};
    std::int64_t returns[3][4] = {};
};

struct Place {
    int horse = 0;
    int bracket = 0;
    double value = 0;
};

std::string label(int a, int b, double va, double vb) {
    if (va == 0 || vb == 0) return "";
    if (a > b) std::swap(a, b);
    return std::to_string(a) + " - " + std::to_string(b);
}

// The leading digits of a text, after leading blanks.
long number(const std::string& text) {
    std::size_t i = text.find_first_not_of(' ');
    long n = 0;
    for (; i != std::string::npos && i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        n = n * 10 + (text[i] - '0');
    return n;
}

bool selected(const Conditions& c, int r, Database& tran, const std::string& table) {
    auto st = tran.prepare(
        "SELECT ifnull(jouken41, ''), ifnull(jouken42, ''), ifnull(track, ''), "
        "ifnull(grade, '') FROM \"" +
        table + "\" WHERE bango = ?1");
    st.bind(1, std::int64_t{r});
    if (!st.step()) return false;
    const std::string j41 = st.text(0), j42 = st.text(1), track = st.text(2), grade = st.text(3);
    switch (c.option) {
        case 0:
            return r <= 5;
        case 1:
            return r >= 6;
        case 2:
            return r >= 8 && r <= 11;
        case 3:
            return true;
        case 4:
            for (const std::string& j : {j41, j42}) {
                if (j == "701" || j == "702" || j == "703") return false;
            }
            return track.compare("50") < 0;
        case 5:
            return c.races[static_cast<std::size_t>(r - 1)];
        case 6:
            return j42 == "005";
        case 7:
            return j42 == "009";
        case 8:
            return j42 == "999";
        case 9:
            return grade == "A" || grade == "B" || grade == "C";
    }
    return false;
}

void evaluate(Database& tran, const std::string& table, int r, Counted& out) {
    const std::string entries = "U" + table.substr(1);
    std::string sql =
        "SELECT tousuu, RyoOmo, Kekka1No, Kekka2No, Kekka3No, Kekka1TanAm, "
        "Kekka1FukAm, Kekka2FukAm, Kekka3FukAm, KekkaWakNo, KekkaWakAm, "
        "KekkaUmaNo, KekkaUmaAm";
    for (int k = 1; k <= 18; ++k) sql += ", uma" + std::to_string(k);
    auto race = tran.prepare(sql + " FROM \"" + table + "\" WHERE bango = ?1");
    race.bind(1, std::int64_t{r});
    ASSERT_TRUE(race.step());
    const long tousuu = number(race.text(0));
    const bool good = race.int64(1) == 1;
    const std::int64_t no[3] = {race.int64(2), race.int64(3), race.int64(4)};
    const std::int64_t tan = race.int64(5);
    const std::int64_t fuk[3] = {race.int64(6), race.int64(7), race.int64(8)};
    const std::string wakNo = race.text(9);
    const std::int64_t wakAm = race.int64(10);
    const std::string umaNo = race.text(11);
    const std::int64_t umaAm = race.int64(12);

    // Found runners fill the places in entry order, one seek each; a race holds 18 places at
    // most, whatever its row says.
    const auto places = static_cast<std::size_t>(std::min(tousuu, 18L));
    std::vector<std::array<double, 3>> values(places);
    std::vector<Place> found(places);
    auto seek = tran.prepare(
        "SELECT WakuUmaNo, WakuNo, Nouryoku2, Nouryoku1, Nouryoku3, OmoNouryoku2, OmoNouryoku1, "
        "OmoNouryoku3 FROM \"" +
        entries + "\" WHERE umacode = ?1");
    std::size_t filled = 0;
    for (int k = 0; k < 18 && filled < found.size(); ++k) {
        const std::string entry = race.text(13 + k);
        if (entry.size() < 9) continue;
        seek.reset();
        seek.bind(1, entry.substr(1, 8));
        if (!seek.step()) continue;
        found[filled] = {static_cast<int>(seek.int64(0)), static_cast<int>(seek.int64(1)), 0};
        for (int p = 0; p < 3; ++p)
            values[filled][static_cast<std::size_t>(p)] =
                static_cast<float>(seek.real(good ? 2 + p : 5 + p));
        ++filled;
    }

    for (int p = 0; p < 3; ++p) {
        std::vector<Place> ranking = found;
        for (std::size_t i = 0; i < ranking.size(); ++i)
            ranking[i].value = values[i][static_cast<std::size_t>(p)];
        for (std::size_t i = 0; i + 1 < ranking.size(); ++i) {
            for (std::size_t j = i + 1; j < ranking.size(); ++j) {
                if (ranking[i].value < ranking[j].value) std::swap(ranking[i], ranking[j]);
            }
        }
        const auto at = [&](std::size_t i) { return i < ranking.size() ? ranking[i] : Place{}; };
        auto& hits = out.hits[p];
        auto& returns = out.returns[p];
        if (tousuu >= 1 && at(0).horse > 0) {
            if (no[0] == at(0).horse) {
                ++hits[0];
                returns[0] += tan;
            }
            for (int i = 0; i < (tousuu >= 8 ? 3 : 2); ++i) {
                if (no[i] == at(0).horse) {
                    ++hits[1];
                    returns[1] += fuk[i];
                }
            }
        }
        std::vector<std::pair<std::size_t, std::size_t>> tickets;
        bool blank[6] = {};
        if (at(0).value - at(1).value > 7) {
            for (std::size_t k = 1; k <= 6; ++k) {
                tickets.emplace_back(0, k);
                if (k >= 4 && tousuu <= static_cast<long>(k)) blank[k - 1] = true;
            }
        } else {
            tickets = {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}};
        }
        for (std::size_t t = 0; t < 6; ++t) {
            if (blank[t]) continue;
            const Place a = at(tickets[t].first), b = at(tickets[t].second);
            const std::string byBracket = label(a.bracket, b.bracket, a.value, b.value);
            if (!byBracket.empty() && byBracket == wakNo) {
                ++hits[2];
                returns[2] += wakAm;
            }
            const std::string byHorse = label(a.horse, b.horse, a.value, b.value);
            const std::string& result = tousuu > 8 ? umaNo : wakNo;
            if (!byHorse.empty() && byHorse == result) {
                ++hits[3];
                returns[3] += tousuu > 8 ? umaAm : wakAm;
            }
        }
    }
}

Counted count(Database& tran, const Conditions& c) {
    Counted out;
    std::vector<std::string> tables;
    auto list = tran.prepare(
        "SELECT name FROM sqlite_schema WHERE type = 'table' AND name "
        "LIKE 'D%' ORDER BY name");
    while (list.step()) tables.push_back(list.text(0));
    for (const std::string& table : tables) {
        const long course = number(table.substr(1, 2));
        if (course < 1 || course > 10 || !c.courses[static_cast<std::size_t>(course - 1)]) continue;
        ++out.meetings;
        for (int r = 1; r <= 12; ++r) {
            if (!selected(c, r, tran, table)) continue;
            auto payout = tran.prepare("SELECT ifnull(KekkaWakAm, 0) FROM \"" + table +
                                       "\" WHERE bango = ?1");
            payout.bind(1, std::int64_t{r});
            if (!payout.step() || payout.int64(0) <= 0) continue;
            ++out.races;
            evaluate(tran, table, r, out);
        }
    }
    return out;
}

// numerator / denominator × 100, rounded to a whole number with halves up, exactly.
std::string percent(std::int64_t numerator, std::int64_t denominator) {
    return std::to_string((200 * numerator + denominator) / (2 * denominator)) + "%";
}

class VerifyCheck : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        files_ = new TempFolder;
        data_ = new TempFolder;
        const auto sample =
            zelvanor::sample::generateSample(zelvanor::sample::SampleSize::Weekend, 1998);
        zelvanor::sample::writeSample(sample, files_->path(), true);
        const zelvanor::AppPaths paths(data_->path());
        {
            zelvanor::Database mast(paths.mastPath());
            zelvanor::ensureConstantsTable(mast);
        }
        struct Quiet final : zelvanor::Notifier {
            void notify(const std::string& text, const std::string&, Icon icon) override {
                if (icon == Icon::Critical || icon == Icon::Exclamation) problems += text;
            }
            std::string problems;
        } notifier;
        using zelvanor::ArchiveKind;
        const std::pair<ArchiveKind, std::string_view> order[] = {
            {ArchiveKind::Jockeys, zelvanor::sample::kJockeysArchive},
            {ArchiveKind::Trainers, zelvanor::sample::kTrainersArchive},
            {ArchiveKind::Horses, zelvanor::sample::kHorsesAndCardsArchive},
            {ArchiveKind::Results, zelvanor::sample::kResultsArchive},
        };
        for (const auto& [kind, archive] : order) {
            ASSERT_TRUE(zelvanor::archiveImport(kind, files_->path() / std::string(archive), paths,
                                                notifier, {}))
                << notifier.problems;
        }
    }
    static void TearDownTestSuite() {
        delete files_;
        delete data_;
    }

    // The core's run and the count made here agree on every figure and every cell.
    static int check(const Conditions& c) {
        Database tran(zelvanor::AppPaths(data_->path()).tranPath());
        return check(tran, c);
    }
    static int check(Database& tran, const Conditions& c) {
        const Counted want = count(tran, c);
        zelvanor::VerificationConditions conditions;
        conditions.courses = c.courses;
        conditions.selection = c.option;
        conditions.raceNumbers = c.races;
        const zelvanor::Verification got = zelvanor::runVerification(tran, "User", conditions);
        EXPECT_EQ(got.totals.meetings, want.meetings);
        EXPECT_EQ(got.totals.races, want.races);
        constexpr std::int64_t kStakes[4] = {100, 100, 600, 600};
        for (std::size_t p = 0; p < 3; ++p) {
            for (std::size_t b = 0; b < 4; ++b) {
                SCOPED_TRACE("persona " + std::to_string(p) + " bet " + std::to_string(b));
                EXPECT_EQ(got.totals.hits[p][b], want.hits[p][b]);
                EXPECT_EQ(got.totals.returns[p][b], want.returns[p][b]);
                const bool any = want.races > 0;
                EXPECT_EQ(got.hitRates[p][b], any ? percent(want.hits[p][b], want.races) : "");
                EXPECT_EQ(got.returnRates[p][b],
                          any ? percent(want.returns[p][b], kStakes[b] * want.races) : "");
            }
        }
        return want.races;
    }

    static TempFolder* files_;
    static TempFolder* data_;
};

TempFolder* VerifyCheck::files_ = nullptr;
TempFolder* VerifyCheck::data_ = nullptr;

TEST_F(VerifyCheck, EverySelectionOverEveryCourse) {
    for (int option = 0; option < 10; ++option) {
        SCOPED_TRACE("option " + std::to_string(option));
        Conditions c;
        c.courses.fill(true);
        c.option = option;
        if (option == 5)
            c.races = {true,  false, false, true,  false, false,
                       false, false, false, false, true,  true};
        const int races = check(c);
        std::cout << "option " << option << ": " << races << " races\n";
        // The weekend holds races of every kind, so every selection is checked on real hits.
        EXPECT_GT(races, 0);
    }
}

TEST_F(VerifyCheck, CourseSubsets) {
    const std::vector<std::vector<int>> subsets = {{5}, {4, 8}, {1, 2, 3}};
    for (const auto& subset : subsets) {
        for (const int option : {3, 4, 9}) {
            Conditions c;
            for (int code : subset) c.courses[static_cast<std::size_t>(code - 1)] = true;
            c.option = option;
            SCOPED_TRACE("courses " + std::to_string(subset.front()) + " option " +
                         std::to_string(option));
            check(c);
        }
    }
}

TEST_F(VerifyCheck, SmallFields) {
    // The generator fields nine runners or more. Cut some fields down in a transaction that is
    // rolled back: 3, 5, 7 and 8 runners, each with more runners found than the field holds; and
    // a row saying 20, more than a race can hold.
    Database tran(zelvanor::AppPaths(data_->path()).tranPath());
    tran.exec("BEGIN");
    auto list =
        tran.prepare("SELECT name FROM sqlite_schema WHERE type = 'table' AND name LIKE 'D%'");
    std::vector<std::string> tables;
    while (list.step()) tables.push_back(list.text(0));
    for (const std::string& table : tables) {
        tran.exec("UPDATE \"" + table +
                  "\" SET tousuu = CASE bango % 6 WHEN 0 THEN '03' WHEN 1 THEN '05' WHEN 2 THEN "
                  "'07' WHEN 3 THEN '08' WHEN 4 THEN '20' ELSE tousuu END");
    }
    Conditions c;
    c.courses.fill(true);
    EXPECT_GT(check(tran, c), 0);
    tran.exec("ROLLBACK");
}

}  // namespace
