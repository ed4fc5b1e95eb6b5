#include "core/views/payback.hpp"

#include <algorithm>
#include <vector>

#include "core/records/format.hpp"
#include "core/records/numeric.hpp"
#include "core/shell/codes.hpp"
#include "core/store/store.hpp"
#include "core/tables/race_row.hpp"
#include "core/tables/racing.hpp"
#include "core/views/meeting_entries.hpp"
#include "core/views/race_result.hpp"

namespace zelvanor {

namespace {

// A cell holds something when its text sorts after a blank: an empty cell, a blank and a
// pair left " " by the results import all hold nothing.
bool holdsText(std::string_view cell) {
    return cell > std::string_view(" ");
}

// A pair cell names a pair only with its horse numbers: a small field's quinella is stored as
// " - ", which the marks must read as no quinella, as the totals do through its payout of 0.
bool namesPair(std::string_view cell) {
    return cell.find_first_of("0123456789") != std::string_view::npos;
}

std::string wholeNumberText(std::int64_t value, std::string_view pattern) {
    return formatNumber(static_cast<double>(value), pattern);
}

std::string pairOrBlank(std::string text) {
    return text.find_first_not_of(' ') == std::string::npos ? std::string(" ") : text;
}

std::string percentText(double ratio) {
    return formatNumber(ratio, "###0%");
}

std::array<std::string, kPaybackResultColumns> resultCells(const RaceResults& r) {
    std::array<std::string, kPaybackResultColumns> cells;
    cells[kPlace1] = wholeNumberText(r.placed[0], "##");
    cells[kPlace2] = wholeNumberText(r.placed[1], "##");
    cells[kPlace3] = wholeNumberText(r.placed[2], "##");
    cells[kWinPayout] = wholeNumberText(r.payouts[0], "###,###");
    cells[kPlacePayout1] = wholeNumberText(r.payouts[1], "###,###");
    cells[kPlacePayout2] = wholeNumberText(r.payouts[2], "###,###");
    cells[kPlacePayout3] = wholeNumberText(r.payouts[3], "###,###");
    cells[kBracketPair] = pairOrBlank(r.bracketPair);
    cells[kBracketPayout] = wholeNumberText(r.payouts[4], "###,###");
    cells[kQuinellaPair] = pairOrBlank(r.quinellaPair);
    cells[kQuinellaPayout] = wholeNumberText(r.payouts[5], "###,###");
    return cells;
}

// The first pick's horse number, then the six tickets of the ranking.
std::array<std::string, kPaybackPickColumns> personaPicks(std::span<const RankedPlace> ranking) {
    std::array<std::string, kPaybackPickColumns> cells;
    cells[0] = std::to_string(ranking.empty() ? 0 : ranking.front().horseNumber);
    const auto tickets = paybackTickets(ranking);
    std::copy(tickets.begin(), tickets.end(), cells.begin() + 1);
    return cells;
}

// The persona's first pick is the winner shown in the race's row.
bool firstPickWon(const PaybackRace& race, int persona) {
    const std::string& winner = race.results[kPlace1];
    return holdsText(winner) && race.picks[static_cast<std::size_t>(persona)][0] == winner;
}

}  // namespace

const std::array<std::string_view, kPaybackResultColumns> kPaybackResultHeadings = {
    "１着",     "２着",   "３着",   "１着単勝", "１着複勝", "２着複勝",
    "３着複勝", "枠連番", "枠払戻", "馬連番",   "馬払戻"};

const std::array<std::string_view, 4> kPaybackTotalLabels = {"単的中", "単回収", "連的中",
                                                             "連回収"};

std::string paybackRaceLabel(int raceNumber) {
    static constexpr std::array<std::string_view, 10> kDigits = {"０", "１", "２", "３", "４",
                                                                 "５", "６", "７", "８", "９"};
    const auto digit = [](int d) { return kDigits[static_cast<std::size_t>(d)]; };
    if (raceNumber < 10) return std::string("　") + std::string(digit(raceNumber)) + "Ｒ";
    return std::string(digit(raceNumber / 10)) + std::string(digit(raceNumber % 10)) + "Ｒ";
}

std::string paybackHeading(std::string_view year, std::string_view basho, std::string_view kaiji,
                           std::string_view hiji, std::string_view month, std::string_view day,
                           std::string_view youbi) {
    return std::string(year) + " 年 " + bashoLabel(basho) + " " + std::string(kaiji) + " 回 " +
           std::string(hiji) + " 日目  " + wholeNumberText(numericValue(month), "##") + " 月 " +
           wholeNumberText(numericValue(day), "##") + " 日 " + youbiLabel(youbi);
}

std::string paybackMissingText(const Meeting& meeting) {
    const std::string& d = meeting.date;
    return bashoLabel(meeting.course) + " " + d.substr(0, 2) + "/" + d.substr(2, 2) + "/" +
           d.substr(4, 2) + " の出馬表データがありません。";
}

std::array<std::string, kPaybackTickets> paybackTickets(std::span<const RankedPlace> ranking) {
    auto labels = ticketLabels(ranking, TicketGuard::RaceCard);
    const auto pairs = ticketPairs(hasClearFavourite(ranking), static_cast<int>(ranking.size()),
                                   TicketGuard::RaceCard);
    // The guard counts on four runners at least; in a smaller field the tickets reaching past
    // it are not formed either.
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        if (pairs[k] && static_cast<std::size_t>(pairs[k]->second) >= ranking.size()) {
            labels[k] = kNoTicket;
        }
    }
    return labels;
}

std::optional<PaybackSheet> readPayback(Database& tran, const Meeting& meeting,
                                        std::string_view userName) {
    if (!tran.hasTable(meeting.raceTable) || !tran.hasTable(meeting.entriesTable)) {
        return std::nullopt;
    }
    PaybackSheet sheet;
    sheet.meeting = meeting;
    for (const Persona p : kPersonas) {
        sheet.personas[static_cast<std::size_t>(p)] = " " + personaName(p, userName);
    }
    MeetingEntries entries;
    entries.read(tran, meeting.entriesTable);
    std::vector<FieldRunner> found;
    std::vector<RankedPlace> ranking;
    RaceRows rows(tran, meeting.raceTable,
                  kRaceDayPart | kRaceConditionsPart | kResultsPart | kEntriesPart);
    for (RaceRow row; rows.next(row);) {
        if (row.bango == 1) {
            sheet.heading = paybackHeading(row.year, row.basho, row.kaiji, row.hiji, row.month,
                                           row.day, row.youbi);
        }
        PaybackRace& race = sheet.races[static_cast<std::size_t>(row.bango - 1)];
        race.stored = true;
        race.results = resultCells(row.results);
        findRunners(raceUmacodes(row), entries, found);
        const std::int64_t tousuu = numericValue(row.tousuu);
        const bool good = row.ryoOmo == 1;
        for (const Persona p : kPersonas) {
            rankField(found, tousuu, p, good, ranking);
            race.picks[static_cast<std::size_t>(p)] = personaPicks(ranking);
        }
    }
    return sheet;
}

std::pair<int, int> paybackRaceRange(PaybackRange range) {
    switch (range) {
        case PaybackRange::Afternoon:
            return {6, kRacesPerMeeting};
        case PaybackRange::Main:
            return {8, 11};
        case PaybackRange::All:
            break;
    }
    return {1, kRacesPerMeeting};
}

int paybackWeight(PaybackStakes stakes, int tickets, int k) {
    if (stakes == PaybackStakes::Equal || tickets == 1) return 1;
    static constexpr std::array<int, 3> kThree = {3, 2, 1};
    static constexpr std::array<int, 6> kSix = {3, 2, 2, 1, 1, 1};
    const auto at = static_cast<std::size_t>(k - 1);
    return tickets == 3 ? kThree.at(at) : kSix.at(at);
}

int paybackStake(PaybackStakes stakes, int tickets) {
    int units = 0;
    for (int k = 1; k <= tickets; ++k) units += paybackWeight(stakes, tickets, k);
    return units * 100;
}

PaybackMarkCells paybackMarks(const PaybackSheet& sheet, const PaybackOptions& options) {
    PaybackMarkCells marks;
    for (std::size_t r = 0; r < marks.size(); ++r) {
        auto& row = marks[r];
        row.fill(" ");
        const PaybackRace& race = sheet.races[r];
        if (options.marks == PaybackMarks::Win) {
            for (int p = 0; p < kPersonaCount; ++p) {
                if (firstPickWon(race, p)) row[static_cast<std::size_t>(p)] = "的中";
            }
            continue;
        }
        const std::string& quinella = race.results[kQuinellaPair];
        const std::string& paid = namesPair(quinella) ? quinella : race.results[kBracketPair];
        if (!holdsText(paid)) continue;
        for (int p = 0; p < kPersonaCount; ++p) {
            const auto& picks = race.picks[static_cast<std::size_t>(p)];
            for (int k = 1; k <= options.tickets; ++k) {
                if (picks[static_cast<std::size_t>(k)] == paid) {
                    row[static_cast<std::size_t>(p)] = "的中" + std::to_string(k);
                }
            }
        }
    }
    return marks;
}

PaybackTotalCells paybackTotals(const PaybackSheet& sheet, const PaybackOptions& options) {
    PaybackTotalCells cells;
    const auto [first, last] = paybackRaceRange(options.range);

    // Win: the first pick of each race with a winner.
    int races = 0;
    std::array<int, kPersonaCount> hits{};
    std::array<std::int64_t, kPersonaCount> returns{};
    for (int r = first; r <= last; ++r) {
        const PaybackRace& race = sheet.races[static_cast<std::size_t>(r - 1)];
        if (!holdsText(race.results[kPlace1])) continue;
        ++races;
        for (int p = 0; p < kPersonaCount; ++p) {
            if (!firstPickWon(race, p)) continue;
            ++hits[static_cast<std::size_t>(p)];
            returns[static_cast<std::size_t>(p)] += payoutValue(race.results[kWinPayout]);
        }
    }
    for (int p = 0; p < kPersonaCount; ++p) {
        const auto at = static_cast<std::size_t>(p);
        cells[0][at] = races == 0 ? " " : percentText(static_cast<double>(hits[at]) / races);
        cells[1][at] = races == 0 ? " "
                                  : percentText(static_cast<double>(returns[at]) /
                                                (static_cast<double>(races) * 100.0));
    }

    // Pairs: the quinella, or the bracket quinella when the quinella paid nothing.
    races = 0;
    hits = {};
    returns = {};
    const auto amount = [](const std::string& cell) {
        return holdsText(cell) ? payoutValue(cell) : std::int64_t{0};
    };
    for (int r = first; r <= last; ++r) {
        const PaybackRace& race = sheet.races[static_cast<std::size_t>(r - 1)];
        const std::string* paid = &race.results[kQuinellaPair];
        std::int64_t payout = amount(race.results[kQuinellaPayout]);
        if (payout == 0) {
            paid = &race.results[kBracketPair];
            payout = amount(race.results[kBracketPayout]);
        }
        if (!holdsText(*paid)) continue;
        ++races;
        for (int p = 0; p < kPersonaCount; ++p) {
            const auto& picks = race.picks[static_cast<std::size_t>(p)];
            for (int k = 1; k <= options.tickets; ++k) {
                if (picks[static_cast<std::size_t>(k)] != *paid) continue;
                ++hits[static_cast<std::size_t>(p)];
                returns[static_cast<std::size_t>(p)] +=
                    paybackWeight(options.stakes, options.tickets, k) * payout;
            }
        }
    }
    const double stake = paybackStake(options.stakes, options.tickets);
    for (int p = 0; p < kPersonaCount; ++p) {
        const auto at = static_cast<std::size_t>(p);
        cells[2][at] = races == 0 ? " " : percentText(static_cast<double>(hits[at]) / races);
        cells[3][at] = races == 0 ? " "
                                  : percentText(static_cast<double>(returns[at]) /
                                                (static_cast<double>(races) * stake));
    }
    return cells;
}

}  // namespace zelvanor
