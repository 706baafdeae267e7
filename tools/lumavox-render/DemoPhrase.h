#pragma once

namespace render {

// What plays when no --midi or --notes is given: A minor, C, F, G and back to
// A minor (six seconds at 120 BPM). Every chord lasts a second or more,
// because a note walks through its program's picture from the left, and the
// factory pictures need that long to unfold.
inline constexpr const char* kDemoPhrase =
    "A2+A3+E4+A4:h@92 C3+C4+G4+C5@88 | F2+F3+C4+A4@90 G2+G3+D4+B4@94 | A2+A3+E4+C5:w@100";

}  // namespace render
