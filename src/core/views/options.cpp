#include "core/views/options.hpp"

#include <utility>

namespace zelvanor {

OptionsValues withDefaultWeights(OptionsValues shown) {
    shown.sliders = kDefaultWeights;
    return shown;
}

}  // namespace zelvanor
