// zelvanor-sample: writes generated record files and archives to try the program with.

#include <CLI/CLI.hpp>
#include <cstdint>
#include <exception>
#include <iostream>
#include <string>

#include "sampledata/generator.hpp"

int main(int argc, char** argv) {
    CLI::App app{
        "Writes generated JRA record files (JRA#*.DAT) and the LHA archives that carry them."};
    std::string size;
    std::string out;
    std::uint32_t seed = 1998;
    bool noArchives = false;
    app.add_option("--size", size,
                   "meeting (1 course, 1 day), weekend (3 courses, 2 days) or "
                   "season (about 3,500 races)")
        ->required()
        ->check(CLI::IsMember({"meeting", "weekend", "season"}));
    app.add_option("--out", out, "folder to write into (created when missing)")->required();
    app.add_option("--seed", seed, "seed of the random numbers; the same seed gives the same files")
        ->capture_default_str();
    app.add_flag("--no-archives", noArchives, "write only the record files, no .lzh archives");
    CLI11_PARSE(app, argc, argv);

    try {
        using namespace zelvanor::sample;
        const SampleData data = generateSample(*parseSampleSize(size), seed);
        for (const auto& path : writeSample(data, out, !noArchives)) {
            std::cout << path.string() << '\n';
        }
        std::cout << data.races << " races from " << data.firstRaceDay << " to " << data.lastRaceDay
                  << ", " << data.runners << " runners, " << data.horses << " horses, "
                  << data.jockeys << " jockeys, " << data.trainers << " trainers\n";
    } catch (const std::exception& e) {
        std::cerr << "zelvanor-sample: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
