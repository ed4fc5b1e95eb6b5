#include "core/records/layout.hpp"

#include <stdexcept>
#include <string>

namespace zelvanor {

const FieldSpec& RecordLayout::field(std::string_view name) const {
    for (const auto& f : fields) {
        if (f.name == name) return f;
    }
    throw std::out_of_range("no field " + std::string(name) + " in " + std::string(fileName));
}

FieldSpec RecordLayout::placedIn(const FieldSpec& group, std::string_view name) const {
    const FieldSpec& sub = field(name);
    return FieldSpec{sub.name, group.offset + sub.offset, sub.length};
}

}  // namespace zelvanor
