#include "generator.hpp"

#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "calendar.hpp"
#include "lha_writer.hpp"
#include "parts.hpp"
#include "core/records/layouts.hpp"

namespace zelvanor::sample {

namespace {

struct Dimensions {
    int jockeys;
    int trainers;
    int horses;  // 0: one horse for every runner
};

Dimensions dimensionsOf(SampleSize size) {
    switch (size) {
        case SampleSize::Meeting:
            return {60, 70, 0};
        case SampleSize::Weekend:
            return {120, 150, 0};
        case SampleSize::Season:
            return {180, 200, 12000};
    }
    return {60, 70, 0};
}

// The weekend of a sample is the one that fell on 3 and 4 October 1998 and in other years the
// weekend in the same place of the season; the meeting is its first race day at the month's
// first racecourse.
bool inSample(SampleSize size, int year, const RaceDay& day) {
    const int weekend = (dayNumber(kSeasonYear, 10, 3) - firstSaturdayOf(kSeasonYear)) / 7;
    const int saturday = firstSaturdayOf(year) + 7 * weekend;
    switch (size) {
        case SampleSize::Meeting:
            return day.day == saturday && day.course == coursesOfMonth(dateOf(saturday).month)[0];
        case SampleSize::Weekend:
            return day.day == saturday || day.day == saturday + 1;
        case SampleSize::Season:
            return true;
    }
    return false;
}

std::string isoDate(int day) {
    const Ymd d = dateOf(day);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year, d.month, d.day);
    return text;
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) throw std::runtime_error("cannot write " + path.string());
}

std::vector<RaceDay> sampleDays(SampleSize size, int year) {
    std::vector<RaceDay> days;
    for (const RaceDay& day : seasonRaceDays(year)) {
        if (inSample(size, year, day)) days.push_back(day);
    }
    return days;
}

SampleData filesOf(const World& world) {
    SampleData data;
    data.kisi = jockeyFile(world);
    data.chok = trainerFile(world);
    data.umaj = horseFile(world);
    data.den1 = raceCardFile(world);
    data.sei1 = resultsFile(world);
    data.madeAt = static_cast<std::int64_t>(world.asOfDay) * 86400;
    data.races = static_cast<int>(world.races.size());
    for (const Race& race : world.races) data.runners += static_cast<int>(race.runners.size());
    data.horses = static_cast<int>(data.umaj.size() / kUmajLayout.recordLength);
    data.jockeys = static_cast<int>(world.jockeys.size());
    data.trainers = static_cast<int>(world.trainers.size());
    data.firstRaceDay = isoDate(world.raceDays.front().day);
    data.lastRaceDay = isoDate(world.raceDays.back().day);
    data.year = world.year;
    return data;
}

}  // namespace

std::optional<SampleSize> parseSampleSize(std::string_view text) {
    if (text == "meeting") return SampleSize::Meeting;
    if (text == "weekend") return SampleSize::Weekend;
    if (text == "season") return SampleSize::Season;
    return std::nullopt;
}

SampleData generateSample(SampleSize size, std::uint32_t seed) {
    SampleData first;
    generateSeasons(size, 1, seed, [&](const SampleData& data) { first = data; });
    return first;
}

void generateSeasons(SampleSize size, int seasons, std::uint32_t seed,
                     const std::function<void(const SampleData&)>& each) {
    const Dimensions dims = dimensionsOf(size);
    Random random(seed);
    // One generator per step, so that each step's numbers do not depend on how many the steps
    // before it drew.
    Random peopleRandom = random.split(1);
    Random planRandom = random.split(2);
    Random entryRandom = random.split(3);
    Random careerRandom = random.split(4);
    Random raceRandom = random.split(5);

    World world;
    world.year = kFirstSeason;
    world.raceDays = sampleDays(size, world.year);
    world.asOfDay = world.raceDays.front().day - 1;
    makePeople(world, dims.jockeys, dims.trainers, peopleRandom);
    double runsPerHorse = 1.0;
    for (int season = 0; season < seasons; ++season) {
        if (season > 0) {
            // Later seasons draw from generators of their own, so the first season is the same
            // however many follow it.
            Random seasonRandom = random.split(100 + static_cast<std::uint32_t>(season));
            peopleRandom = seasonRandom.split(1);
            planRandom = seasonRandom.split(2);
            entryRandom = seasonRandom.split(3);
            careerRandom = seasonRandom.split(4);
            raceRandom = seasonRandom.split(5);
            recordRuns(world);
            const int year = kFirstSeason + season;
            startSeason(world, year, sampleDays(size, year), peopleRandom);
        }
        planRaces(world, planRandom);
        if (season == 0) {
            int places = 0;
            for (const Race& race : world.races) places += static_cast<int>(race.slots.size());
            runsPerHorse = dims.horses > 0 ? static_cast<double>(places) / dims.horses : 1.0;
        }
        enterRunners(world, runsPerHorse, entryRandom);
        makeCareers(world, careerRandom);
        runRaces(world, raceRandom);
        each(filesOf(world));
    }
}

std::vector<std::filesystem::path> writeSample(const SampleData& data,
                                               const std::filesystem::path& folder, bool archives) {
    std::filesystem::create_directories(folder);
    const std::vector<std::pair<const RecordLayout*, const std::string*>> files = {
        {&kKisiLayout, &data.kisi}, {&kChokLayout, &data.chok}, {&kUmajLayout, &data.umaj},
        {&kDen1Layout, &data.den1}, {&kSei1Layout, &data.sei1},
    };
    std::vector<std::filesystem::path> written;
    for (const auto& [layout, bytes] : files) {
        written.push_back(folder / std::string(layout->fileName));
        writeFile(written.back(), *bytes);
    }
    if (!archives) return written;

    auto member = [&](const RecordLayout& layout, const std::string& bytes) {
        return LhaMember{std::string(layout.fileName), bytes, data.madeAt};
    };
    const std::vector<std::pair<std::string_view, std::vector<LhaMember>>> packs = {
        {kHorsesAndCardsArchive, {member(kUmajLayout, data.umaj), member(kDen1Layout, data.den1)}},
        {kResultsArchive, {member(kSei1Layout, data.sei1)}},
        {kJockeysArchive, {member(kKisiLayout, data.kisi)}},
        {kTrainersArchive, {member(kChokLayout, data.chok)}},
    };
    for (const auto& [name, members] : packs) {
        written.push_back(folder / std::string(name));
        writeLhaArchive(written.back(), members);
    }
    return written;
}

std::filesystem::path seasonFolder(const std::filesystem::path& folder, int year) {
    return folder / std::to_string(year);
}

}  // namespace zelvanor::sample
