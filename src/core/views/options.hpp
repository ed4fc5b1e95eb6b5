#pragma once

// The prediction constants dialog without its window: its four tabs and what each page holds,
// its texts, and what デフォルト does to the values shown. Loading and storing the values belongs
// to the constants record (loadConstantsIntoOptions, saveConstants).

#include <array>
#include <string_view>

#include "core/shell/constants.hpp"

namespace zelvanor {

struct OptionsTab {
    std::string_view caption;
    std::string_view key;
    std::string_view tooltip;
    // The sliders the page holds, as a run of kWeightCaptions; none on the name page.
    int firstSlider;
    int sliderCount;
};

inline constexpr std::array<OptionsTab, 4> kOptionsTabs = {{
    {"馬の特性", "horseTraits", "競走馬の特性計算時の各種指数の重み設定", 0, 5},
    {"騎手の特性", "jockeyTraits", "騎手の連帯率を予想に取り込む重みの設定", 5, 1},
    {"調教師の特性", "trainerTraits", "調教師の連帯率を予想に取り込む重みの設定", 6, 1},
    {"名前", "userName", "３人目のＺｅｌｖａｎｏｒの名前です。", 7, 0},
}};

inline constexpr std::string_view kOptionsTitle = "ｵﾌﾟｼｮﾝ";
// The two ends of every slider.
inline constexpr std::string_view kSliderLow = "小";
inline constexpr std::string_view kSliderHigh = "大";
inline constexpr std::string_view kUserNameCaption = "あなたの名前";
// Broken where the dialog's text box breaks it.
inline constexpr std::string_view kUserNameExplanation =
    "この名前は３人目のＺｅｌｖａｎｏｒの名\r\n前になります。\r\n"
    "あなたの名前を入れて予想に参加して\r\nください。（漢字で２文字までです）\r\n";

// After 更新: stored predictions keep the weights they were computed with.
inline constexpr std::string_view kOptionsSavedMessage =
    "予想処理時の定数が設定されました! 新しい設定での予想は次回の取込時より反映されます。\r"
    "既存の予想結果を新しい指数で予想し直す場合は「競走馬」データを再度取込んでください。";
// After デフォルト: nothing is stored yet.
inline constexpr std::string_view kOptionsDefaultMessage =
    "設定をデフォルトに戻しました。\r反映するには更新ボタンを押してください。";

// デフォルト: the default slider positions, with the name as it is shown.
OptionsValues withDefaultWeights(OptionsValues shown);

}  // namespace zelvanor
