// The editor's Load and Save: ask for a file with the system's chooser, then
// move the current program's picture in from an image file or out to a BMP
// file. A file whose content is a WAV recording is analysed into the picture
// instead (for A4 with the program's current values), so that A4 plays it
// back. A file that cannot be read changes nothing of the picture, and says
// so; after Load the top bits of every pixel are cleared and the wave
// tables rebuilt, whatever happened.
//
// Threads: the editor's (the choosers are modal).
#pragma once

#include "instrument/Lumavox.h"

namespace editor {

void loadPicture(lumavox::Lumavox& instrument);
void savePicture(audio::MoSpectrogram& spectrogram);

}  // namespace editor
