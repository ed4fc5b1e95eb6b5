#include "core/predict/speed_figure.hpp"

#include <algorithm>
#include <cstddef>

#include "core/predict/engine_values.hpp"
#include "core/records/format.hpp"

namespace zelvanor {

namespace {

struct Standard {
    int surface;  // 1 turf, 2 dirt
    int course;   // 1 … 10
    int distance;
    int time;      // tenths of a second
    float factor;  // points per second
};

// Sorted by surface, course and distance, hence by key.
constexpr Standard kStandards[] = {
    // turf, 札幌
    {1, 1, 1000, 581, 1.7f},
    {1, 1, 1200, 701, 1.4f},
    {1, 1, 1500, 896, 1.1f},
    {1, 1, 1800, 1098, 0.9f},
    {1, 1, 2000, 1225, 0.8f},
    {1, 1, 2600, 1642, 0.6f},
    // turf, 函館
    {1, 2, 1000, 589, 1.7f},
    {1, 2, 1200, 706, 1.4f},
    {1, 2, 1700, 1048, 1.0f},
    {1, 2, 1800, 1102, 0.9f},
    {1, 2, 2000, 1228, 0.8f},
    {1, 2, 2500, 1574, 0.6f},
    // turf, 福島
    {1, 3, 1000, 578, 1.7f},
    {1, 3, 1200, 705, 1.4f},
    {1, 3, 1700, 1034, 1.0f},
    {1, 3, 1800, 1095, 0.9f},
    {1, 3, 2000, 1226, 0.8f},
    {1, 3, 2600, 1625, 0.6f},
    // turf, 新潟
    {1, 4, 1000, 579, 1.7f},
    {1, 4, 1200, 702, 1.4f},
    {1, 4, 1400, 827, 1.2f},
    {1, 4, 1600, 954, 1.0f},
    {1, 4, 1800, 1097, 0.9f},
    {1, 4, 2000, 1225, 0.8f},
    {1, 4, 2200, 1355, 0.7f},
    // turf, 東京
    {1, 5, 1400, 834, 1.2f},
    {1, 5, 1600, 956, 1.0f},
    {1, 5, 1800, 1093, 0.9f},
    {1, 5, 2000, 1229, 0.8f},
    {1, 5, 2200, 1361, 0.7f},
    {1, 5, 2300, 1426, 0.7f},
    {1, 5, 2400, 1488, 0.7f},
    {1, 5, 2500, 1558, 0.6f},
    {1, 5, 3200, 2028, 0.5f},
    // turf, 中山
    {1, 6, 1200, 696, 1.4f},
    {1, 6, 1400, 833, 1.2f},
    {1, 6, 1600, 954, 1.0f},
    {1, 6, 1800, 1099, 0.9f},
    {1, 6, 2000, 1229, 0.8f},
    {1, 6, 2200, 1359, 0.7f},
    {1, 6, 2500, 1557, 0.6f},
    {1, 6, 2600, 1625, 0.6f},
    {1, 6, 3200, 2021, 0.5f},
    {1, 6, 3600, 2278, 0.4f},
    // turf, 中京
    {1, 7, 1000, 574, 1.7f},
    {1, 7, 1200, 703, 1.4f},
    {1, 7, 1700, 1044, 1.0f},
    {1, 7, 1800, 1098, 0.9f},
    {1, 7, 2000, 1218, 0.8f},
    {1, 7, 2500, 1562, 0.6f},
    {1, 7, 3000, 1902, 0.5f},
    // turf, 京都
    {1, 8, 1200, 707, 1.4f},
    {1, 8, 1400, 832, 1.2f},
    {1, 8, 1600, 957, 1.0f},
    {1, 8, 1800, 1086, 0.9f},
    {1, 8, 2000, 1229, 0.8f},
    {1, 8, 2200, 1359, 0.7f},
    {1, 8, 2400, 1489, 0.7f},
    {1, 8, 3000, 1904, 0.5f},
    {1, 8, 3200, 2023, 0.5f},
    // turf, 阪神
    {1, 9, 1200, 724, 1.4f},
    {1, 9, 1400, 847, 1.2f},
    {1, 9, 1600, 985, 1.0f},
    {1, 9, 2000, 1256, 0.8f},
    {1, 9, 2200, 1382, 0.7f},
    {1, 9, 2500, 1589, 0.6f},
    {1, 9, 3000, 1931, 0.5f},
    // turf, 小倉
    {1, 10, 1000, 583, 1.7f},
    {1, 10, 1200, 702, 1.4f},
    {1, 10, 1700, 1038, 1.0f},
    {1, 10, 1800, 1104, 0.9f},
    {1, 10, 2000, 1231, 0.8f},
    {1, 10, 2600, 1648, 0.6f},
    // dirt
    {2, 1, 1000, 593, 1.7f},
    {2, 1, 1700, 1055, 0.9f},  // 札幌
    {2, 2, 1000, 606, 1.7f},
    {2, 2, 1700, 1076, 0.9f},  // 函館
    {2, 3, 1000, 596, 1.7f},
    {2, 3, 1700, 1065, 0.9f},  // 福島
    {2, 4, 1000, 599, 1.7f},
    {2, 4, 1200, 731, 1.4f},
    {2, 4, 1700, 1082, 0.9f},  // 新潟
    {2, 5, 1200, 725, 1.4f},
    {2, 5, 1400, 851, 1.2f},
    {2, 5, 1600, 984, 1.0f},  // 東京
    {2, 5, 1700, 1050, 1.0f},
    {2, 5, 2100, 1330, 0.8f},
    {2, 6, 1200, 723, 1.4f},
    {2, 6, 1800, 1140, 0.9f},
    {2, 6, 2400, 1553, 0.6f},  // 中山
    {2, 7, 1000, 602, 1.7f},
    {2, 7, 1700, 1075, 0.9f},
    {2, 7, 2300, 1507, 0.7f},  // 中京
    {2, 8, 1200, 724, 1.4f},
    {2, 8, 1400, 848, 1.2f},
    {2, 8, 1800, 1128, 0.9f},  // 京都
    {2, 9, 1200, 739, 1.4f},
    {2, 9, 1400, 869, 1.2f},
    {2, 9, 1800, 1159, 0.9f},  // 阪神
    {2, 10, 1000, 612, 1.6f},
    {2, 10, 1700, 1099, 0.9f},  // 小倉
};

constexpr std::size_t kStandardCount = std::size(kStandards);
static_assert(kStandardCount == 101);

constexpr std::int64_t keyOf(const Standard& s) {
    return std::int64_t{s.surface} * 1'000'000 + std::int64_t{s.course} * 10'000 + s.distance;
}

constexpr std::array<std::int64_t, kStandardCount> makeKeys() {
    std::array<std::int64_t, kStandardCount> keys{};
    for (std::size_t i = 0; i < kStandardCount; ++i) keys[i] = keyOf(kStandards[i]);
    return keys;
}

constexpr auto kKeys = makeKeys();

constexpr bool strictlyAscending(const std::array<std::int64_t, kStandardCount>& keys) {
    for (std::size_t i = 1; i < keys.size(); ++i) {
        if (keys[i - 1] >= keys[i]) return false;
    }
    return true;
}
static_assert(strictlyAscending(kKeys), "the standards must stay sorted for the binary search");

const Standard* find(std::int64_t key) {
    const auto it = std::lower_bound(kKeys.begin(), kKeys.end(), key);
    if (it == kKeys.end() || *it != key) return nullptr;
    return &kStandards[static_cast<std::size_t>(it - kKeys.begin())];
}

constexpr double kNoStandardFigure = 70;
constexpr std::string_view kFigurePattern = "##0.0";
constexpr std::string_view kGrowthPattern = "#0.0";

// Half-width blanks only: the names are matched in the form the jockey master keeps them, which
// keeps full-width blanks.
std::string_view trimHalfWidthBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

}  // namespace

std::int64_t speedKey(int surface, std::int64_t course, std::int64_t distance) {
    return std::int64_t{surface} * 1'000'000 + course * 10'000 + distance;
}

int standardTime(std::int64_t key) {
    const Standard* s = find(key);
    return s ? s->time : 0;
}

float timeFactor(std::int64_t key) {
    const Standard* s = find(key);
    return s ? s->factor : 0.0f;
}

std::span<const std::int64_t> speedKeys() {
    return kKeys;
}

int surfaceOf(std::int64_t track) {
    if (track >= 11 && track <= 22) return 1;
    if (track == 23 || track == 24) return 2;
    return 0;
}

double speedFigure(const PastConnections& c, std::int64_t time, std::int64_t distance,
                   std::int64_t weight, std::int64_t course, std::int64_t track,
                   std::string_view going) {
    const int surface = surfaceOf(track);
    const std::int64_t key = speedKey(surface, course, distance);
    const int standard = standardTime(key);
    const double factor = static_cast<double>(timeFactor(key));
    if (standard == 0) return kNoStandardFigure;

    double figure = static_cast<double>(standard - time) / 10 * factor + 80 +
                    2 * (static_cast<double>(weight) / 10 - 55) + c.allowance;
    figure = figure - (figure * 0.25 * c.jockeyRate / 100 + figure * 0.1 * c.trainerRate / 100);
    if (surface == 1) {
        if (going == "2") figure += 0.5;
        if (going == "3") figure += 1.0;
        if (going == "4") figure += 1.5;
    } else {
        if (going == "2") figure -= 1.0;
        if (going == "4") figure += 0.5;
    }
    return figure;
}

double growthRate(std::span<const double> stored) {
    auto meanOfNonZero = [](std::span<const double> values) {
        double sum = 0;
        int count = 0;
        for (double v : values) {
            if (v == 0) continue;
            sum += v;
            ++count;
        }
        return count == 0 ? 0.0 : sum / count;
    };
    const double all = meanOfNonZero(stored);
    const double recent = meanOfNonZero(stored.first(std::min<std::size_t>(2, stored.size())));
    if (all == 0 || recent == 0) return 0;
    return storedSingle((recent / all - 1) * 100, kGrowthPattern);
}

SpeedFigures speedFigures(std::span<const std::string> histories, const ConnectionsLookup& lookup) {
    const auto texts = characterTexts(histories);
    return speedFigures(std::span<const CharacterText>(texts.get(), histories.size()), lookup);
}

SpeedFigures speedFigures(std::span<const CharacterText> histories,
                          const ConnectionsLookup& lookup) {
    SpeedFigures out;
    double sum = 0;
    int count = 0;
    const std::size_t n = std::min(histories.size(), out.figures.size());
    for (std::size_t k = 0; k < n; ++k) {
        const CharacterText& h = histories[k];
        if (h.valueAt(60, 4) == 0 || h.valueAt(59, 1) != 0) continue;
        const std::int64_t course = h.valueAt(1, 2);
        const PastConnections connections =
            lookup ? lookup(trimHalfWidthBlanks(h.at(84, 8)), course) : PastConnections{};
        const double figure =
            speedFigure(connections, h.valueAt(60, 1) * 600 + h.valueAt(61, 3), h.valueAt(18, 4),
                        h.valueAt(64, 3), course, h.valueAt(22, 2), h.at(29, 1));
        out.figures[k] = storedSingle(figure, kFigurePattern);
        // The mean takes the figures as computed; only the growth rate reads the stored ones.
        if (figure != 0) {
            sum += figure;
            ++count;
        }
    }
    out.mean = count == 0 ? kNoStandardFigure : storedSingle(sum / count, kFigurePattern);
    out.growth = growthRate(out.figures);
    return out;
}

}  // namespace zelvanor
