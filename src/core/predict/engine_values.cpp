#include "core/predict/engine_values.hpp"

#include <algorithm>
#include <cstring>

#include "core/records/format.hpp"
#include "core/records/numeric.hpp"

namespace zelvanor {

namespace {

// The multiplier of a stored weight that is exactly one of 0 … 3, else 0.
float lookUp(double weight, const std::array<float, 4>& byWeight) {
    for (std::size_t i = 0; i < byWeight.size(); ++i) {
        if (weight == static_cast<double>(i)) return byWeight[i];
    }
    return 0.0f;
}

}  // namespace

float weightMultiplier(double weight) {
    return lookUp(weight, {1.0f, 1.2f, 1.4f, 1.6f});
}

float growthMultiplier(double weight) {
    return lookUp(weight, {0.0f, 0.5f, 1.0f, 1.2f});
}

Multipliers multipliersFrom(const std::optional<ConstantsRow>& row) {
    if (!row) return Multipliers{};
    const auto& w = row->weights;  // kWeightColumns order
    return Multipliers{
        .direction = weightMultiplier(w[0]),
        .surface = weightMultiplier(w[1]),
        .distance = weightMultiplier(w[2]),
        .going = weightMultiplier(w[3]),
        .growth = growthMultiplier(w[4]),
        .jockey = weightMultiplier(w[5]),
        .trainer = weightMultiplier(w[6]),
    };
}

double storedSingle(double value, std::string_view pattern) {
    return static_cast<double>(static_cast<float>(formattedValue(value, pattern)));
}

std::int64_t valueAt(std::string_view utf8, std::size_t first, std::size_t count) {
    return numericValue(charactersAt(utf8, first, count));
}

std::unique_ptr<CharacterText[]> characterTexts(std::span<const std::string> texts) {
    auto out = std::make_unique<CharacterText[]>(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) out[i].index(texts[i]);
    return out;
}

void CharacterText::index(std::string_view utf8) {
    text_ = utf8;
    std::uint32_t* out = inPlace_.data();
    if (utf8.size() + 1 > kInPlace) {
        more_.resize(utf8.size() + 1);
        out = more_.data();
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t size = utf8.size();
    std::size_t n = 0;
    std::size_t i = 0;
    // Eight ASCII bytes at a time are eight characters: the digits of a history mostly are.
    while (i + 8 <= size) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, sizeof word);
        if ((word & 0x8080808080808080ULL) != 0) {
            for (const std::size_t end = i + 8; i < end; ++i) {
                // Written for every byte, kept only where a character starts.
                out[n] = static_cast<std::uint32_t>(i);
                n += (bytes[i] & 0xC0) != 0x80;
            }
            continue;
        }
        for (std::size_t k = 0; k < 8; ++k) out[n + k] = static_cast<std::uint32_t>(i + k);
        n += 8;
        i += 8;
    }
    for (; i < size; ++i) {
        out[n] = static_cast<std::uint32_t>(i);
        n += (bytes[i] & 0xC0) != 0x80;
    }
    out[n++] = static_cast<std::uint32_t>(utf8.size());
    starts_ = out;
    count_ = n;
}

std::string_view CharacterText::at(std::size_t first, std::size_t count) const {
    const std::size_t characters = count_ - 1;
    if (first == 0 || count == 0 || first > characters) return {};
    const std::size_t last = std::min(first - 1 + count, characters);
    return text_.substr(starts_[first - 1], starts_[last] - starts_[first - 1]);
}

std::int64_t CharacterText::valueAt(std::size_t first, std::size_t count) const {
    return numericValue(at(first, count));
}

}  // namespace zelvanor
