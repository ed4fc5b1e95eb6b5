#include "core/records/cp932.hpp"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace zelvanor {

namespace {

// glibc's "CP932" table, not "SHIFT_JIS": the record files use the NEC and IBM extensions
// (circled digits, Roman numerals) and the Windows mapping of 0x8160 to U+FF5E.
constexpr const char* kCp932 = "CP932";
constexpr const char* kUtf8 = "UTF-8";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// One descriptor per direction and thread: decoding runs for every field of files with tens of
// thousands of records, and iconv_open is far too slow to call each time.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv_open ") + from + " -> " + to + ": " +
                                     std::strerror(errno));
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    iconv_t get() const { return cd_; }

  private:
    iconv_t cd_;
};

iconv_t decoder() {
    thread_local Converter converter(kUtf8, kCp932);
    return converter.get();
}

iconv_t encoder() {
    thread_local Converter converter(kCp932, kUtf8);
    return converter.get();
}

bool isAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

// Output buffer for iconv that grows on demand and keeps the write position across growth.
class OutBuffer {
  public:
    explicit OutBuffer(std::size_t capacity) : data_(capacity == 0 ? 16 : capacity, '\0') {
        pos_ = data_.data();
        left_ = data_.size();
    }

    char** pos() { return &pos_; }
    std::size_t* left() { return &left_; }

    void reserve(std::size_t bytes) {
        if (left_ >= bytes) return;
        const std::size_t used = data_.size() - left_;
        data_.resize(std::max(data_.size() * 2, used + bytes));
        pos_ = data_.data() + used;
        left_ = data_.size() - used;
    }

    void append(std::string_view bytes) {
        reserve(bytes.size());
        std::memcpy(pos_, bytes.data(), bytes.size());
        pos_ += bytes.size();
        left_ -= bytes.size();
    }

    std::string take() {
        data_.resize(data_.size() - left_);
        return std::move(data_);
    }

  private:
    std::string data_;
    char* pos_;
    std::size_t left_;
};

constexpr std::size_t kFailed = static_cast<std::size_t>(-1);

}  // namespace

std::string decodeCp932WithIconv(std::string_view bytes) {
    iconv_t cd = decoder();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    // No byte of code page 932 yields more than three bytes of UTF-8, U+FFFD included.
    OutBuffer out(bytes.size() * 3);
    char* in = const_cast<char*>(bytes.data());  // iconv never writes through it
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, out.pos(), out.left()) != kFailed) break;
        if (errno == EILSEQ || errno == EINVAL) {
            // Skip only the offending byte: its neighbour may be the start of a valid character.
            out.append(kReplacement);
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        } else if (errno == E2BIG) {
            out.reserve(inLeft * 3 + 3);
        } else {
            throw std::runtime_error(std::string("CP932 decoding: ") + std::strerror(errno));
        }
    }
    return out.take();
}

namespace {

// Code page 932 is stateless: a byte, or a lead byte and its trail byte, always decode alike.
// So the table is made once from iconv itself, which keeps its mapping exactly, and decoding a
// field is a look-up per character instead of a call into iconv.
class DecodeTable {
  public:
    DecodeTable() {
        for (int b = 0x80; b < 0x100; ++b) {
            const char one[] = {static_cast<char>(b)};
            const std::string alone = decodeOne(std::string_view(one, 1));
            // A lead byte on its own is cut off, which iconv reports like an invalid byte; it is
            // a lead byte when some trail byte completes it.
            single_[b] = Entry::from(alone);
            for (int t = 0; t < 0x100; ++t) {
                const char two[] = {static_cast<char>(b), static_cast<char>(t)};
                const std::string both = decodeOne(std::string_view(two, 2));
                if (both.empty()) continue;
                pair_[index(b, t)] = Entry::from(both);
                lead_[b] = true;
            }
        }
    }

    void decode(std::string_view bytes, std::string& out) const {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        const std::size_t n = bytes.size();
        for (std::size_t i = 0; i < n;) {
            const unsigned char b = p[i];
            if (b < 0x80) {
                out += static_cast<char>(b);
                ++i;
                continue;
            }
            if (lead_[b] && i + 1 < n) {
                const Entry& e = pair_[index(b, p[i + 1])];
                if (e.length) {
                    out.append(e.utf8, e.length);
                    i += 2;
                    continue;
                }
            }
            const Entry& e = single_[b];
            if (e.length && !lead_[b]) {
                out.append(e.utf8, e.length);
            } else {
                out += kReplacement;
            }
            ++i;
        }
    }

    // Whether decode would make a character of every byte, no U+FFFD.
    bool decodesWhole(std::string_view bytes) const {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        const std::size_t n = bytes.size();
        for (std::size_t i = 0; i < n;) {
            const unsigned char b = p[i];
            if (b < 0x80) {
                ++i;
            } else if (lead_[b]) {
                if (i + 1 >= n || pair_[index(b, p[i + 1])].length == 0) return false;
                i += 2;
            } else if (single_[b].length != 0) {
                ++i;
            } else {
                return false;
            }
        }
        return true;
    }

  private:
    struct Entry {
        char utf8[4] = {};
        std::uint8_t length = 0;  // 0: no character
        static Entry from(const std::string& utf8) {
            Entry e;
            if (utf8.empty() || utf8.size() > sizeof e.utf8) return e;
            std::memcpy(e.utf8, utf8.data(), utf8.size());
            e.length = static_cast<std::uint8_t>(utf8.size());
            return e;
        }
    };

    static std::size_t index(int lead, int trail) {
        return static_cast<std::size_t>(lead - 0x80) * 256 + static_cast<std::size_t>(trail);
    }

    // The one character iconv makes of exactly these bytes; empty when they are not one valid
    // character.
    static std::string decodeOne(std::string_view bytes) {
        iconv_t cd = decoder();
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char buffer[16];
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        if (iconv(cd, &in, &inLeft, &out, &outLeft) == kFailed || inLeft != 0) return {};
        const std::string utf8(buffer, static_cast<std::size_t>(out - buffer));
        // One character only: a pair that iconv reads as two single bytes is not a pair.
        return charCount(utf8) == 1 ? utf8 : std::string{};
    }

    std::array<Entry, 256> single_{};
    std::array<bool, 256> lead_{};
    std::vector<Entry> pair_ = std::vector<Entry>(128 * 256);
};

const DecodeTable& decodeTable() {
    static const DecodeTable table;
    return table;
}

}  // namespace

std::string decodeCp932(std::string_view bytes) {
    std::string out;
    appendCp932(out, bytes);
    return out;
}

void appendCp932(std::string& out, std::string_view bytes) {
    if (isAscii(bytes)) {
        out.append(bytes);
    } else {
        decodeTable().decode(bytes, out);
    }
}

bool decodesAsText(std::string_view bytes) {
    return isAscii(bytes) || decodeTable().decodesWhole(bytes);
}

std::string encodeCp932(std::string_view utf8) {
    if (isAscii(utf8)) return std::string(utf8);

    iconv_t cd = encoder();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    OutBuffer out(utf8.size());
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, out.pos(), out.left()) != kFailed) break;
        if (errno == E2BIG) {
            out.reserve(inLeft * 2 + 2);
        } else {
            const std::size_t at = utf8.size() - inLeft;
            throw std::invalid_argument("cannot encode to CP932 at byte " + std::to_string(at) +
                                        " of \"" + std::string(utf8) + "\"");
        }
    }
    return out.take();
}

std::size_t charCount(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    }
    return count;
}

std::string decodeField(std::string_view record, const FieldSpec& field) {
    std::string out;
    appendField(out, record, field);
    return out;
}

void appendField(std::string& out, std::string_view record, const FieldSpec& field) {
    if (field.offset >= record.size()) return;
    appendCp932(out, record.substr(field.offset, field.length));
}

namespace {

void checkFieldFits(const std::string& record, const FieldSpec& field) {
    if (field.offset > record.size() || field.length > record.size() - field.offset) {
        throw std::out_of_range("field " + std::string(field.name) + " lies beyond a record of " +
                                std::to_string(record.size()) + " bytes");
    }
}

}  // namespace

void writeField(std::string& record, const FieldSpec& field, std::string_view utf8, char pad) {
    checkFieldFits(record, field);
    const std::string bytes = encodeCp932(utf8);
    if (bytes.size() > field.length) {
        throw std::invalid_argument(
            "\"" + std::string(utf8) + "\" needs " + std::to_string(bytes.size()) +
            " bytes, field " + std::string(field.name) + " has " + std::to_string(field.length));
    }
    record.replace(field.offset, bytes.size(), bytes);
    std::fill_n(record.begin() + static_cast<std::ptrdiff_t>(field.offset + bytes.size()),
                field.length - bytes.size(), pad);
}

void writeNumber(std::string& record, const FieldSpec& field, std::int64_t value) {
    checkFieldFits(record, field);
    if (value < 0) {
        throw std::invalid_argument("field " + std::string(field.name) +
                                    " cannot hold the negative number " + std::to_string(value));
    }
    const std::string digits = std::to_string(value);
    if (digits.size() > field.length) {
        throw std::invalid_argument(digits + " does not fit in the " +
                                    std::to_string(field.length) + " digits of field " +
                                    std::string(field.name));
    }
    const std::size_t zeros = field.length - digits.size();
    std::fill_n(record.begin() + static_cast<std::ptrdiff_t>(field.offset), zeros, '0');
    record.replace(field.offset + zeros, digits.size(), digits);
}

}  // namespace zelvanor
