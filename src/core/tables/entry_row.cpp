#include "core/tables/entry_row.hpp"

#include "core/store/store.hpp"

namespace zelvanor {

namespace {

constexpr std::array<std::string_view, 11> kHorseTexts = {
    "bamei",    "keto1",    "keto2",   "keto3",    "seibetsu",  "seinen",
    "moushoku", "umanushi", "honshou", "fukashou", "shuutoku1",
};

std::array<std::string*, kHorseTexts.size()> horseTexts(EntryRow& r) {
    return {&r.bamei,    &r.keto1,    &r.keto2,   &r.keto3,    &r.seibetsu, &r.seinen,
            &r.moushoku, &r.umanushi, &r.honshou, &r.fukashou, &r.shuutoku1};
}

constexpr std::array<std::string_view, 6> kPeopleTexts = {
    "chocode", "CodeKisi", "NameKisi", "MinaraiKisi", "NameChok", "touzaiChok",
};
constexpr std::array<std::string_view, 4> kPeopleRates = {
    "KSougouRen",
    "KCoseRen",
    "CSougouRen",
    "CCoseRen",
};

constexpr std::array<std::string_view, 9> kIndexValues = {
    "TokuseiShisuu", "OmoTokuseiShisuu", "SpSeichou", "SpBase1",     "SpBase2",
    "SpBase3",       "SpBase4",          "SpBase5",   "Shisuu3kaku",
};
constexpr std::array<std::string_view, 6> kAbilities = {
    "Nouryoku1", "Nouryoku2", "Nouryoku3", "OmoNouryoku1", "OmoNouryoku2", "OmoNouryoku3",
};

std::optional<std::int64_t> wholeOrNull(const Statement& st, int column) {
    if (st.isNull(column)) return std::nullopt;
    return st.int64(column);
}

std::string selectOf(std::string_view table, unsigned parts) {
    std::string sql = "SELECT rowid, umacode";
    const auto add = [&](auto&& names) {
        for (const std::string_view c : names) sql += ", " + quoteIdentifier(c);
    };
    if (parts & kEntryPlacePart) sql += ", WakuNo, WakuUmaNo";
    if (parts & kEntryHorsePart) add(kHorseTexts);
    if (parts & kEntryHistoryPart) sql += ", inf1, inf2, inf3, inf4, inf5";
    if (parts & kEntryPeoplePart) {
        add(kPeopleTexts);
        add(kPeopleRates);
    }
    if (parts & kEntryAptitudePart) add(kAptitudeColumnNames);
    if (parts & kEntryIndexPart) {
        sql += ", Tokusei3kaku, TokuseiKyori";
        add(kIndexValues);
    }
    if (parts & kEntryAbilityPart) add(kAbilities);
    return sql + " FROM " + quoteIdentifier(table);
}

}  // namespace

EntryRows::EntryRows(Database& tran, std::string_view entriesTable, unsigned parts)
    : tran_(tran), select_(selectOf(entriesTable, parts)), parts_(parts) {}

void EntryRows::fill(const Statement& st, EntryRow& row) const {
    int c = 0;
    row.rowid = st.int64(c++);
    row.umacode.assign(st.textView(c++));
    if (parts_ & kEntryPlacePart) {
        row.wakuNo = wholeOrNull(st, c++);
        row.wakuUmaNo = wholeOrNull(st, c++);
    }
    if (parts_ & kEntryHorsePart) {
        for (std::string* text : horseTexts(row)) text->assign(st.textView(c++));
    }
    if (parts_ & kEntryHistoryPart) {
        for (std::string& inf : row.histories) inf.assign(st.textView(c++));
    }
    if (parts_ & kEntryPeoplePart) {
        for (std::string* text : {&row.chocode, &row.codeKisi, &row.nameKisi, &row.minaraiKisi,
                                  &row.nameChok, &row.touzaiChok}) {
            text->assign(st.textView(c++));
        }
        for (auto* rate : {&row.kSougouRen, &row.kCoseRen, &row.cSougouRen, &row.cCoseRen}) {
            *rate = wholeOrNull(st, c++);
        }
    }
    if (parts_ & kEntryAptitudePart) {
        for (std::int64_t& a : row.aptitudes) a = st.int64(c++);
    }
    if (parts_ & kEntryIndexPart) {
        row.tokusei3kaku.assign(st.textView(c++));
        row.tokuseiKyori.assign(st.textView(c++));
        for (double* v : {&row.tokuseiShisuu, &row.omoTokuseiShisuu, &row.spSeichou}) {
            *v = st.real(c++);
        }
        for (double& v : row.spBase) v = st.real(c++);
        row.shisuu3kaku = wholeOrNull(st, c++);
    }
    if (parts_ & kEntryAbilityPart) {
        for (double* v : {&row.nouryoku1, &row.nouryoku2, &row.nouryoku3, &row.omoNouryoku1,
                          &row.omoNouryoku2, &row.omoNouryoku3}) {
            *v = st.real(c++);
        }
    }
}

bool EntryRows::find(std::string_view umacode, EntryRow& row) {
    if (!byCode_) {
        byCode_.emplace(tran_.prepare(select_ + " WHERE umacode = ?1 ORDER BY rowid LIMIT 1"));
    }
    StatementReset reset(*byCode_, StatementReset::Bindings::Keep);
    // As text: the column is text, and a code with leading zeros or letters is that text only.
    byCode_->bind(1, umacode);
    if (!byCode_->step()) return false;
    fill(*byCode_, row);
    return true;
}

bool EntryRows::next(EntryRow& row) {
    if (!all_) all_.emplace(tran_.prepare(select_));
    if (!all_->step()) {
        all_.reset();
        return false;
    }
    fill(*all_, row);
    return true;
}

}  // namespace zelvanor
