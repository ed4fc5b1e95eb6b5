#include "names.hpp"

#include <array>
#include <string_view>

#include "core/records/cp932.hpp"

namespace zelvanor::sample {

namespace {

// Syllables of horse names, as whole units so that small kana never start a name.
constexpr std::array<std::string_view, 72> kSyllables = {
    "ア", "イ", "ウ", "エ", "オ", "カ",   "キ",   "ク",   "ケ",   "コ",   "サ",   "シ",
    "ス", "セ", "ソ", "タ", "チ", "ツ",   "テ",   "ト",   "ナ",   "ニ",   "ヌ",   "ネ",
    "ノ", "ハ", "ヒ", "フ", "ヘ", "ホ",   "マ",   "ミ",   "ム",   "メ",   "モ",   "ヤ",
    "ユ", "ヨ", "ラ", "リ", "ル", "レ",   "ロ",   "ワ",   "ガ",   "ギ",   "グ",   "ゲ",
    "ゴ", "ザ", "ジ", "ズ", "ゼ", "ダ",   "デ",   "ド",   "バ",   "ビ",   "ブ",   "ベ",
    "ボ", "パ", "ピ", "プ", "ポ", "シャ", "チャ", "ティ", "ファ", "フィ", "ジュ", "ショ",
};

struct Part {
    std::string_view kanji;
    std::string_view kana;
};

constexpr std::array<Part, 48> kFamilyFirst = {{
    {"山", "ﾔﾏ"},  {"川", "ｶﾜ"}, {"中", "ﾅｶ"},  {"小", "ｺ"},   {"大", "ｵｵ"},   {"高", "ﾀｶ"},
    {"石", "ｲｼ"},  {"松", "ﾏﾂ"}, {"竹", "ﾀｹ"},  {"梅", "ｳﾒ"},  {"森", "ﾓﾘ"},   {"岡", "ｵｶ"},
    {"藤", "ﾌｼﾞ"}, {"北", "ｷﾀ"}, {"南", "ﾐﾅﾐ"}, {"西", "ﾆｼ"},  {"東", "ﾋｶﾞｼ"}, {"吉", "ﾖｼ"},
    {"村", "ﾑﾗ"},  {"野", "ﾉ"},  {"原", "ﾊﾗ"},  {"宮", "ﾐﾔ"},  {"菊", "ｷｸ"},   {"柴", "ｼﾊﾞ"},
    {"横", "ﾖｺ"},  {"福", "ﾌｸ"}, {"長", "ﾅｶﾞ"}, {"今", "ｲﾏ"},  {"上", "ｶﾐ"},   {"島", "ｼﾏ"},
    {"浜", "ﾊﾏ"},  {"坂", "ｻｶ"}, {"杉", "ｽｷﾞ"}, {"桜", "ｻｸﾗ"}, {"池", "ｲｹ"},   {"谷", "ﾀﾆ"},
    {"内", "ｳﾁ"},  {"堀", "ﾎﾘ"}, {"安", "ﾔｽ"},  {"平", "ﾋﾗ"},  {"千", "ﾁ"},    {"青", "ｱｵ"},
    {"白", "ｼﾗ"},  {"黒", "ｸﾛ"}, {"赤", "ｱｶ"},  {"金", "ｶﾈ"},  {"古", "ﾌﾙ"},   {"久", "ｸ"},
}};

constexpr std::array<Part, 24> kFamilySecond = {{
    {"田", "ﾀﾞ"}, {"川", "ｶﾜ"}, {"山", "ﾔﾏ"},  {"野", "ﾉ"},   {"村", "ﾑﾗ"},  {"本", "ﾓﾄ"},
    {"井", "ｲ"},  {"木", "ｷﾞ"}, {"口", "ｸﾞﾁ"}, {"島", "ｼﾞﾏ"}, {"崎", "ｻﾞｷ"}, {"沢", "ｻﾞﾜ"},
    {"原", "ﾊﾗ"}, {"谷", "ﾔ"},  {"部", "ﾍﾞ"},  {"藤", "ﾄｳ"},  {"岡", "ｵｶ"},  {"森", "ﾓﾘ"},
    {"橋", "ﾊｼ"}, {"坂", "ｻｶ"}, {"尾", "ｵ"},   {"屋", "ﾔ"},   {"江", "ｴ"},   {"瀬", "ｾ"},
}};

constexpr std::array<Part, 40> kGiven = {{
    {"太郎", "ﾀﾛｳ"},   {"次郎", "ｼﾞﾛｳ"},  {"健一", "ｹﾝｲﾁ"},   {"誠", "ﾏｺﾄ"},    {"翔", "ｼｮｳ"},
    {"豊", "ﾕﾀｶ"},     {"博", "ﾋﾛｼ"},     {"隆", "ﾀｶｼ"},      {"勝", "ﾏｻﾙ"},    {"修", "ｵｻﾑ"},
    {"亮", "ﾘｮｳ"},     {"剛", "ﾂﾖｼ"},     {"徹", "ﾄｵﾙ"},      {"聡", "ｻﾄｼ"},    {"浩二", "ｺｳｼﾞ"},
    {"正和", "ﾏｻｶｽﾞ"}, {"一馬", "ｶｽﾞﾏ"},  {"幸雄", "ﾕｷｵ"},    {"秀樹", "ﾋﾃﾞｷ"}, {"典弘", "ﾉﾘﾋﾛ"},
    {"康太", "ｺｳﾀ"},   {"大輔", "ﾀﾞｲｽｹ"}, {"智", "ｻﾄﾙ"},      {"勇", "ｲｻﾑ"},    {"明", "ｱｷﾗ"},
    {"清", "ｷﾖｼ"},     {"和也", "ｶｽﾞﾔ"},  {"直人", "ﾅｵﾄ"},    {"信二", "ｼﾝｼﾞ"}, {"善行", "ﾖｼﾕｷ"},
    {"英明", "ﾋﾃﾞｱｷ"}, {"忠", "ﾀﾀﾞｼ"},    {"純一", "ｼﾞｭﾝｲﾁ"}, {"光男", "ﾐﾂｵ"},  {"進", "ｽｽﾑ"},
    {"弘", "ﾋﾛﾑ"},     {"武", "ﾀｹｼ"},     {"実", "ﾐﾉﾙ"},      {"茂", "ｼｹﾞﾙ"},   {"悟", "ｻﾄﾙ"},
}};

constexpr std::array<std::string_view, 24> kBirthplaces = {
    "浦河町", "新冠町",   "静内町", "門別町", "三石町", "早来町",     "鵡川町", "千歳市",
    "様似町", "えりも町", "平取町", "穂別町", "厚真町", "新ひだか町", "日高町", "追分町",
    "浦河町", "静内町",   "青森県", "千葉県", "岩手県", "宮崎県",     "米国",   "愛国",
};

constexpr std::array<std::string_view, 10> kFarmSuffixes = {
    "牧場", "牧場", "牧場", "ファーム", "スタッド", "農場", "牧場", "ファーム", "牧場", "育成牧場",
};

constexpr std::array<std::string_view, 6> kCompanySuffixes = {
    "レーシング", "ホース", "ファーム", "サラブレッド", "ステーブル", "興産",
};

constexpr std::array<std::string_view, 40> kRaceWords = {
    "紅葉", "初霜", "若葉", "春光", "白秋", "菜の花", "青嵐", "夏至", "朱雀", "玄武",
    "浜風", "山桜", "秋風", "木枯", "鳳凰", "天神",   "千里", "朝日", "比叡", "六甲",
    "赤城", "筑波", "蔵王", "桂",   "白梅", "若駒",   "立春", "新涼", "銀河", "北斗",
    "潮騒", "海風", "雪嶺", "飛鳥", "若鮎", "桂川",   "大雪", "錦秋", "花園", "初夏",
};

constexpr std::array<std::string_view, 8> kRaceSuffixes = {
    "特別", "特別", "ステークス", "Ｓ", "賞", "カップ", "記念", "ハンデキャップ",
};

}  // namespace

std::string horseName(Random& random) {
    for (;;) {
        std::string name;
        int chars = 0;
        const int syllables = random.between(2, 5);
        for (int i = 0; i < syllables; ++i) {
            const std::string_view syllable =
                random.pick(std::span<const std::string_view>(kSyllables));
            name += syllable;
            chars += static_cast<int>(charCount(syllable));
            const int roll = random.below(100);
            if (roll < 14) {
                name += "ー";
                ++chars;
            } else if (roll < 22) {
                name += "ン";
                ++chars;
            } else if (roll < 26 && i + 1 < syllables) {
                name += "ッ";
                ++chars;
            }
        }
        if (chars >= 3 && chars <= 9) return name;
    }
}

PersonName personName(Random& random) {
    for (;;) {
        PersonName name;
        const Part& first = random.pick(std::span<const Part>(kFamilyFirst));
        name.family = first.kanji;
        name.familyKana = first.kana;
        if (!random.chance(8)) {
            const Part& second = random.pick(std::span<const Part>(kFamilySecond));
            if (second.kanji == first.kanji) continue;
            name.family += second.kanji;
            name.familyKana += second.kana;
        }
        const Part& given = random.pick(std::span<const Part>(kGiven));
        name.given = given.kanji;
        name.givenKana = given.kana;
        // The reading field is 18 half-width characters with a blank between the two names.
        if (encodeCp932(name.familyKana).size() + 1 + encodeCp932(name.givenKana).size() <= 18) {
            return name;
        }
    }
}

std::string birthplace(Random& random) {
    return std::string(random.pick(std::span<const std::string_view>(kBirthplaces)));
}

std::string breederName(Random& random) {
    const std::string_view suffix = random.pick(std::span<const std::string_view>(kFarmSuffixes));
    if (random.chance(60)) return personName(random).family + std::string(suffix);
    return horseName(random).substr(0, 9) + std::string(suffix);
}

std::string ownerName(Random& random) {
    if (random.chance(65)) {
        const PersonName p = personName(random);
        return p.family + p.given;
    }
    std::string base = horseName(random);
    if (charCount(base) > 5) base = base.substr(0, 15);  // five katakana, three bytes each
    return "（有）" + base +
           std::string(random.pick(std::span<const std::string_view>(kCompanySuffixes)));
}

std::string raceName(Random& random, int maxChars) {
    for (;;) {
        std::string name(random.pick(std::span<const std::string_view>(kRaceWords)));
        name += random.pick(std::span<const std::string_view>(kRaceSuffixes));
        if (static_cast<int>(charCount(name)) <= maxChars) return name;
    }
}

}  // namespace zelvanor::sample
