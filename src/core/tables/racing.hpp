#pragma once

// The shape of a race day: how many races a meeting holds, how many places a race has, how many
// courses there are. Every table, view and the engine count with these.

namespace zelvanor {

// Races 1 to 12 make a meeting.
inline constexpr int kRacesPerMeeting = 12;
// A race has 18 places (uma1 … uma18, horse numbers 1 to 18).
inline constexpr int kPlacesPerRace = 18;
// Course codes 01 to 10.
inline constexpr int kCourseCount = 10;

}  // namespace zelvanor
