#include "core/views/verification.hpp"

#include <algorithm>
#include <initializer_list>
#include <unordered_set>
#include <utility>

#include "core/records/format.hpp"
#include "core/records/numeric.hpp"
#include "core/store/store.hpp"
#include "core/tables/race_row.hpp"
#include "core/tables/race_tables.hpp"
#include "core/views/meeting_entries.hpp"
#include "core/views/meetings.hpp"

namespace zelvanor {

namespace {

// A ticket pays only when it is a pair: an empty label (a runner without a value, or a place
// beyond the field) and a ticket the field does not form never match a stored result, not even
// the blank a result column holds for a bet that was not run.
bool pays(std::string_view label, std::string_view result) {
    return !label.empty() && label != kNoTicket && label == result;
}

void add(VerificationTotals& totals, std::size_t persona, BetType bet, std::int64_t payout) {
    const auto b = static_cast<std::size_t>(bet);
    ++totals.hits[persona][b];
    totals.returns[persona][b] += payout;
}

bool isOneOf(std::string_view text, std::initializer_list<std::string_view> values) {
    return std::find(values.begin(), values.end(), text) != values.end();
}

VerifiedRace raceFrom(const RaceRow& row) {
    VerifiedRace r;
    r.raceNumber = row.bango;
    r.jouken41 = row.jouken41;
    r.jouken42 = row.jouken42;
    r.track = row.track;
    r.grade = row.grade;
    r.runnerCount = numericValue(row.tousuu);
    r.goodGoing = row.ryoOmo == 1;
    for (std::size_t i = 0; i < 3; ++i) r.placed[i] = row.results.placed[i];
    r.winPayout = row.results.payouts[0];
    for (std::size_t i = 0; i < 3; ++i) r.placePayouts[i] = row.results.payouts[i + 1];
    r.bracketPair = row.results.bracketPair;
    r.bracketPayout = row.results.payouts[4];
    r.quinellaPair = row.results.quinellaPair;
    r.quinellaPayout = row.results.payouts[5];
    return r;
}

// A race that counts, with the horse codes of its entries.
struct CountedRace {
    VerifiedRace race;
    RaceUmacodes umacodes;
};

}  // namespace

bool raceSelected(const VerificationConditions& conditions, const VerifiedRace& race) {
    const int r = race.raceNumber;
    switch (conditions.selection) {
        case 0:
            return r <= 5;
        case 1:
            return r >= 6;
        case 2:
            return r >= 8 && r <= 11;
        case 3:
            return true;
        case 4: {
            const auto excluded = [](std::string_view jouken) {
                return isOneOf(jouken, {"701", "702", "703"});
            };
            return !excluded(race.jouken41) && !excluded(race.jouken42) && race.track < "50";
        }
        case 5:
            return r >= 1 && r <= kVerifyRaceNumbers &&
                   conditions.raceNumbers[static_cast<std::size_t>(r - 1)];
        case 6:
            return race.jouken42 == "005";
        case 7:
            return race.jouken42 == "009";
        case 8:
            return race.jouken42 == "999";
        case 9:
            return isOneOf(race.grade, {"A", "B", "C"});
        default:
            return false;
    }
}

void verifyRace(const VerifiedRace& race, std::span<const VerifiedRunner> runners,
                VerificationTotals& totals) {
    ++totals.races;
    // Small fields judge the quinella tickets against the bracket quinella result.
    const bool quinellaSold = race.runnerCount > 8;
    const std::string_view quinellaPair = quinellaSold ? race.quinellaPair : race.bracketPair;
    const std::int64_t quinellaPayout = quinellaSold ? race.quinellaPayout : race.bracketPayout;
    const std::size_t placesPaid = race.runnerCount >= 8 ? 3 : 2;

    std::vector<RankedPlace> ranking;
    for (std::size_t p = 0; p < kPersonaCount; ++p) {
        rankField(runners, race.runnerCount, kPersonas[p], race.goodGoing, ranking);

        // A blank first place (no runner found) names no horse, even against a result of 0.
        const std::int64_t first = ranking.empty() ? 0 : ranking[0].horseNumber;
        if (first > 0) {
            if (race.placed[0] == first) add(totals, p, BetType::Win, race.winPayout);
            for (std::size_t i = 0; i < placesPaid; ++i) {
                if (race.placed[i] == first) add(totals, p, BetType::Place, race.placePayouts[i]);
            }
        }
        for (const std::string& label :
             ticketLabels(ranking, TicketGuard::Verification, TicketNumbers::Bracket)) {
            if (pays(label, race.bracketPair))
                add(totals, p, BetType::BracketQuinella, race.bracketPayout);
        }
        for (const std::string& label :
             ticketLabels(ranking, TicketGuard::Verification, TicketNumbers::Horse)) {
            if (pays(label, quinellaPair)) add(totals, p, BetType::Quinella, quinellaPayout);
        }
    }
}

std::string rateText(double ratio) {
    return formatNumber(ratio, "##0%");
}

std::array<std::string, kPersonaCount> verificationHeadings(std::string_view userName) {
    std::array<std::string, kPersonaCount> headings;
    for (std::size_t p = 0; p < kPersonaCount; ++p)
        headings[p] = " " + personaName(kPersonas[p], userName);
    return headings;
}

Verification verificationOf(const VerificationTotals& totals, std::string_view userName) {
    Verification v;
    v.totals = totals;
    v.personas = verificationHeadings(userName);
    if (totals.races == 0) return v;
    const auto races = static_cast<double>(totals.races);
    for (std::size_t p = 0; p < kPersonaCount; ++p) {
        for (std::size_t b = 0; b < kBetTypes; ++b) {
            v.hitRates[p][b] = rateText(static_cast<double>(totals.hits[p][b]) / races);
            v.returnRates[p][b] =
                rateText(static_cast<double>(totals.returns[p][b]) / (kStakes[b] * races));
        }
    }
    return v;
}

Verification runVerification(Database& tran, std::string_view userName,
                             const VerificationConditions& conditions,
                             const VerifyProgressFn& progress) {
    // The schema is listed once; table names come in ascending order, which for meeting tables
    // is course code, then date.
    const std::vector<std::string> tables = tran.userTables();
    const std::unordered_set<std::string_view> stored(tables.begin(), tables.end());
    std::vector<Meeting> meetings;
    for (const std::string& name : tables) {
        if (!isRaceTableName(name)) continue;
        Meeting m = meetingOf(name);
        const int course = std::stoi(m.course);
        if (course >= 1 && course <= kVerifyCourses &&
            conditions.courses[static_cast<std::size_t>(course - 1)]) {
            meetings.push_back(std::move(m));
        }
    }

    VerificationTotals totals;
    totals.meetings = static_cast<int>(meetings.size());
    std::vector<CountedRace> counted;
    MeetingEntries entries;
    std::vector<VerifiedRunner> runners;
    RaceRow row;
    for (std::size_t m = 0; m < meetings.size(); ++m) {
        if (progress) progress(static_cast<int>(m), totals.meetings);
        const Meeting& meeting = meetings[m];

        counted.clear();
        // Most races of a narrow selection do not count: their entries are not read.
        RaceRows races(tran, meeting.raceTable,
                       kRaceConditionsPart | kResultsPart | kEntriesOnDemandPart);
        while (races.next(row)) {
            VerifiedRace race = raceFrom(row);
            if (!raceSelected(conditions, race) || race.bracketPayout <= 0) continue;
            counted.push_back({std::move(race), raceUmacodes(races)});
        }
        // The entries are read only for a meeting with a race that counts.
        if (counted.empty()) continue;

        if (stored.contains(meeting.entriesTable)) {
            entries.read(tran, meeting.entriesTable);
        } else {
            entries.clear();
        }
        for (const CountedRace& c : counted) {
            findRunners(c.umacodes, entries, runners);
            verifyRace(c.race, runners, totals);
        }
    }
    if (progress) progress(totals.meetings, totals.meetings);
    return verificationOf(totals, userName);
}

}  // namespace zelvanor
