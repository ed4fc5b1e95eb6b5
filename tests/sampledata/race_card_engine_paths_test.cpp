// The race card import with the engine writes each runner's row once, horse and engine columns
// together. These tests hold it to the slower way that reads every row back: copy all runners of
// a race, then run the engine over the race as stored. Both must leave tran.mdb identical, cell
// for cell, on a generated weekend with the awkward cases added, and again on a second import
// over the first.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/import/horse_import.hpp"
#include "core/import/people_import.hpp"
#include "core/import/race_card_import.hpp"
#include "core/records/layout_den1.hpp"
#include "core/records/layout_umaj.hpp"
#include "core/records/layouts.hpp"
#include "sampledata/generator.hpp"
#include "core/shell/app_paths.hpp"
#include "core/store/store.hpp"
#include "temp_folder.hpp"

namespace zelvanor::sample {
namespace {

std::size_t cardLength() {
    return kDen1Layout.recordLength;
}
std::size_t horseLength() {
    return kUmajLayout.recordLength;
}

// Byte offset of a field of race `race` (0-based) in the race card file.
std::size_t cardAt(std::size_t race, std::string_view field) {
    return race * cardLength() + kDen1Layout.field(field).offset;
}
std::size_t runnerAt(std::size_t race, int slot) {
    return race * cardLength() + den1RunnerField(slot).offset;
}
std::size_t codeAt(std::size_t race, int slot) {
    return runnerAt(race, slot) + kDen1RunnerLayout.field("umacode").offset;
}
std::string runnerCode(const SampleData& s, std::size_t race, int slot) {
    return s.den1.substr(codeAt(race, slot), 8);
}
int runnerCount(const SampleData& s, std::size_t race) {
    return std::stoi(s.den1.substr(cardAt(race, "tousuu"), 2));
}
std::size_t horseRecordOf(const SampleData& s, const std::string& code) {
    for (std::size_t at = 0; at + horseLength() <= s.umaj.size(); at += horseLength()) {
        if (s.umaj.compare(at, 8, code) == 0) return at;
    }
    return std::string::npos;
}

// Races of the first import, each showing one case.
struct Cases {
    std::size_t duplicate = 1;  // slot 2 runs the horse of slot 1 again
    std::size_t noRunners = 2;  // runner count "00": copied, not computed
    std::size_t shifted = 3;    // slot 1's entry decodes across the code's edge: codes disagree
    std::size_t farCourse = 4;  // course "11": no course rates, the stored ones stay
    std::size_t missing = 5;    // slot 1's horse leaves 競走馬 before the second import
};

void addCases(SampleData& s, const Cases& c) {
    s.den1.replace(codeAt(c.duplicate, 2), 8, runnerCode(s, c.duplicate, 1));
    s.den1.replace(cardAt(c.noRunners, "tousuu"), 2, "00");
    // "ア" (0x83 0x41) across the bracket byte and the code's first byte.
    s.den1[runnerAt(c.shifted, 1)] = '\x83';
    s.den1[codeAt(c.shifted, 1)] = 'A';
    s.den1.replace(cardAt(c.farCourse, "basho"), 2, "11");
    // A later record of a horse, with other histories, replaces the earlier one.
    const std::size_t at = horseRecordOf(s, runnerCode(s, c.farCourse, 2));
    std::string again = s.umaj.substr(at, horseLength());
    const std::size_t historyAt = umajHistoryEntryField(1).offset;
    const std::size_t historyLength = kUmajHistoryLayout.recordLength;
    again.replace(historyAt, historyLength, again.substr(historyAt + historyLength, historyLength));
    again.replace(kUmajLayout.field("bamei").offset, 4, "\x83\x41\x83\x43");  // "アイ"
    s.umaj += again;
}

// How the horses and race cards are imported: as the horse archive's flow does (the horses
// stored while the tables are made, and not read back), one after the other with each runner
// written once, or with every runner copied and then computed from its stored row.
enum class Path { Combined, OneWrite, ReadBack };

void importAll(const AppPaths& paths, const SampleData& s, Path path) {
    writeSample(s, paths.extractionFolder(), false);
    importJockeys(paths);
    importTrainers(paths);
    if (path == Path::Combined) {
        ASSERT_TRUE(importRaceCardsIfPresent(paths, {}).has_value());
        return;
    }
    importHorses(paths, {});
    if (path == Path::OneWrite) {
        importRaceCards(paths, {});
    } else {
        importRaceCards(paths, {}, enginePredictor());
    }
}

// Every row of every table, as text that tells null, integers, reals and texts apart.
std::vector<std::string> dump(const AppPaths& paths) {
    Database tran(paths.tranPath());
    std::vector<std::string> out;
    for (const std::string& table : tran.userTables()) {
        out.push_back("table " + table);
        Statement st = tran.prepare("SELECT * FROM " + quoteIdentifier(table) + " ORDER BY rowid");
        while (st.step()) {
            std::string row;
            for (int c = 0; c < st.columnCount(); ++c) {
                const Value v = st.value(c);
                if (std::holds_alternative<std::monostate>(v)) {
                    row += "|null";
                } else if (const auto* i = std::get_if<std::int64_t>(&v)) {
                    row += "|i" + std::to_string(*i);
                } else if (const auto* d = std::get_if<double>(&v)) {
                    char buf[40];
                    std::snprintf(buf, sizeof buf, "|r%.17g", *d);
                    row += buf;
                } else {
                    row += "|t" + std::get<std::string>(v);
                }
            }
            out.push_back(row);
        }
    }
    return out;
}

void expectSame(const std::vector<std::string>& got, const std::vector<std::string>& readBack) {
    ASSERT_EQ(got.size(), readBack.size());
    int shown = 0;
    for (std::size_t i = 0; i < got.size() && shown < 5; ++i) {
        if (got[i] != readBack[i]) {
            ++shown;
            ADD_FAILURE() << "line " << i << "\n       got: " << got[i]
                          << "\n read back: " << readBack[i];
        }
    }
}

TEST(RaceCardEnginePaths, EveryPathLeavesWhatCopyingThenComputingLeaves) {
    SampleData s = generateSample(SampleSize::Weekend, 5);
    const Cases cases;
    ASSERT_GT(s.den1.size(), (cases.missing + 1) * cardLength());
    for (std::size_t race : {cases.duplicate, cases.shifted, cases.farCourse, cases.missing}) {
        ASSERT_GT(runnerCount(s, race), 2) << "race " << race;
    }
    addCases(s, cases);

    TempFolder a, b, c;
    const AppPaths oneWrite(a.path()), readBack(b.path()), combined(c.path());
    const auto importEach = [&] {
        importAll(oneWrite, s, Path::OneWrite);
        importAll(readBack, s, Path::ReadBack);
        importAll(combined, s, Path::Combined);
    };
    importEach();
    const auto first = dump(readBack);
    expectSame(dump(oneWrite), first);
    expectSame(dump(combined), first);

    // The engine ran: a computed column holds values, and the far course kept no rate.
    bool computed = false;
    for (const auto& line : first) computed |= line.find("|r") != std::string::npos;
    EXPECT_TRUE(computed);

    // Second import over the first: every runner's row exists, one horse is gone from the
    // master (its kept row is computed as stored) and the others changed their histories.
    const std::string gone = runnerCode(s, cases.missing, 1);
    const std::size_t goneAt = horseRecordOf(s, gone);
    ASSERT_NE(goneAt, std::string::npos);
    s.umaj.erase(goneAt, horseLength());
    // Its rider changes, so its kept row has something to compute anew.
    const std::size_t jockeyAt = kDen1RunnerLayout.field("CodeKisi").offset;
    const std::string otherJockey = s.den1.substr(runnerAt(cases.missing, 2) + jockeyAt, 4);
    ASSERT_NE(otherJockey, s.den1.substr(runnerAt(cases.missing, 1) + jockeyAt, 4));
    s.den1.replace(runnerAt(cases.missing, 1) + jockeyAt, 4, otherJockey);
    const std::size_t historyAt = umajHistoryEntryField(1).offset;
    const std::size_t historyLength = kUmajHistoryLayout.recordLength;
    for (std::size_t at = 0; at + horseLength() <= s.umaj.size(); at += 3 * horseLength()) {
        s.umaj.replace(at + historyAt, historyLength,
                       s.umaj.substr(at + historyAt + historyLength, historyLength));
    }
    importEach();
    const auto second = dump(readBack);
    expectSame(dump(oneWrite), second);
    expectSame(dump(combined), second);
    EXPECT_NE(first, second);
}

}  // namespace
}  // namespace zelvanor::sample
