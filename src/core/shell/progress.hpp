#pragma once

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

  private:
    const ProgressFn& progress_;
    int shown_ = -1;
};

}  // namespace zelvanor
