#include "core/views/people_info.hpp"

#include <filesystem>
#include <span>

#include "core/records/cp932.hpp"
#include "core/records/layouts.hpp"
#include "core/records/numeric.hpp"
#include "core/records/people_layout.hpp"
#include "core/records/record_file.hpp"
#include "core/records/utf8.hpp"
#include "core/shell/codes.hpp"
#include "core/views/view_text.hpp"

namespace zelvanor {

namespace {

// Where the two files differ in what the windows read.
struct PersonFile {
    const RecordLayout& layout;
    std::string_view codeField, nameField, kanaField;
    bool riding;  // jockeys: affiliation, qualification, allowance and the distance groups
    std::string_view kanaSuffix;
    std::string_view noData;
};

const PersonFile kJockeyFile{kKisiLayout,
                             "KISCODE",
                             "KISKANJI",
                             "KISKANA",
                             true,
                             "  ",
                             "現役騎手のデータがありません。\r"
                             "ＪＲＡ－ＶＡＮより現役騎手のデータを取得してＺｅｌｖａｎｏｒに取込"
                             "んでください。"};
const PersonFile kTrainerFile{kChokLayout,
                              "chocode",
                              "CHOKANJI",
                              "CHOKANA",
                              false,
                              "",
                              "現役調教師のデータがありません。\r"
                              "ＪＲＡ－ＶＡＮより現役調教師のデータを取得してＺｅｌｖａｎｏｒに"
                              "取込んでください。"};

const PersonFile& fileOf(PersonKind kind) {
    return kind == PersonKind::Jockey ? kJockeyFile : kTrainerFile;
}

constexpr std::string_view kListSeparator = "  :  ";

// The course groups in the order of the racecourse codes "01" to "10", with the row headings.
constexpr std::array<std::string_view, 10> kCourses = {"SAP", "HAK", "FUK", "NIG", "TOK",
                                                       "NAK", "CHU", "KYO", "HAN", "KOK"};
constexpr std::array<std::string_view, 10> kCourseRows = {
    "札 幌", "函 館", "福 島", "新 潟", "東 京", "中 山", "中 京", "京 都", "阪 神", "小 倉"};
// 札幌 and 函館 hold flat counts only.
constexpr std::size_t kFlatOnlyCourses = 2;
constexpr std::string_view kTotalRow = "合 計";
constexpr std::array<std::string_view, 3> kBands = {"1600", "2200", "2201"};
constexpr std::array<std::string_view, 3> kBandRows = {"-1600", "1601-", "2201-"};

// The cell formats of one kind of grid: counts and 合計, and 連率.
struct GridFormat {
    std::string_view countPrefix;
    std::string_view ratePrefix;
};
constexpr GridFormat kPlainFormat{"", ""};
constexpr GridFormat kDistanceFormat{"   ", "  "};

// Four counts of a row: first, second, third, other; nothing for a row left empty.
using Counts = std::array<std::int64_t, 4>;

class Reader {
  public:
    Reader(const RecordLayout& layout, std::string_view record)
        : layout_(layout), record_(record) {}

    std::string text(std::string_view field) const {
        return decodeField(record_, layout_.field(field));
    }
    std::int64_t number(std::string_view field) const {
        return numericValue(record_.substr(std::min(record_.size(),
                                                    layout_.field(field).offset),
                                           layout_.field(field).length));
    }
    // Counts `from` to `from` + 3 (1-based) of a group.
    Counts counts(std::string_view group, int from) const {
        Counts c{};
        for (int k = 0; k < 4; ++k) {
            c[static_cast<std::size_t>(k)] =
                number(std::string(group) + "." + std::to_string(from + k));
        }
        return c;
    }

  private:
    const RecordLayout& layout_;
    std::string_view record_;
};

// Sums in 64 bits: a career total of four 4-digit counts, or a column over ten courses, may pass
// what a 16-bit integer holds, and the true sum is what the user wants to read.
std::vector<std::string> rowTexts(const Counts& c, GridFormat format) {
    const std::int64_t total = c[0] + c[1] + c[2] + c[3];
    std::vector<std::string> row;
    for (std::int64_t v : c) row.push_back(countText(v, format.countPrefix));
    row.push_back(countText(total, format.countPrefix));
    row.push_back(countText(topTwoRate(c[0], c[1], total), format.ratePrefix));
    return row;
}

// A grid of the given rows with a 合計 row of the column sums; a row without counts stays empty
// (and adds nothing).
TextGrid totalledGrid(std::span<const std::string_view> headings,
                      std::span<const std::optional<Counts>> rows, GridFormat format) {
    TextGrid g;
    Counts sum{};
    for (std::size_t r = 0; r < rows.size(); ++r) {
        g.rowHeadings.emplace_back(headings[r]);
        if (rows[r]) {
            for (std::size_t k = 0; k < 4; ++k) sum[k] += (*rows[r])[k];
            g.cells.push_back(rowTexts(*rows[r], format));
        } else {
            g.cells.emplace_back(kPlacingColumns);
        }
    }
    g.rowHeadings.emplace_back(kTotalRow);
    g.cells.push_back(rowTexts(sum, format));
    return g;
}

TextGrid resultsGrid(const Reader& r, int from) {
    static constexpr std::array<std::string_view, 3> kRows = {"本年", "前年", "累計"};
    static constexpr std::array<std::string_view, 3> kGroups = {"HONNEN", "ZENNEN", "RUIKEI"};
    TextGrid g;
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        g.rowHeadings.emplace_back(kRows[i]);
        g.cells.push_back(rowTexts(r.counts(kGroups[i], from), kPlainFormat));
    }
    return g;
}

// Flat (counts 1-4) or jump (counts 5-8) counts by course, of this year ('H') or last year ('Z').
TextGrid courseGrid(const Reader& r, char year, bool jump) {
    std::array<std::optional<Counts>, kCourses.size()> rows;
    for (std::size_t c = 0; c < kCourses.size(); ++c) {
        if (jump && c < kFlatOnlyCourses) continue;
        rows[c] = r.counts(std::string(1, year) + std::string(kCourses[c]), jump ? 5 : 1);
    }
    return totalledGrid(kCourseRows, rows, kPlainFormat);
}

// Turf (counts 1-4) or dirt (counts 5-8) counts by distance band.
TextGrid distanceGrid(const Reader& r, char year, bool dirt) {
    std::array<std::optional<Counts>, kBands.size()> rows;
    for (std::size_t b = 0; b < kBands.size(); ++b) {
        rows[b] = r.counts(std::string(1, year) + std::string(kBands[b]), dirt ? 5 : 1);
    }
    return totalledGrid(kBandRows, rows, kDistanceFormat);
}

std::array<std::string, 8> gradedWin(const Reader& r, int entry) {
    const std::string prefix = "KACHIKU" + std::to_string(entry) + ".";
    auto part = [&](std::string_view name) { return r.text(prefix + std::string(name)); };
    const std::string course = part("basho");
    // Two blanks, or nothing at all in a record cut short, is no entry.
    if (trimRight(course).empty()) return {};
    return {bashoLabel(course),       part("year") + " 年",  part("kaiji") + " 回",
            part("hiji") + " 日目",  part("bango") + "R",   part("hondai") + "  ",
            part("bamei"),            gradeLabel(part("grade"))};
}

// The value of two ASCII digits, -1 for anything else.
int twoDigits(std::string_view text) {
    if (text.size() != 2) return -1;
    for (char c : text) {
        if (c < '0' || c > '9') return -1;
    }
    return (text[0] - '0') * 10 + (text[1] - '0');
}

}  // namespace

const RecordLayout& personLayout(PersonKind kind) {
    return fileOf(kind).layout;
}

std::filesystem::path personFilePath(const AppPaths& paths, PersonKind kind) {
    return paths.extractionFolder() / std::string(personLayout(kind).fileName);
}

std::string countText(std::int64_t value, std::string_view prefix) {
    std::string out(prefix);
    if (value != 0) out += std::to_string(value);
    return out;
}

std::string moneyText(std::int64_t value) {
    if (value == 0) return " ";
    const std::string digits = std::to_string(value);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out + " ";
}

std::int64_t topTwoRate(std::int64_t first, std::int64_t second, std::int64_t total) {
    if (total <= 0) return 0;
    const std::int64_t scaled = (first + second) * 100;
    std::int64_t q = scaled / total;
    const std::int64_t twiceRest = (scaled % total) * 2;
    if (twiceRest > total || (twiceRest == total && q % 2 != 0)) ++q;
    return q;
}

std::string fullDate(std::string_view yymmdd, std::string_view reference) {
    if (trimRight(yymmdd).empty()) return {};
    const std::string_view yy = charactersAt(yymmdd, 1, 2);
    std::string year = "19" + std::string(yy);
    if (const int y = twoDigits(yy); y >= 0) {
        // Two-digit years: a date shown on its own reads 00-68 as 20xx and 69-99 as 19xx; a date
        // before a reference is at most 99 years before it.
        int full = fullYear(y);
        if (const int ref = twoDigits(charactersAt(reference, 1, 2)); ref >= 0) {
            const int refFull = fullYear(ref);
            full = refFull - ((ref - y) % 100 + 100) % 100;
        }
        year = std::to_string(full);
    }
    return year + "年" + std::string(charactersAt(yymmdd, 3, 2)) + "月" +
           std::string(charactersAt(yymmdd, 5, 2)) + "日";
}

std::string noPeopleMessage(PersonKind kind) {
    return std::string(fileOf(kind).noData);
}

std::vector<std::string> loadPeopleList(const AppPaths& paths, PersonKind kind,
                                        const ProgressFn& progress) {
    const PersonFile& file = fileOf(kind);
    std::vector<std::string> items;
    report(progress, 0);
    const std::filesystem::path path = personFilePath(paths, kind);
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) {
        const RecordFile records(path, file.layout.recordLength);
        ProgressSteps steps(progress);
        const FieldSpec& code = file.layout.field(file.codeField);
        const FieldSpec& name = file.layout.field(file.nameField);
        for (std::size_t i = 1; i <= records.count(); ++i) {
            steps.show(static_cast<int>(100 * i / records.count()));
            const std::string_view record = records.record(i);
            std::string item = decodeField(record, code);
            item += kListSeparator;
            appendField(item, record, name);
            items.push_back(std::move(item));
        }
    }
    report(progress, 100);
    return items;
}

std::optional<PersonInfo> readPersonInfo(const AppPaths& paths, PersonKind kind, std::size_t n) {
    const std::filesystem::path path = personFilePath(paths, kind);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    const RecordFile records(path, personLayout(kind).recordLength);
    if (n < 1 || n > records.count()) return std::nullopt;
    return personInfo(kind, records.record(n));
}

PersonInfo personInfo(PersonKind kind, std::string_view record) {
    const PersonFile& file = fileOf(kind);
    const Reader r(file.layout, record);
    PersonInfo p;
    p.code = r.text(file.codeField) + " ";
    p.name = r.text(file.nameField) + " ";
    p.kana = r.text(file.kanaField) + std::string(file.kanaSuffix);
    const std::string made = r.text("mkdate");
    if (const std::string born = fullDate(r.text("seinen"), made); !born.empty()) {
        p.birthDate = " " + born + "生まれ";
    }
    p.touzai = touzaiLabel(r.text("TOUZAI"));
    if (file.riding) {
        const std::string shozoku = r.text("SHOZOKU");
        p.affiliation = trimRight(shozoku).empty() ? " フリー" : shozoku + " ";
        p.qualification = shikakuLabel(r.text("SHIKAKU"));
        p.apprentice = minaraiLabel(r.text("minarai"));
    }

    const std::array<std::int64_t, 4> money = {r.number("HHONSHOU"), r.number("HFUKASHO"),
                                               r.number("SHONSHOU"), r.number("SFUKASHO")};
    std::int64_t totalMoney = 0;
    for (std::size_t i = 0; i < money.size(); ++i) {
        p.prizeMoney[i] = moneyText(money[i]);
        totalMoney += money[i];
    }
    p.prizeMoney[4] = moneyText(totalMoney);

    p.flatResults = resultsGrid(r, 1);
    p.jumpResults = resultsGrid(r, 5);
    p.createdOn = "データ作成年月日 ： " + fullDate(made);
    for (int e = 0; e < 3; ++e) p.gradedWins[static_cast<std::size_t>(e)] = gradedWin(r, e + 1);
    for (std::size_t y = 0; y < 2; ++y) {
        const char year = y == 0 ? 'H' : 'Z';
        p.flatCourses[y] = courseGrid(r, year, false);
        p.jumpCourses[y] = courseGrid(r, year, true);
    }
    if (file.riding) {
        for (const char year : {'H', 'Z'}) {
            p.distances.push_back(distanceGrid(r, year, false));
            p.distances.push_back(distanceGrid(r, year, true));
        }
    }
    return p;
}

}  // namespace zelvanor
