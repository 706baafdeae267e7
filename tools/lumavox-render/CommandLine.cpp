#include "tools/lumavox-render/CommandLine.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>

#include "tools/lumavox-render/NoteNotation.h"
#include "tools/lumavox-render/PictureFile.h"
#include "tools/lumavox-render/RenderError.h"

namespace render {
namespace {

std::string trimmed(double v) {
    std::string text = std::to_string(v);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    return text;
}

double ranged(const std::string& option, const std::string& text, double low, double high) {
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end || errno == ERANGE || !std::isfinite(value))
        throw RenderError(option + ": '" + text + "' is not a number");
    if (value < low || value > high)
        throw RenderError(option + ": " + text + " is outside " + trimmed(low) + " to " +
                          trimmed(high));
    return value;
}

int whole(const std::string& option, const std::string& text, int low, int high) {
    const double value = ranged(option, text, low, high);
    if (value != std::floor(value))
        throw RenderError(option + ": '" + text + "' is not a whole number");
    return static_cast<int>(value);
}

}  // namespace

std::string usageText() {
    return std::string(
               "Usage: lumavox-render [options]\n"
               "Renders MIDI through the Lumavox plug-in (or another VST 2.4 instrument) to an\n"
               "audio file, loading the plug-in as a host does. Without --midi or --notes it\n"
               "plays a short demo phrase.\n"
               "\n"
               "Input:\n"
               "  --midi FILE          a Standard MIDI File (format 0 or 1)\n"
               "  --notes TEXT         a phrase in the notation below\n"
               "  --tempo BPM          tempo of --notes and the demo, and of a MIDI file until\n"
               "                       its first tempo event (default 120)\n"
               "Output (at least one of these, unless --list):\n"
               "  -o, --output FILE    audio file: .wav, .flac or .ogg (Windows: .wav only)\n"
               "  --spectrogram FILE   a PNG picture of the rendered sound: time in seconds,\n"
               "                       frequency in Hz on a log scale with labelled octave\n"
               "                       lines, level in dB\n"
               "  --spectrogram-linear the same with a linear frequency scale\n"
               "  --save-preset FILE   the current program as .fxp, after the render (if any)\n"
               "  --save-bank FILE     all programs as .fxb, after the render (if any)\n"
               "  --save-picture FILE  the current program's picture as .png or .bmp, after\n"
               "                       all options (512 x 512, for --picture or an editor)\n"
               "Plug-in state, applied in this order:\n"
               "  --plugin PATH        the plug-in binary (default: Lumavox beside this tool)\n"
               "  --bank FILE          load an .fxb bank\n"
               "  --program N          choose program N (0 to 3 for Lumavox)\n"
               "  --preset FILE        load an .fxp program into the chosen program\n"
               "  --picture FILE       replace the program's picture by a 512 x 512 image,\n"
               "                       pixel for pixel (bmp, png, jpg, gif)\n"
               "  --image FILE         the same for an image of any size, scaled as the\n"
               "                       editor's Load does (to 512 x 256, then 512 x 512)\n"
               "  --param NAME=VALUE   set a parameter, VALUE from 0 to 1 (repeatable; names\n"
               "                       in any letter case, as --list shows them)\n"
               "  --analyse FILE       make the program's picture from a recording (.wav;\n"
               "                       .flac and .ogg on Linux), so that the key below\n"
               "                       played with the program's values sounds like it;\n"
               "                       after --param, instead of --picture or --image\n"
               "  --key NOTE           the key the analysed picture is for (default A4)\n"
               "  --fit                first set Tempo so that the whole recording runs from\n"
               "                       Start to LoopOut (Tempo 0.01 holds 102.4 s at most)\n"
               "  --list               print every program's name and values, then stop\n"
               "                       (with --program N: that program only)\n"
               "Rendering:\n"
               "  --sample-rate HZ     8000 to 384000 (default 44100)\n"
               "  --block-size N       frames per block, 1 to 8192 (default 512)\n"
               "  --bits 16|24|32      16- or 24-bit PCM, or 32-bit float (the default; FLAC\n"
               "                       then gets 24 bits; Ogg Vorbis ignores it). 16 and 24\n"
               "                       bits are dithered (TPDF, the same noise every time)\n"
               "  --normalize          scale the render so that its peak is -1 dBFS\n"
               "  --max-tail SECONDS   longest tail after the last note (default 10), ended\n"
               "                       with a short fade; the tail ends sooner once the sound\n"
               "                       has stayed below -90 dBFS for longer than the longest\n"
               "                       echo of the delay and the decay of the reverb\n"
               "  --quiet              no progress bar and no summary\n"
               "  -h, --help           this text\n"
               "\n") +
           kNoteNotationHelp +
           "\nExample: lumavox-render -o demo.wav\n"
           "         lumavox-render --midi song.mid --program 2 --param Release=0.5 -o song.flac\n";
}

Options parseCommandLine(int argc, const char* const* argv) {
    Options o;
    using Handler = std::function<void(const std::string& option, const std::string& value)>;
    const auto text = [](std::string& field) {
        return [&field](const std::string& option, const std::string& value) {
            if (value.empty()) throw RenderError(option + ": needs a value");
            field = value;
        };
    };
    const std::map<std::string, Handler> withValue = {
        {"--plugin", text(o.plugin)},
        {"--midi", text(o.midi)},
        {"--notes", [&](const std::string&, const std::string& v) { o.notes = v; }},
        {"-o", text(o.output)},
        {"--output", text(o.output)},
        {"--spectrogram", text(o.spectrogram)},
        {"--preset", text(o.preset)},
        {"--bank", text(o.bank)},
        {"--image", text(o.image)},
        {"--picture", text(o.picture)},
        {"--analyse", text(o.analyse)},
        {"--key",
         [&](const std::string& option, const std::string& v) {
             o.key = parseNoteName(v, option);
             o.keyGiven = true;
         }},
        {"--save-preset", text(o.savePreset)},
        {"--save-bank", text(o.saveBank)},
        {"--save-picture", text(o.savePicture)},
        // The plug-in says how many programs it has; until it is loaded any
        // whole number goes.
        {"--program", [&](const std::string& option,
                          const std::string& v) { o.program = whole(option, v, -1e9, 1e9); }},
        {"--tempo", [&](const std::string& option,
                        const std::string& v) { o.tempo = ranged(option, v, 1, 1000); }},
        {"--block-size", [&](const std::string& option,
                             const std::string& v) { o.blockSize = whole(option, v, 1, 8192); }},
        {"--sample-rate",
         [&](const std::string& option, const std::string& v) {
             o.sampleRate = whole(option, v, 8000, 384000);
         }},
        {"--max-tail", [&](const std::string& option,
                           const std::string& v) { o.maxTail = ranged(option, v, 0, 600); }},
        {"--bits",
         [&](const std::string& option, const std::string& v) {
             const int bits = whole(option, v, 16, 32);
             if (bits != 16 && bits != 24 && bits != 32)
                 throw RenderError(option + ": " + v + " bits is not 16, 24 or 32");
             o.format = bits == 16   ? SampleFormat::Pcm16
                        : bits == 24 ? SampleFormat::Pcm24
                                     : SampleFormat::Float32;
             o.formatGiven = true;
         }},
        {"--param",
         [&](const std::string& option, const std::string& v) {
             const std::size_t equals = v.find('=');
             const std::string given = option + " " + v;
             if (equals == std::string::npos || equals == 0)
                 throw RenderError(given + ": expected NAME=VALUE");
             o.parameters.push_back(
                 {given, v.substr(0, equals),
                  static_cast<float>(ranged(given, v.substr(equals + 1), 0, 1))});
         }},
    };
    const std::map<std::string, bool*> flags = {{"-h", &o.help},
                                                {"--help", &o.help},
                                                {"--list", &o.list},
                                                {"--quiet", &o.quiet},
                                                {"--normalize", &o.normalize},
                                                {"--fit", &o.fit},
                                                {"--spectrogram-linear", &o.spectrogramLinear}};

    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        std::string value;
        bool inlineValue = false;
        if (argument.rfind("--", 0) == 0) {
            const std::size_t equals = argument.find('=');
            if (equals != std::string::npos) {
                value = argument.substr(equals + 1);
                argument = argument.substr(0, equals);
                inlineValue = true;
            }
        }
        if (const auto flag = flags.find(argument); flag != flags.end()) {
            if (inlineValue) throw RenderError(argument + ": takes no value");
            *flag->second = true;
            continue;
        }
        const auto handler = withValue.find(argument);
        if (handler == withValue.end()) {
            if (argument.rfind("-", 0) == 0 && argument.size() > 1)
                throw RenderError("unknown option " + argument + " (--help lists them)");
            throw RenderError("unexpected argument '" + argument + "' (--help lists the options)");
        }
        if (!inlineValue) {
            if (i + 1 >= argc) throw RenderError(argument + ": needs a value");
            value = argv[++i];
        }
        handler->second(argument, value);
    }

    if (o.help) return o;
    if (!o.midi.empty() && o.notes) throw RenderError("--midi and --notes: give one or the other");
    if (!o.image.empty() && !o.picture.empty())
        throw RenderError("--image and --picture: give one or the other");
    // Each makes the whole picture of the one program.
    if (!o.analyse.empty() && (!o.image.empty() || !o.picture.empty()))
        throw RenderError(std::string("--analyse and ") +
                          (o.image.empty() ? "--picture" : "--image") +
                          ": give one or the other (each makes the program's whole picture)");
    if (o.analyse.empty() && (o.keyGiven || o.fit))
        throw RenderError(std::string(o.keyGiven ? "--key" : "--fit") +
                          ": goes with --analyse FILE");
    if (o.spectrogramLinear && o.spectrogram.empty())
        throw RenderError("--spectrogram-linear: goes with --spectrogram FILE");
    if (!o.output.empty()) audioContainerFor(o.output);
    if (!o.savePicture.empty()) checkPictureFileName(o.savePicture);
    if (!o.list && !o.writesAnything())
        throw RenderError(
            "nothing to write: give -o FILE (or --spectrogram, --save-preset, "
            "--save-bank, --save-picture; --help shows all options)");
    return o;
}

}  // namespace render
