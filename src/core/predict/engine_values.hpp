#pragma once

// Plain values shared by the stages of the prediction engine: the race as the engine sees it, the
// seven multipliers of the third persona, how a fractional output is stored, and access to the
// fixed character positions of the runner entries and race history texts.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/records/utf8.hpp"
#include "core/tables/constants_table.hpp"

namespace zelvanor {

// The values of today's race that the stages use.
struct RaceValues {
    std::string course{};       // basho, "01" … "10"
    std::string track{};        // track code, two characters
    int runners = 0;            // tousuu; never 0 here, the driver skips such a race
    std::int64_t distance = 0;  // kyori, metres
};

// The third persona's multipliers, single precision as they are stored; the arithmetic that uses
// them sees exactly these float values.
struct Multipliers {
    float direction = 1.2f;
    float surface = 1.2f;
    float distance = 1.2f;
    float going = 1.2f;
    float growth = 1.2f;
    float jockey = 1.2f;
    float trainer = 1.2f;
};

// 0, 1, 2, 3 → 1.0, 1.2, 1.4, 1.6; any other stored value → 0.
float weightMultiplier(double weight);
// 0, 1, 2, 3 → 0, 0.5, 1.0, 1.2; any other stored value → 0.
float growthMultiplier(double weight);
// From the constants row (weights in kWeightColumns order); all 1.2 when there is no row.
Multipliers multipliersFrom(const std::optional<ConstantsRow>& row);

// A fractional output as it is kept: formatted to one decimal with `pattern` (halves away from
// zero), then single precision. Later steps compute with this value, not the unrounded one.
double storedSingle(double value, std::string_view pattern);

// The numeric value (leading digits; blank reads 0) of those characters.
std::int64_t valueAt(std::string_view utf8, std::size_t first, std::size_t count);

// A text read at many character positions: where its characters start is found once. It views the
// text, which must outlive it.
class CharacterText {
  public:
    CharacterText() { index({}); }
    explicit CharacterText(std::string_view utf8) { index(utf8); }
    // Indexes another text instead.
    void index(std::string_view utf8);
    // It points into itself.
    CharacterText(const CharacterText&) = delete;
    CharacterText& operator=(const CharacterText&) = delete;
    // As charactersAt and valueAt.
    std::string_view at(std::size_t first, std::size_t count) const;
    std::int64_t valueAt(std::size_t first, std::size_t count) const;

  private:
    std::string_view text_;
    // Byte offset of each character, then the text's size. A race history entry has some 110
    // characters: they fit in place, without an allocation per entry read.
    static constexpr std::size_t kInPlace = 192;
    std::array<std::uint32_t, kInPlace> inPlace_{};
    std::vector<std::uint32_t> more_;
    const std::uint32_t* starts_ = nullptr;
    std::size_t count_ = 0;  // entries in starts_
};

// Texts indexed for reading at character positions, one per string.
std::unique_ptr<CharacterText[]> characterTexts(std::span<const std::string> texts);

}  // namespace zelvanor
