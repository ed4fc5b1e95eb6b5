#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "model.hpp"

namespace zelvanor::sample {

namespace {

constexpr std::array<CourseInfo, kCourses> kCourseInfo = {{
    {"01", false, true, false},  // 札幌
    {"02", false, true, false},  // 函館
    {"03", false, true, true},   // 福島
    {"04", true, true, true},    // 新潟
    {"05", true, true, true},    // 東京
    {"06", false, true, true},   // 中山
    {"07", true, false, true},   // 中京
    {"08", false, false, true},  // 京都
    {"09", false, false, true},  // 阪神
    {"10", false, false, true},  // 小倉
}};

struct StandardTime {
    int distance;
    int tenths;
};

// The standard times the speed figures are measured against: sample times scatter around them,
// and flat races are run only at these course, surface and distance combinations.
const std::vector<std::vector<StandardTime>> kTurf = {
    {{1000, 581}, {1200, 701}, {1500, 896}, {1800, 1098}, {2000, 1225}, {2600, 1642}},
    {{1000, 589}, {1200, 706}, {1700, 1048}, {1800, 1102}, {2000, 1228}, {2500, 1574}},
    {{1000, 578}, {1200, 705}, {1700, 1034}, {1800, 1095}, {2000, 1226}, {2600, 1625}},
    {{1000, 579}, {1200, 702}, {1400, 827}, {1600, 954}, {1800, 1097}, {2000, 1225}, {2200, 1355}},
    {{1400, 834},
     {1600, 956},
     {1800, 1093},
     {2000, 1229},
     {2200, 1361},
     {2300, 1426},
     {2400, 1488},
     {2500, 1558},
     {3200, 2028}},
    {{1200, 696},
     {1400, 833},
     {1600, 954},
     {1800, 1099},
     {2000, 1229},
     {2200, 1359},
     {2500, 1557},
     {2600, 1625},
     {3200, 2021},
     {3600, 2278}},
    {{1000, 574},
     {1200, 703},
     {1700, 1044},
     {1800, 1098},
     {2000, 1218},
     {2500, 1562},
     {3000, 1902}},
    {{1200, 707},
     {1400, 832},
     {1600, 957},
     {1800, 1086},
     {2000, 1229},
     {2200, 1359},
     {2400, 1489},
     {3000, 1904},
     {3200, 2023}},
    {{1200, 724}, {1400, 847}, {1600, 985}, {2000, 1256}, {2200, 1382}, {2500, 1589}, {3000, 1931}},
    {{1000, 583}, {1200, 702}, {1700, 1038}, {1800, 1104}, {2000, 1231}, {2600, 1648}},
};

const std::vector<std::vector<StandardTime>> kDirt = {
    {{1000, 593}, {1700, 1055}},
    {{1000, 606}, {1700, 1076}},
    {{1000, 596}, {1700, 1065}},
    {{1000, 599}, {1200, 731}, {1700, 1082}},
    {{1200, 725}, {1400, 851}, {1600, 984}, {1700, 1050}, {2100, 1330}},
    {{1200, 723}, {1800, 1140}, {2400, 1553}},
    {{1000, 602}, {1700, 1075}, {2300, 1507}},
    {{1200, 724}, {1400, 848}, {1800, 1128}},
    {{1200, 739}, {1400, 869}, {1800, 1159}},
    {{1000, 612}, {1700, 1099}},
};

constexpr std::array<int, 9> kJumpDistances = {2750, 2860, 2880, 3000, 3110,
                                               3170, 3200, 3300, 3390};

// Distances of each course and surface, built once from the tables above.
struct DistanceLists {
    std::array<std::array<std::vector<int>, 2>, kCourses> flat;
    DistanceLists() {
        for (int c = 0; c < kCourses; ++c) {
            for (const auto& s : kTurf[static_cast<std::size_t>(c)]) {
                flat[static_cast<std::size_t>(c)][0].push_back(s.distance);
            }
            for (const auto& s : kDirt[static_cast<std::size_t>(c)]) {
                flat[static_cast<std::size_t>(c)][1].push_back(s.distance);
            }
        }
    }
};

const DistanceLists& distanceLists() {
    static const DistanceLists lists;
    return lists;
}

}  // namespace

const CourseInfo& courseInfo(int course) {
    return kCourseInfo[static_cast<std::size_t>(std::clamp(course, 1, kCourses) - 1)];
}

std::span<const int> courseDistances(int course, Surface surface) {
    if (surface == Surface::Jump) return kJumpDistances;
    const auto& lists = distanceLists().flat[static_cast<std::size_t>(course - 1)];
    return lists[surface == Surface::Turf ? 0 : 1];
}

int expectedTime(int course, Surface surface, int distance) {
    if (surface != Surface::Jump) {
        const auto& table = surface == Surface::Turf ? kTurf : kDirt;
        for (const auto& s : table[static_cast<std::size_t>(course - 1)]) {
            if (s.distance == distance) return s.tenths;
        }
    }
    // About 15 m/s over fences, a little more on the flat.
    return surface == Surface::Jump ? distance * 2 / 3 : distance * 6 / 10;
}

std::string trackCode(int course, Surface surface, Random& random) {
    const bool left = courseInfo(course).leftHanded;
    switch (surface) {
        case Surface::Turf:
            return left ? "11" : "17";
        case Surface::Dirt:
            return left ? "23" : "24";
        case Surface::Jump:
            return random.chance(60) ? "51" : "52";
    }
    return "11";
}

std::string_view classCode(Level level) {
    static constexpr std::array<std::string_view, kLevels> kCodes = {"701", "703", "005",
                                                                     "009", "016", "999"};
    return kCodes[static_cast<std::size_t>(level)];
}

int firstPrize(Level level, char grade) {
    switch (grade) {
        case 'A':
            return 110000;
        case 'B':
            return 56000;
        case 'C':
            return 39000;
        default:
            break;
    }
    static constexpr std::array<int, kLevels> kPrizes = {5300, 5100, 7200, 10200, 15400, 22000};
    return kPrizes[static_cast<std::size_t>(level)];
}

int bracketOf(int number, int runners) {
    if (runners <= 8) return number;
    const int base = runners / 8;
    const int larger = runners % 8;  // the last `larger` brackets hold base + 1 runners
    const int smallBrackets = 8 - larger;
    if (number <= smallBrackets * base) return (number - 1) / base + 1;
    return smallBrackets + (number - smallBrackets * base - 1) / (base + 1) + 1;
}

int winnerTime(int course, Surface surface, int distance, int going, Level level, Random& random) {
    const double scale = distance / 1600.0;
    static constexpr std::array<int, kLevels> kClassTenths = {14, 10, 4, 0, -4, -8};
    static constexpr std::array<int, 5> kTurfGoing = {0, 0, 4, 10, 18};
    static constexpr std::array<int, 5> kDirtGoing = {0, 0, -3, -6, -8};
    static constexpr std::array<int, 5> kJumpGoing = {0, 0, 10, 25, 40};
    const auto g = static_cast<std::size_t>(std::clamp(going, 1, 4));
    int adjust = kClassTenths[static_cast<std::size_t>(level)];
    adjust += surface == Surface::Turf   ? kTurfGoing[g]
              : surface == Surface::Dirt ? kDirtGoing[g]
                                         : kJumpGoing[g];
    const double noise = random.bell(8.0);
    return expectedTime(course, surface, distance) +
           static_cast<int>(std::lround((adjust + noise) * scale));
}

int marginTenths(Random& random) {
    static constexpr std::array<int, 7> kWeights = {14, 34, 22, 12, 8, 6, 4};
    return random.weighted(kWeights);  // 0 … 6 tenths: a head to a couple of lengths
}

int lastThreeFurlongs(Surface surface, int distance, int going, int behindTenths, double style,
                      Random& random) {
    int base = surface == Surface::Turf ? 348 : surface == Surface::Dirt ? 376 : 398;
    if (distance <= 1200) base += 10;  // sprinters are spent at the end
    if (surface == Surface::Turf) base += (going - 1) * 6;
    // Those from behind finish fastest; the beaten ones tire.
    const double value = base + behindTenths * 0.35 - (style - 0.5) * 14 + random.bell(6.0);
    return std::clamp(static_cast<int>(std::lround(value)), 320, 460);
}

std::array<int, 4> cornerPositions(int runners, int position, double style, Surface surface,
                                   int distance, Random& random) {
    auto place = [&](double value) {
        return std::clamp(static_cast<int>(std::lround(value)), 1, runners);
    };
    const int third = place(1 + style * (runners - 1) + random.bell(2.5));
    const int fourth = place((third * 2 + position) / 3.0 + random.bell(1.5));
    std::array<int, 4> corners = {0, 0, third, fourth};
    if (surface == Surface::Jump || distance > 1500) {
        corners[1] = place(third + random.bell(1.5));
        corners[0] = place(corners[1] + random.bell(1.0));
    }
    return corners;
}

std::string timeText(int tenths) {
    char text[16];
    std::snprintf(text, sizeof text, "%d%03d", std::clamp(tenths / 600, 0, 9), tenths % 600);
    return text;
}

std::string timeDifferenceText(int tenths) {
    char text[16];
    if (tenths < 0) {
        std::snprintf(text, sizeof text, "-%d.%d", std::min(-tenths / 10, 9), -tenths % 10);
    } else {
        std::snprintf(text, sizeof text, "%2d.%d", std::min(tenths / 10, 99), tenths % 10);
    }
    return text;
}

std::string signedChange(int change) {
    char text[8];
    std::snprintf(text, sizeof text, "%c%02d", change < 0 ? '-' : '+',
                  std::min(std::abs(change), 99));
    return text;
}

std::array<int, 3> coursesOfMonth(int month) {
    static constexpr std::array<std::array<int, 3>, 12> kRotation = {{
        {6, 8, 7},
        {5, 8, 10},
        {6, 9, 7},
        {6, 9, 3},
        {5, 8, 4},
        {5, 9, 3},
        {3, 7, 2},
        {4, 10, 1},
        {6, 9, 4},
        {5, 8, 4},
        {5, 8, 3},
        {6, 9, 7},
    }};
    return kRotation[static_cast<std::size_t>(std::clamp(month, 1, 12) - 1)];
}

}  // namespace zelvanor::sample
