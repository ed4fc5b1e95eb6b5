#pragma once

#include <cstddef>
#include <functional>

namespace zelvanor {

// Receives the progress of a long operation, 0 to 100 (each import moves it over its own part of
// that range). May be empty.
using ProgressFn = std::function<void(int percent)>;

inline void report(const ProgressFn& progress, int percent) {
    if (progress) progress(percent);
}

// Reports progress only when the whole percentage changes: the callback usually repaints.
class ProgressSteps {
  public:
    explicit ProgressSteps(const ProgressFn& progress) : progress_(progress) {}
    void show(int percent) {
        if (percent == shown_) return;
        shown_ = percent;
        report(progress_, percent);
    }
    // `done` of `all` steps of a part of the run that goes from `from` over `span` percent.
    void show(std::size_t done, std::size_t all, int from, int span) {
        show(from + static_cast<int>(static_cast<std::size_t>(span) * done / all));
    }

  private:
    const ProgressFn& progress_;
    int shown_ = -1;
};

}  // namespace zelvanor
