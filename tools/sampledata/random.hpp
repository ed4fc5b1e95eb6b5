#pragma once

#include <cstdint>
#include <random>
#include <span>
#include <vector>

namespace zelvanor::sample {

// Random numbers that are the same for a seed on every platform: std::mt19937's output is fixed
// by the standard, but the std distributions are not, so the mapping onto ranges is done here.
class Random {
  public:
    explicit Random(std::uint32_t seed) : engine_(seed) {}

    // A generator for one part of the data, so that changing how one part is made does not
    // shift the numbers of the others.
    Random split(std::uint32_t salt) { return Random(engine_() ^ (salt * 0x9E3779B9u)); }

    // 0 … n-1 for n > 0 (0 for n <= 0).
    int below(int n) {
        if (n <= 0) return 0;
        return static_cast<int>(
            (static_cast<std::uint64_t>(engine_()) * static_cast<unsigned>(n)) >> 32);
    }

    // lo … hi, both included.
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }

    bool chance(int percent) { return below(100) < percent; }

    // [0, 1)
    double unit() { return engine_() / 4294967296.0; }

    // Roughly normal around 0 with a spread of about `width` on either side, never beyond
    // 1.5 × width: the mean of three uniform numbers, cheap and good enough for sample data.
    double bell(double width) { return (unit() + unit() + unit() - 1.5) * width; }

    template <class T>
    const T& pick(std::span<const T> items) {
        return items[static_cast<std::size_t>(below(static_cast<int>(items.size())))];
    }
    template <class T>
    const T& pick(const std::vector<T>& items) {
        return pick(std::span<const T>(items));
    }

    // An index into `weights`, each chosen in proportion to its weight.
    int weighted(std::span<const int> weights) {
        int total = 0;
        for (int w : weights) total += w;
        int roll = below(total);
        for (std::size_t i = 0; i < weights.size(); ++i) {
            if (roll < weights[i]) return static_cast<int>(i);
            roll -= weights[i];
        }
        return static_cast<int>(weights.size()) - 1;
    }

    template <class T>
    void shuffle(std::vector<T>& items) {
        for (std::size_t i = items.size(); i > 1; --i) {
            std::swap(items[i - 1], items[static_cast<std::size_t>(below(static_cast<int>(i)))]);
        }
    }

  private:
    std::mt19937 engine_;
};

}  // namespace zelvanor::sample
