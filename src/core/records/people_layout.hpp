#pragma once

// The jockey and trainer files are built from the same kinds of pieces: plain fields, groups of
// placing counts and 65-byte graded-race wins. Their layouts are written as tables of such
// pieces, each at the offset the file description gives, and expanded at compile time into the
// fields of a RecordLayout. A stated offset that disagrees with the lengths before it stops the
// build, so the tables cannot drift from the files.
//
// Field names in the expanded layouts:
//   a plain field                 its name ("KISCODE", "mkdate");
//   a group of counts             the whole group under its name ("HONNEN", read as one joined
//                                 text), and count k of it as name + "." + k ("HTOK.3");
//   graded-race win e of a block  the whole entry as name + e ("KACHIKU2") and its parts as
//                                 name + e + "." + part ("KACHIKU2.hondai"; parts below).
// A name without a '.' is a whole field; those, in layout order, are the file's columns.

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

#include "core/records/layout.hpp"

namespace zelvanor {

// The parts of a graded-race win, in record order, with their lengths in bytes.
inline constexpr std::array<FieldSpec, 8> kGradedWinParts = {{
    {"basho", 0, 2},    // racecourse code; two blanks for an empty entry
    {"year", 2, 2},     // yy
    {"kaiji", 4, 1},    // meeting number
    {"hiji", 5, 1},     // day of the meeting
    {"bango", 6, 2},    // race number
    {"hondai", 8, 20},  // race name, 10 double-byte characters
    {"bamei", 28, 36},  // horse name, 18 double-byte characters
    {"grade", 64, 1},   // grade code
}};
inline constexpr std::size_t kGradedWinLength = 65;

// True for a field that is a whole column of the file, false for a part of a group or win.
constexpr bool isWholeField(const FieldSpec& field) {
    return field.name.find('.') == std::string_view::npos;
}

namespace people_layout {

enum class Kind { Field, Counts, Wins };

struct Block {
    std::size_t offset;  // as the file description states it
    std::string_view name;
    std::size_t count;  // Field: 1; Counts: counts in the group; Wins: entries
    std::size_t width;  // bytes of the field, of one count, or of one win
    Kind kind;
};

constexpr Block field(std::size_t offset, std::string_view name, std::size_t length) {
    return {offset, name, 1, length, Kind::Field};
}
constexpr Block counts(std::size_t offset, std::string_view name, std::size_t n,
                       std::size_t width) {
    return {offset, name, n, width, Kind::Counts};
}
constexpr Block wins(std::size_t offset, std::string_view name, std::size_t n) {
    return {offset, name, n, kGradedWinLength, Kind::Wins};
}

struct Name {
    char text[48]{};
    std::size_t size = 0;
    constexpr Name& add(std::string_view s) {
        for (char c : s) text[size++] = c;
        return *this;
    }
    constexpr Name& add(std::size_t digit) {
        text[size++] = static_cast<char>('0' + digit);
        return *this;
    }
    constexpr std::string_view view() const { return {text, size}; }
};

// Calls fn(name, offset, length) for every field in layout order and returns the offset after
// the last block.
template <class Fn>
constexpr std::size_t forEachField(std::span<const Block> blocks, Fn&& fn) {
    std::size_t at = 0;
    for (const Block& b : blocks) {
        if (b.offset != at) throw "a stated offset disagrees with the lengths before it";
        if (b.count < 1 || b.count > 9) throw "a group holds 1 to 9 fields";
        switch (b.kind) {
            case Kind::Field:
                fn(Name{}.add(b.name), at, b.width);
                break;
            case Kind::Counts:
                fn(Name{}.add(b.name), at, b.count * b.width);
                for (std::size_t k = 1; k <= b.count; ++k) {
                    fn(Name{}.add(b.name).add(".").add(k), at + (k - 1) * b.width, b.width);
                }
                break;
            case Kind::Wins:
                for (std::size_t e = 1; e <= b.count; ++e) {
                    const std::size_t start = at + (e - 1) * b.width;
                    fn(Name{}.add(b.name).add(e), start, b.width);
                    for (const FieldSpec& p : kGradedWinParts) {
                        fn(Name{}.add(b.name).add(e).add(".").add(p.name), start + p.offset,
                           p.length);
                    }
                }
                break;
        }
        at += b.count * b.width;
    }
    return at;
}

struct Sizes {
    std::size_t fields = 0;
    std::size_t chars = 0;
    std::size_t end = 0;  // offset after the last field: where the line end starts
};

constexpr Sizes measure(std::span<const Block> blocks) {
    Sizes s;
    s.end = forEachField(blocks, [&](const Name& n, std::size_t, std::size_t) {
        ++s.fields;
        s.chars += n.size;
    });
    return s;
}

template <std::size_t Chars>
constexpr std::array<char, Chars> names(std::span<const Block> blocks) {
    std::array<char, Chars> out{};
    std::size_t at = 0;
    forEachField(blocks, [&](const Name& n, std::size_t, std::size_t) {
        for (char c : n.view()) out[at++] = c;
    });
    return out;
}

// `text` must be the static array names() produced for the same blocks: the fields' names are
// views into it.
template <std::size_t N, std::size_t Chars>
constexpr std::array<FieldSpec, N> fields(std::span<const Block> blocks,
                                          const std::array<char, Chars>& text) {
    std::array<FieldSpec, N> out{};
    std::size_t i = 0;
    std::size_t at = 0;
    forEachField(blocks, [&](const Name& n, std::size_t offset, std::size_t length) {
        out[i++] = FieldSpec{std::string_view(text.data() + at, n.size), offset, length};
        at += n.size;
    });
    return out;
}

}  // namespace people_layout
}  // namespace zelvanor
