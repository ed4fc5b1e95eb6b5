#pragma once

// The steps of the generator, each filling its part of the world and writing its record files.

#include <string>

#include "model.hpp"
#include "random.hpp"

namespace zelvanor::sample {

// Jockeys and trainers with their statistics up to the world's asOfDay.
void makePeople(World& world, int jockeys, int trainers, Random& random);

// The race days of the whole season of a year, every racecourse running 12 races a day.
std::vector<RaceDay> seasonRaceDays(int year);

// The season's first Saturday: the first on or after 5 January.
int firstSaturdayOf(int year);

// The twelve races of each race day, with their conditions and the places of their runners.
void planRaces(World& world, Random& random);

// Horses for every runner's place, about `runsPerHorse` places for each horse, and the runners
// and jockeys of every race.
void enterRunners(World& world, double runsPerHorse, Random& random);

// A new horse for `pool`, without a career yet.
int makeHorse(World& world, const PoolKey& pool, Random& random);

// The career before its first race day of every horse made for the world's season.
void makeCareers(World& world, Random& random);

// The outcome, times and payouts of every race.
void runRaces(World& world, Random& random);

// The record files, each the concatenation of its records.
std::string jockeyFile(const World& world);
std::string trainerFile(const World& world);
std::string horseFile(const World& world);
std::string raceCardFile(const World& world);
std::string resultsFile(const World& world);

// The rides of a jockey, or the runners of a trainer, over a year.
RideYear rideYear(const Person& person, int flatRides, int jumpRides, Random& random);

// Puts the season's runs into the careers of the horses that ran.
void recordRuns(World& world);

// Moves the world on to the season of `year` on the given race days, before its races are planned:
// horses age, change pools by their wins or retire, and the people's statistics roll over to the
// new files' day.
void startSeason(World& world, int year, std::vector<RaceDay> raceDays, Random& random);

// Jockeys who ride on the surface, weighted by how much they are asked.
int pickJockey(const World& world, Surface surface, Random& random);

}  // namespace zelvanor::sample
