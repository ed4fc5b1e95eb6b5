#include "core/records/runner_entry.hpp"

#include <array>

#include "core/records/layout_den1.hpp"
#include "core/records/numeric.hpp"

namespace zelvanor {

namespace {

bool isBlank(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

// Where each character of the entry starts, then its size: an entry is read whole in one pass.
class EntryCharacters {
  public:
    explicit EntryCharacters(std::string_view utf8) : text_(utf8) {
        for (std::size_t i = 0; i < utf8.size() && count_ < kMax; ++i) {
            if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) starts_[count_++] = i;
        }
        // Characters beyond the layout's end are never read; the last start bounds the last field.
        end_ = count_ == kMax ? starts_[kMax - 1] : utf8.size();
        if (count_ == kMax) --count_;
    }

    // The field's characters (layout offsets are character positions from 0).
    std::string_view field(const FieldSpec& f) const {
        if (f.offset >= count_) return {};
        const std::size_t begin = starts_[f.offset];
        const std::size_t last = f.offset + f.length;
        const std::size_t end = last < count_ ? starts_[last] : end_;
        return text_.substr(begin, end - begin);
    }

    bool holds(const FieldSpec& f) const { return f.offset + f.length <= count_; }

  private:
    static constexpr std::size_t kMax = kDen1RunnerLength + 1;
    std::string_view text_;
    std::array<std::size_t, kMax> starts_{};
    std::size_t count_ = 0;
    std::size_t end_ = 0;
};

struct EntryFields {
    const FieldSpec& bracket = kDen1RunnerLayout.field("WakuNo");
    const FieldSpec& umacode = kDen1RunnerLayout.field("umacode");
    const FieldSpec& sex = kDen1RunnerLayout.field("seibetsu");
    const FieldSpec& blinker = kDen1RunnerLayout.field("blinker");
    const FieldSpec& weight = kDen1RunnerLayout.field("futan");
    const FieldSpec& jockey = kDen1RunnerLayout.field("CodeKisi");
    const FieldSpec& trainer = kDen1RunnerLayout.field("chocode");
};

const EntryFields& fields() {
    static const EntryFields f;
    return f;
}

}  // namespace

bool RunnerEntry::isRunner() const {
    return !isBlank(bracket) && bracket != "0";
}

RunnerEntry readRunnerEntry(std::string_view entry) {
    const EntryFields& f = fields();
    const EntryCharacters chars(entry);
    RunnerEntry e;
    e.bracket = chars.field(f.bracket);
    e.umacode = chars.field(f.umacode);
    e.sexCode = chars.field(f.sex);
    e.blinker = chars.field(f.blinker);
    e.weightText = chars.field(f.weight);
    e.jockeyCode = chars.field(f.jockey);
    e.trainerCode = chars.field(f.trainer);
    e.bracketNumber = numericValue(e.bracket);
    e.weight = numericValue(e.weightText);
    e.hasHorse = chars.holds(f.umacode) && !isBlank(e.umacode);
    return e;
}

}  // namespace zelvanor
