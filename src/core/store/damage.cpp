#include <filesystem>
#include <string>

#include "core/store/store.hpp"

namespace zelvanor {

std::string damagedDatabaseText(const std::filesystem::path& file) {
    const std::string name = file.filename().string();
    std::string text = name + " が壊れています（" + file.string() + "）。";
    if (name == "tran.mdb") {
        text +=
            "\nバックアップしておいた tran.mdb があれば、プログラムを終えてから、それに置き換えて"
            "ください。なければ、tran.mdb を別の名前に変えてから、圧縮ファイルを取り込み直して"
            "ください。取り込み直すと、手で入力した成績は失われます。";
    } else if (name == "mast.mdb") {
        text +=
            "\nプログラムを終えてから、バックアップしておいた mast.mdb か、同じフォルダの "
            "mast.bak（騎手・調教師データを最後に取り込んだ時の写し）に置き換えてください。"
            "どちらもなければ、mast.mdb を別の名前に変えてから、競走馬・騎手・調教師のデータを"
            "取り込み直してください。予想定数は初めの値に戻ります。";
    }
    return text;
}

}  // namespace zelvanor
