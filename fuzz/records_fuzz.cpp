// Every record layout's reader: the first byte picks the layout, the rest is the record file.
// Every field of every record is decoded the way the importers read them (whole fields, the
// placing counts, race histories, runner entries), read as numbers, addressed by character,
// and written back.

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.hpp"
#include "core/records/cp932.hpp"
#include "core/records/layout_den1.hpp"
#include "core/records/layout_sei1.hpp"
#include "core/records/layout_umaj.hpp"
#include "core/records/layouts.hpp"
#include "core/records/numeric.hpp"
#include "core/records/people_layout.hpp"
#include "core/records/record_file.hpp"
#include "core/records/text_check.hpp"
#include "core/records/utf8.hpp"

using zelvanor::FieldSpec;
using zelvanor::fuzz::require;

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

std::string readField(std::string_view record, const FieldSpec& field) {
    std::string text = zelvanor::decodeField(record, field);
    std::string appended = "x";
    zelvanor::appendField(appended, record, field);
    require(appended == "x" + text, "appendField decodes as decodeField");
    require(zelvanor::charCount(text) <= field.length, "a field holds at most a character a byte");
    require(zelvanor::numericValue(text) >= 0, "a field's numeric value is not negative");
    const std::string_view head = zelvanor::charactersAt(text, 1, 8);
    require(text.starts_with(head), "the first characters are the text's start");
    return text;
}

// Every whole field of the layout, read and written back into a copy of the record: a field
// that decodes cleanly must encode into its place again and read the same. The parts of the
// people files' groups overlap their groups, and a character with two codes (the NEC-selected
// and the IBM extensions) is written back under one of them, which can split a neighbour's
// character; so parts are left out.
void writeBack(std::string_view record, const zelvanor::RecordLayout& layout) {
    std::string copy(record);
    std::vector<std::string> texts;
    for (const FieldSpec& field : layout.fields) {
        texts.push_back(zelvanor::decodeField(record, field));
        if (!zelvanor::isWholeField(field) || field.offset + field.length > record.size() ||
            texts.back().find(kReplacement) != std::string::npos) {
            texts.back().clear();
            continue;
        }
        try {
            zelvanor::writeField(copy, field, texts.back());
        } catch (const std::exception&) {
            require(false, "a decoded field writes back into its place");
        }
    }
    for (std::size_t i = 0; i < layout.fields.size(); ++i) {
        if (texts[i].empty()) continue;
        if (zelvanor::decodeField(copy, layout.fields[i]) != texts[i]) {
            std::fprintf(stderr, "field %.*s\n", static_cast<int>(layout.fields[i].name.size()),
                         layout.fields[i].name.data());
        }
        require(zelvanor::decodeField(copy, layout.fields[i]) == texts[i],
                "a field written back reads the same");
    }
}

void readUmaj(std::string_view record) {
    using namespace zelvanor;
    for (int category = 1; category <= kUmajCategories; ++category) {
        for (int count = 1; count <= kUmajCountsPerCategory; ++count) {
            readField(record, umajPlacingField(category, count));
        }
    }
    for (int entry = 1; entry <= kUmajHistoryEntries; ++entry) {
        readField(record, umajHistoryEntryField(entry));
        for (const FieldSpec& sub : kUmajHistoryLayout.fields) {
            readField(record, umajHistoryField(entry, sub.name));
        }
    }
    const FieldSpec& further = kUmajLayout.field("furtherEntries");
    for (int entry = 0; entry < kUmajFurtherEntries; ++entry) {
        const FieldSpec group{further.name,
                              further.offset + entry * kUmajFurtherEntryLayout.recordLength,
                              kUmajFurtherEntryLayout.recordLength};
        for (const FieldSpec& sub : kUmajFurtherEntryLayout.fields) {
            readField(record, kUmajFurtherEntryLayout.placedIn(group, sub.name));
        }
    }
}

void readDen1(std::string_view record) {
    using namespace zelvanor;
    for (int slot = 1; slot <= kDen1RunnerSlots; ++slot) {
        const std::string entry = decodeField(record, den1RunnerField(slot));
        // The race card takes an entry apart by character position.
        const std::string horse(charactersAt(entry, 2, 8));
        require(horse.size() <= entry.size(), "a runner's horse code lies within its entry");
        for (const FieldSpec& sub : kDen1RunnerLayout.fields) {
            readField(record, den1RunnerSubField(slot, sub.name));
        }
    }
}

void readSei1(std::string_view record) {
    using namespace zelvanor;
    for (int slot = 1; slot <= kSei1RunnerSlots; ++slot) {
        readField(record, sei1RunnerField(slot));
        for (const FieldSpec& sub : kSei1RunnerLayout.fields) {
            readField(record, sei1RunnerSubField(slot, sub.name));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const zelvanor::RecordLayout* const layouts[] = {
        &zelvanor::kUmajLayout, &zelvanor::kDen1Layout, &zelvanor::kSei1Layout,
        &zelvanor::kKisiLayout, &zelvanor::kChokLayout};
    const std::size_t which = data[0] % std::size(layouts);
    const zelvanor::RecordLayout& layout = *layouts[which];
    const std::string_view contents(reinterpret_cast<const char*>(data) + 1, size - 1);

    const auto path = zelvanor::fuzz::scratch().path() / layout.fileName;
    zelvanor::fuzz::writeFile(path, contents);
    const zelvanor::RecordFile file(path, layout.recordLength);
    require(file.count() == contents.size() / layout.recordLength, "every whole record counts");

    for (std::size_t number = 1; number <= file.count(); ++number) {
        const std::string_view record = file.record(number);
        require(record.size() == layout.recordLength, "a record has the layout's length");
        require(record == contents.substr((number - 1) * layout.recordLength, layout.recordLength),
                "records are the file's bytes in order");
        for (const FieldSpec& field : layout.fields) readField(record, field);
        writeBack(record, layout);
        switch (which) {
            case 0:
                readUmaj(record);
                break;
            case 1:
                readDen1(record);
                break;
            case 2:
                readSei1(record);
                break;
            default:
                break;  // the people layouts list their groups' parts as fields
        }
    }
    // The importers refuse a file the check finds fault with, and store the rest: a file it
    // passes must decode without a replacement character in any whole field, and the field it
    // names must hold one.
    const auto undecodable = zelvanor::firstUndecodableField(file, layout);
    for (std::size_t number = 1; number <= file.count(); ++number) {
        for (const FieldSpec& field : layout.fields) {
            if (!zelvanor::isWholeField(field)) continue;
            const bool replaced = zelvanor::decodeField(file.record(number), field).find(
                                      kReplacement) != std::string::npos;
            if (!undecodable) {
                require(!replaced, "a file the check passes decodes to text throughout");
            } else if (number == undecodable->record && field.name == undecodable->field) {
                require(replaced, "the field the check names does not decode to text");
            }
        }
    }
    require(!undecodable || undecodable->record <= file.count(),
            "the check names a record of the file");
    for (const std::size_t outside : {std::size_t{0}, file.count() + 1}) {
        bool refused = false;
        try {
            (void)file.record(outside);
        } catch (const std::out_of_range&) {
            refused = true;
        }
        require(refused, "a record number outside the file is refused");
    }
    // A record cut short (the file's tail) still decodes what is there.
    const std::string_view tail = contents.substr(file.count() * layout.recordLength);
    for (const FieldSpec& field : layout.fields) {
        const std::string text = zelvanor::decodeField(tail, field);
        require(field.offset < tail.size() || text.empty(), "a field past the end is empty");
        readField(tail, field);
    }
    return 0;
}
