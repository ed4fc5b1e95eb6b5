#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Generated record files for trying the program out and for tests: jockeys, trainers, horses,
// race cards and results of a made-up JRA season, coherent with each other.
namespace zelvanor::sample {

// A meeting: one racecourse, one day, 12 races. A weekend: three racecourses on two days.
// A season: every weekend of a year, about 3,500 races.
enum class SampleSize { Meeting, Weekend, Season };

// "meeting", "weekend" or "season".
std::optional<SampleSize> parseSampleSize(std::string_view text);

struct SampleData {
    // The record files, each the bytes of the whole file.
    std::string kisi, chok, umaj, den1, sei1;
    // The day the files were made (the day before the first race day), seconds since 1970 UTC.
    std::int64_t madeAt = 0;
    // What was made.
    int races = 0, runners = 0, horses = 0, jockeys = 0, trainers = 0;
    std::string firstRaceDay, lastRaceDay;  // "yyyy-mm-dd"
    int year = 0;                           // the season's year
};

// The same size and seed give the same bytes.
SampleData generateSample(SampleSize size, std::uint32_t seed);

// The first season of consecutive ones: 1998 (two-digit years pass from 99 to 00 after it).
inline constexpr int kFirstSeason = 1998;

// `seasons` consecutive seasons from kFirstSeason, each of `size` (a meeting or weekend: the same
// weekend of every year), handed to `each` in order as they are made. The horses carry on from
// season to season: they age, run on with their earlier runs in their race histories and move up
// by their wins; old and slow ones retire and new two-year-olds come in. The people stay, with
// their yearly statistics rolled over. The first season is generateSample(size, seed); the same
// size, count and seed give the same bytes.
void generateSeasons(SampleSize size, int seasons, std::uint32_t seed,
                     const std::function<void(const SampleData&)>& each);

// Names of the archives as the service ships them: horses with race cards, results, jockeys,
// trainers.
inline constexpr std::string_view kHorsesAndCardsArchive = "umaj.lzh";
inline constexpr std::string_view kResultsArchive = "sei1.lzh";
inline constexpr std::string_view kJockeysArchive = "kisi.lzh";
inline constexpr std::string_view kTrainersArchive = "chok.lzh";

// Writes the five record files into `folder` (created when missing) and, when `archives` is
// true, the four archives beside them. Returns the paths written, record files first.
// Throws std::runtime_error when a file cannot be written.
std::vector<std::filesystem::path> writeSample(const SampleData& data,
                                               const std::filesystem::path& folder, bool archives);

// The folder of a season's files among many: `folder`/<year>, e.g. out/1998, out/1999, so that
// the seasons sort in order and each folder imports as one delivery.
std::filesystem::path seasonFolder(const std::filesystem::path& folder, int year);

}  // namespace zelvanor::sample
