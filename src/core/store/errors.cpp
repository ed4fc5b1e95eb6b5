#include "core/store/errors.hpp"

#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace zelvanor {

namespace {

[[noreturn]] void fail(sqlite3* db, int rc, std::string_view what = {}) {
    std::string message;
    const int extended = db ? sqlite3_extended_errcode(db) : rc;
    rc &= 0xFF;  // the primary code: extended result codes are on
    if (rc == SQLITE_CORRUPT || rc == SQLITE_NOTADB) {
        const char* file = db ? sqlite3_db_filename(db, "main") : nullptr;
        if (file != nullptr && *file != '\0') throw DamagedDatabaseError(damagedDatabaseText(file));
    }
    if (extended == SQLITE_CONSTRAINT_UNIQUE || extended == SQLITE_CONSTRAINT_PRIMARYKEY) {
        message = "キーが重複しています。";
    } else if (extended == SQLITE_CONSTRAINT_NOTNULL || extended == SQLITE_CONSTRAINT_CHECK) {
        message = "キーが空です。";
    } else if (rc == SQLITE_NOTADB) {
        message = "データベースファイルではありません。";
    } else if (rc == SQLITE_FULL) {
        message = "ディスクの空きが足りません。";
    } else if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        message = "データベースが他のプログラムで使用中です。";
    } else if (rc == SQLITE_READONLY || rc == SQLITE_CANTOPEN || rc == SQLITE_PERM) {
        message = "データベースに書き込めません。";
    } else if (rc == SQLITE_IOERR) {
        message = "データベースファイルの読み書きに失敗しました。";
    }
    // Which database failed, unless the caller's text already names it.
    if (what.empty() && db != nullptr) {
        const char* file = sqlite3_db_filename(db, "main");
        if (file != nullptr && *file != '\0') {
            const std::string name = std::filesystem::path(file).filename().string();
            message = message.empty() ? name + ":" : name + ": " + message;
        }
    }
    if (!what.empty()) {
        message += (message.empty() ? "" : " ");
        message += what;
    }
    message += message.empty() ? "" : " ";
    message += "(";
    message += db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    message += ")";
    throw StoreError(message);
}

}  // namespace

void throwStoreFailure(sqlite3* db, int rc, std::string_view what) {
    fail(db, rc, what);
}

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
