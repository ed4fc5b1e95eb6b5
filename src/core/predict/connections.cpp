#include "core/predict/connections.hpp"

#include "core/predict/engine_values.hpp"
#include "core/records/numeric.hpp"

namespace zelvanor {

namespace {

double rateAt(const MasterPerson* row, std::int64_t course) {
    if (!row || course < 1 || course > 10) return 0;
    return row->courseRates[static_cast<std::size_t>(course - 1)];
}

}  // namespace

std::optional<int> courseNumber(std::string_view course) {
    static constexpr std::string_view kCodes[] = {"01", "02", "03", "04", "05",
                                                  "06", "07", "08", "09", "10"};
    for (int i = 0; i < 10; ++i) {
        if (course == kCodes[i]) return i + 1;
    }
    return std::nullopt;
}

std::string shortPersonName(std::string_view kanji) {
    return std::string(charactersAt(kanji, 1, 3)) + std::string(charactersAt(kanji, 9, 1));
}

std::string affiliationMark(std::string_view touzai) {
    if (touzai == "1") return "東";
    if (touzai == "2") return "西";
    return "招";
}

DayConnection dayConnection(std::string_view code, const MasterPerson* row,
                            std::string_view course) {
    DayConnection c;
    if (!row) {
        c.name = std::string(code);
        return c;
    }
    c.name = shortPersonName(row->kanji);
    c.touzai = affiliationMark(row->touzai);
    const auto allowance = numericValue(row->minarai);
    c.minarai = allowance >= 1 && allowance <= 3 ? std::to_string(allowance) : " ";
    c.sougouRen = row->sougouRen;
    const auto number = courseNumber(course);
    c.courseRate = number ? std::optional<double>(rateAt(row, *number)) : std::nullopt;
    return c;
}

PastConnections pastConnections(const MasterPerson* jockey, const MasterPerson* trainer,
                                std::int64_t course) {
    PastConnections c;
    if (jockey) {
        c.allowance = static_cast<double>(numericValue(jockey->minarai));
        c.jockeyRate = rateAt(jockey, course);
    }
    c.trainerRate = rateAt(trainer, course);
    return c;
}

}  // namespace zelvanor
