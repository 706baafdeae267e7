// The --notes phrase notation: notes, chords and rests in one line of text.
// The rules are printed by --help (kNoteNotationHelp), so they live here with
// the parser.
#pragma once

#include <string>

#include "tools/lumavox-render/Song.h"

namespace render {

extern const char* const kNoteNotationHelp;

// Throws RenderError naming origin (e.g. "--notes") and the offending token.
Song parseNotes(const std::string& text, double bpm, const std::string& origin);

// One note name of the notation ("A4", "F#3", "Bb-1") as its MIDI key;
// throws RenderError naming origin (e.g. "--key").
int parseNoteName(const std::string& text, const std::string& origin);

}  // namespace render
