#include "core/records/text_check.hpp"

#include <string>
#include <vector>

#include "core/records/cp932.hpp"
#include "core/records/layout_umaj.hpp"
#include "core/records/layouts.hpp"

namespace zelvanor {

namespace {

struct CheckedField {
    FieldSpec bytes;
    std::string_view group;  // empty for a field of the record itself
};

// The group layout of a field its readers decode part by part (a race history entry is stored
// as its parts decoded one by one); nullptr for a field decoded whole, as a runner entry of the
// race card file is.
const RecordLayout* partsLayoutOf(const RecordLayout& layout, std::string_view field) {
    if (&layout == &kUmajLayout && field.starts_with("history")) return &kUmajHistoryLayout;
    return nullptr;
}

std::vector<CheckedField> checkedFields(const RecordLayout& layout) {
    std::vector<CheckedField> out;
    for (const FieldSpec& field : layout.fields) {
        const RecordLayout* parts = partsLayoutOf(layout, field.name);
        if (parts == nullptr) {
            out.push_back({field, {}});
            continue;
        }
        for (const FieldSpec& part : parts->fields) {
            out.push_back({parts->placedIn(field, part.name), field.name});
        }
    }
    return out;
}

}  // namespace

std::optional<UndecodableField> firstUndecodableField(const RecordFile& file,
                                                      const RecordLayout& layout) {
    const std::vector<CheckedField> fields = checkedFields(layout);
    for (std::size_t i = 1; i <= file.count(); ++i) {
        const std::string_view record = file.record(i);
        for (const CheckedField& f : fields) {
            if (f.bytes.offset >= record.size()) continue;
            if (decodesAsText(record.substr(f.bytes.offset, f.bytes.length))) continue;
            std::string name = f.group.empty()
                                   ? std::string(f.bytes.name)
                                   : std::string(f.group) + " の " + std::string(f.bytes.name);
            return UndecodableField{i, std::move(name)};
        }
    }
    return std::nullopt;
}

}  // namespace zelvanor
