// zelvanor-sample: writes generated record files and archives to try the program with.

#include <CLI/CLI.hpp>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

#include "sampledata/generator.hpp"

namespace {

void printSummary(const zelvanor::sample::SampleData& data) {
    std::cout << data.races << " races from " << data.firstRaceDay << " to " << data.lastRaceDay
              << ", " << data.runners << " runners, " << data.horses << " horses, "
              << data.jockeys << " jockeys, " << data.trainers << " trainers\n";
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Writes generated JRA record files (JRA#*.DAT) and the LHA archives that carry them.\n"
        "With --seasons N it writes N consecutive seasons from 1998 (crossing 1999 to 2000 from\n"
        "three on), one folder per season named by its year (OUT/1998, OUT/1999, ...), each a\n"
        "whole delivery: import the folders in order, e.g.\n"
        "  for d in OUT/*/; do zelvanor-cli --data DATA import \"$d\"*.lzh; done\n"
        "The same horses age and run on from season to season, new two-year-olds come in and\n"
        "old ones retire."};
    std::string size;
    std::string out;
    std::uint32_t seed = 1998;
    int seasons = 0;
    bool noArchives = false;
    app.add_option("--size", size,
                   "meeting (1 course, 1 day), weekend (3 courses, 2 days) or "
                   "season (about 3,500 races); with --seasons, the part of each year written "
                   "(default season)")
        ->check(CLI::IsMember({"meeting", "weekend", "season"}));
    app.add_option("--seasons", seasons,
                   "write this many consecutive seasons, one folder per year under --out")
        ->check(CLI::Range(1, 60));
    app.add_option("--out", out, "folder to write into (created when missing)")->required();
    app.add_option("--seed", seed, "seed of the random numbers; the same seed gives the same files")
        ->capture_default_str();
    app.add_flag("--no-archives", noArchives, "write only the record files, no .lzh archives");
    CLI11_PARSE(app, argc, argv);
    if (size.empty() && seasons == 0) {
        std::cerr << "zelvanor-sample: --size or --seasons is required\n" << app.help();
        return 2;
    }
    if (size.empty()) size = "season";

    try {
        using namespace zelvanor::sample;
        const SampleSize sampleSize = *parseSampleSize(size);
        if (seasons == 0) {
            const SampleData data = generateSample(sampleSize, seed);
            for (const auto& path : writeSample(data, out, !noArchives)) {
                std::cout << path.string() << '\n';
            }
            printSummary(data);
            return 0;
        }
        generateSeasons(sampleSize, seasons, seed, [&](const SampleData& data) {
            const std::filesystem::path folder = seasonFolder(out, data.year);
            writeSample(data, folder, !noArchives);
            std::cout << folder.string() << ": ";
            printSummary(data);
            std::cout.flush();
        });
    } catch (const std::exception& e) {
        std::cerr << "zelvanor-sample: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
