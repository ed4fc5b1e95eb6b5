// Checks the jockey and trainer masters that the command-line import builds from generated
// archives against rates worked out here straight from the record bytes, with the offsets
// written out by hand: an independent reading, not the layouts the import uses.

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <map>
#include <string>

#include "core/import/archive_import.hpp"
#include "core/import/people_import.hpp"
#include "sampledata/generator.hpp"
#include "core/store/store.hpp"
#include "temp_folder.hpp"

namespace {

using zelvanor::Database;

class SilentNotifier final : public zelvanor::Notifier {
  public:
    void notify(const std::string& text, const std::string&, Icon icon) override {
        if (icon == Icon::Critical || icon == Icon::Exclamation) problems += text + "\n";
    }
    std::string problems;
};

// Sum of counts `which` (1-based) of the groups at the given offsets: 3-digit fields.
int sumCounts(const std::string& rec, std::initializer_list<int> groups,
              std::initializer_list<int> which) {
    int sum = 0;
    for (int offset : groups) {
        for (int k : which) sum += std::atoi(rec.substr(offset + 3 * (k - 1), 3).c_str());
    }
    return sum;
}

double rate(int top, int total) {
    return total == 0 ? 0.0 : double(top) / total * 100;
}

std::map<std::string, std::map<std::string, double>> storedRates(
    const std::filesystem::path& mast, const std::string& table, const std::string& key,
    const std::vector<std::string>& columns) {
    Database db(mast);
    std::string sql = "SELECT " + key;
    for (const auto& c : columns) sql += ", " + c;
    auto st = db.prepare(sql + " FROM " + zelvanor::quoteIdentifier(table));
    std::map<std::string, std::map<std::string, double>> out;
    while (st.step()) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            out[st.text(0)][columns[i]] = st.real(static_cast<int>(i + 1));
        }
    }
    return out;
}

std::vector<std::string> courseColumns(const char* prefix) {
    std::vector<std::string> cols;
    for (int c = 1; c <= 10; ++c)
        cols.push_back(prefix + std::string(c < 10 ? "0" : "") + std::to_string(c) + "ren");
    return cols;
}

TEST(GeneratedMasters, ImportedRatesMatchAnIndependentReadingOfTheFiles) {
    TempFolder out, data;
    const auto sample = zelvanor::sample::generateSample(zelvanor::sample::SampleSize::Weekend, 7);
    zelvanor::sample::writeSample(sample, out.path(), true);
    const zelvanor::AppPaths paths(data.path());
    SilentNotifier notifier;
    ASSERT_TRUE(zelvanor::extractAndImport(zelvanor::ArchiveKind::Jockeys, out / "kisi.lzh", paths,
                                           notifier, {}));
    ASSERT_TRUE(zelvanor::extractAndImport(zelvanor::ArchiveKind::Trainers, out / "chok.lzh", paths,
                                           notifier, {}));
    EXPECT_EQ(notifier.problems, "");

    // Jockeys: 1065-byte records.
    const std::array<int, 10> hCourse = {529, 541, 553, 577, 601, 625, 649, 673, 697, 721};
    const std::array<int, 10> zCourse = {847, 859, 871, 895, 919, 943, 967, 991, 1015, 1039};
    std::vector<std::string> jockeyCols = {"KSougouRen",    "KShibaSougouRen", "KDertSougouRen",
                                           "KShiba1600Ren", "KShiba2200Ren",   "KShiba2201Ren",
                                           "KDert1600Ren",  "KDert2200Ren",    "KDert2201Ren"};
    const auto kCourses = courseColumns("k");
    jockeyCols.insert(jockeyCols.end(), kCourses.begin(), kCourses.end());
    const auto jockeys = storedRates(paths.mastPath(), "騎手マスタ", "KISCODE", jockeyCols);
    ASSERT_EQ(jockeys.size(), sample.kisi.size() / 1065);
    int someRate = 0;
    for (std::size_t r = 0; r < sample.kisi.size() / 1065; ++r) {
        const std::string rec = sample.kisi.substr(r * 1065, 1065);
        const auto& got = jockeys.at(rec.substr(0, 4));
        const auto six = {457, 481, 505, 775, 799, 823};
        std::map<std::string, double> want = {
            {"KSougouRen", rate(sumCounts(rec, six, {1, 2, 5, 6}),
                                sumCounts(rec, six, {1, 2, 3, 4, 5, 6, 7, 8}))},
            {"KShibaSougouRen",
             rate(sumCounts(rec, six, {1, 2}), sumCounts(rec, six, {1, 2, 3, 4}))},
            {"KDertSougouRen",
             rate(sumCounts(rec, six, {5, 6}), sumCounts(rec, six, {5, 6, 7, 8}))},
        };
        const std::array<std::pair<int, int>, 3> bands = {{{457, 775}, {481, 799}, {505, 823}}};
        const char* bandNames[] = {"1600", "2200", "2201"};
        for (int b = 0; b < 3; ++b) {
            const auto pair = {bands[b].first, bands[b].second};
            want[std::string("KShiba") + bandNames[b] + "Ren"] =
                rate(sumCounts(rec, pair, {1, 2}), sumCounts(rec, pair, {1, 2, 3, 4}));
            want[std::string("KDert") + bandNames[b] + "Ren"] =
                rate(sumCounts(rec, pair, {5, 6}), sumCounts(rec, pair, {5, 6, 7, 8}));
        }
        for (int c = 0; c < 10; ++c) {
            const auto pair = {hCourse[c], zCourse[c]};
            want[kCourses[c]] =
                rate(sumCounts(rec, pair, {1, 2}), sumCounts(rec, pair, {1, 2, 3, 4}));
        }
        for (const auto& [column, value] : want) {
            EXPECT_NEAR(got.at(column), value, 1e-9) << rec.substr(0, 4) << " " << column;
            if (value > 0) ++someRate;
        }
    }
    EXPECT_GT(someRate, 100);  // the generated counts are not all zero

    // Trainers: 811-byte records; the overall rate is taken over the twenty course groups.
    const std::array<int, 10> hc = {347, 359, 371, 395, 419, 443, 467, 491, 515, 539};
    const std::array<int, 10> zc = {593, 605, 617, 641, 665, 689, 713, 737, 761, 785};
    std::vector<std::string> trainerCols = {"CSougouRen"};
    const auto cCourses = courseColumns("c");
    trainerCols.insert(trainerCols.end(), cCourses.begin(), cCourses.end());
    const auto trainers = storedRates(paths.mastPath(), "調教師マスタ", "chocode", trainerCols);
    ASSERT_EQ(trainers.size(), sample.chok.size() / 811);
    for (std::size_t r = 0; r < sample.chok.size() / 811; ++r) {
        const std::string rec = sample.chok.substr(r * 811, 811);
        const auto& got = trainers.at(rec.substr(0, 4));
        int top = 0, total = 0;
        for (int c = 0; c < 10; ++c) {
            const auto pair = {hc[c], zc[c]};
            const int t = sumCounts(rec, pair, {1, 2});
            const int n = sumCounts(rec, pair, {1, 2, 3, 4});
            top += t;
            total += n;
            EXPECT_NEAR(got.at(cCourses[c]), rate(t, n), 1e-9) << rec.substr(0, 4) << " " << c;
        }
        EXPECT_NEAR(got.at("CSougouRen"), rate(top, total), 1e-9) << rec.substr(0, 4);
    }
}

}  // namespace
