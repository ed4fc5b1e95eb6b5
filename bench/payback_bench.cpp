// What the payback window costs: reading one meeting (its twelve race rows and its entries
// table, ranked three times per race) over a connection kept open, and recomputing the marks and
// the totals when an option changes. Runs on the ten-season data folder of windows_bench.sh when
// it is there (only read), else on a generated weekend imported into a temporary folder.
//
//   zelvanor_bench --benchmark_filter=payback

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "core/import/archive_import.hpp"
#include "core/store/store.hpp"
#include "core/views/payback.hpp"
#include "sampledata/generator.hpp"

namespace {

using namespace zelvanor;
namespace fs = std::filesystem;

const fs::path kTenSeasons = "/tmp/zelvanor-windows-bench/data-10";

class PaybackData {
  public:
    PaybackData() {
        if (fs::exists(kTenSeasons / ".complete") && fs::exists(kTenSeasons / "tran.mdb")) {
            source_ = "ten seasons";
            tran_ = std::make_unique<Database>(kTenSeasons / "tran.mdb");
        } else {
            source_ = "weekend";
            importWeekend();
        }
        // The last meeting stored: a full day of the last season.
        auto st = tran_->prepare(
            "SELECT max(name) FROM sqlite_master WHERE type = 'table' AND name LIKE 'D%'");
        if (!st.step() || st.isNull(0)) throw std::runtime_error("no meeting stored");
        meeting_ = meetingOf(st.text(0));
    }
    ~PaybackData() {
        tran_.reset();
        if (!temp_.empty()) {
            std::error_code ec;
            fs::remove_all(temp_, ec);
        }
    }

    Database& tran() { return *tran_; }
    const Meeting& meeting() const { return meeting_; }
    const std::string& source() const { return source_; }

  private:
    void importWeekend() {
        std::string pattern = (fs::temp_directory_path() / "zelvanor-payback-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create " + pattern);
        temp_ = pattern;
        const auto data = sample::generateSample(sample::SampleSize::Weekend, 1998);
        sample::writeSample(data, temp_ / "archives", true);
        const AppPaths paths(temp_ / "data");
        fs::create_directories(paths.dataFolder());
        struct Quiet final : Notifier {
            void notify(const std::string&, const std::string&, Icon) override {}
        } quiet;
        for (const auto& [kind, name] :
             {std::pair{ArchiveKind::Jockeys, sample::kJockeysArchive},
              std::pair{ArchiveKind::Trainers, sample::kTrainersArchive},
              std::pair{ArchiveKind::Horses, sample::kHorsesAndCardsArchive},
              std::pair{ArchiveKind::Results, sample::kResultsArchive}}) {
            if (!archiveImport(kind, temp_ / "archives" / std::string(name), paths, quiet, {})) {
                throw std::runtime_error("sample import failed");
            }
        }
        tran_ = std::make_unique<Database>(paths.tranPath());
    }

    fs::path temp_;
    std::string source_;
    std::unique_ptr<Database> tran_;
    Meeting meeting_;
};

PaybackData& data() {
    static PaybackData d;
    return d;
}

void BM_PaybackRead(benchmark::State& state) {
    PaybackData& d = data();
    state.SetLabel(d.source() + " " + d.meeting().raceTable);
    for (auto _ : state) {
        auto sheet = readPayback(d.tran(), d.meeting(), "User");
        benchmark::DoNotOptimize(sheet);
    }
}
BENCHMARK(BM_PaybackRead)->Name("payback/read_meeting")->Unit(benchmark::kMillisecond);

// A click on 均等買い / 指数比例買い, the ticket counts or the race ranges: the marks and both
// totals from what was read.
void BM_PaybackOptionChange(benchmark::State& state) {
    PaybackData& d = data();
    const auto sheet = readPayback(d.tran(), d.meeting(), "User");
    if (!sheet) {
        state.SkipWithError("meeting not readable");
        return;
    }
    state.SetLabel(d.source() + " " + d.meeting().raceTable);
    PaybackOptions options;
    int step = 0;
    for (auto _ : state) {
        options.stakes = step % 2 ? PaybackStakes::Weighted : PaybackStakes::Equal;
        options.tickets = (step / 2) % 3 == 0 ? 1 : (step / 2) % 3 == 1 ? 3 : 6;
        options.range = static_cast<PaybackRange>((step / 6) % 3);
        ++step;
        auto marks = paybackMarks(*sheet, options);
        auto totals = paybackTotals(*sheet, options);
        benchmark::DoNotOptimize(marks);
        benchmark::DoNotOptimize(totals);
    }
}
BENCHMARK(BM_PaybackOptionChange)->Name("payback/option_change")->Unit(benchmark::kMicrosecond);

}  // namespace
