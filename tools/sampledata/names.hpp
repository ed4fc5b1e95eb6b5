#pragma once

#include <string>

#include "random.hpp"

// Japanese names built from small tables of syllables and name parts. Full-width text is
// UTF-8 that code page 932 holds in two bytes a character; readings are half-width katakana.
namespace zelvanor::sample {

struct PersonName {
    std::string family;      // kanji, 1 to 3 characters
    std::string given;       // kanji, 1 or 2 characters
    std::string familyKana;  // half-width katakana
    std::string givenKana;
};

// A horse name: full-width katakana, 3 to 9 characters.
std::string horseName(Random& random);

PersonName personName(Random& random);

// A birthplace: a town of the breeding districts, now and then a prefecture or a country.
std::string birthplace(Random& random);

// A breeder: a farm named after a family or in katakana.
std::string breederName(Random& random);

// An owner: a person, or a company in katakana.
std::string ownerName(Random& random);

// The name of a special race, without its grade; at most `maxChars` full-width characters.
std::string raceName(Random& random, int maxChars);

}  // namespace zelvanor::sample
