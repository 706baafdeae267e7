#include "tools/lumavox-render/NoteNotation.h"

#include <cctype>
#include <cmath>
#include <sstream>
#include <vector>

#include "tools/lumavox-render/RenderError.h"

namespace render {

const char* const kNoteNotationHelp =
    "Notes for --notes, separated by spaces:\n"
    "  C4 F#3 Bb2     a note: A to G, then # or b, then the octave (C4 = middle C)\n"
    "  C4+E4+G4       a chord: notes joined by +\n"
    "  r              a rest\n"
    "  :q :h :w :e :s duration (quarter, half, whole, eighth, sixteenth; a dot\n"
    "                 adds half: :q.), or a number of beats: :1.5\n"
    "  @90            velocity 1..127\n"
    "  |              a bar line, for the eye only\n"
    "  Duration and velocity follow a note, chord or rest, in either order, and\n"
    "  hold until changed (at first a quarter note, velocity 100).\n"
    "  Example: --notes \"C4:e E4 G4 C5 E4+G4+C5:h@80 r:q\"\n";

namespace {

constexpr int kTicksPerQuarter = 480;

class PhraseParser {
  public:
    explicit PhraseParser(const std::string& origin) : origin_(origin) {}

    [[noreturn]] void fail(const std::string& token, const std::string& reason) const {
        throw RenderError(origin_ + ": '" + token + "': " + reason);
    }

    int note(const std::string& token, const std::string& text) const {
        static const int kSemitones[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
        const char letter =
            text.empty() ? 0 : static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
        if (letter < 'A' || letter > 'G')
            fail(token, "not a note (A to G, then # or b, then an octave)");
        int semitone = kSemitones[letter - 'A'];
        std::size_t i = 1;
        if (i < text.size() && (text[i] == '#' || text[i] == 'b')) {
            semitone += text[i] == '#' ? 1 : -1;
            ++i;
        }
        const std::string octave = text.substr(i);
        if (octave.empty() || octave.size() > 2 ||
            !(std::isdigit(static_cast<unsigned char>(octave.back()))) ||
            (octave.size() == 2 && octave[0] != '-'))
            fail(token, "a note needs an octave from -1 to 9, as in C4");
        const int key = (std::stoi(octave) + 1) * 12 + semitone;
        if (key < 0 || key > 127) fail(token, "outside the MIDI range C-1 to G9");
        return key;
    }

    double duration(const std::string& token, const std::string& text) const {
        static const struct {
            char name;
            double beats;
        } kValues[] = {{'w', 4.0}, {'h', 2.0}, {'q', 1.0}, {'e', 0.5}, {'s', 0.25}};
        for (const auto& value : kValues) {
            if (text.size() >= 1 && text[0] == value.name) {
                if (text == std::string(1, value.name)) return value.beats;
                if (text == std::string(1, value.name) + ".") return value.beats * 1.5;
            }
        }
        char* end = nullptr;
        const double beats = std::strtod(text.c_str(), &end);
        if (text.empty() || *end || !std::isfinite(beats) || beats <= 0.0 || beats > 64.0)
            fail(token, "a duration is w, h, q, e or s (with an optional dot) or 0..64 beats");
        return beats;
    }

    int velocity(const std::string& token, const std::string& text) const {
        char* end = nullptr;
        const long v = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end || v < 1 || v > 127) fail(token, "a velocity is 1 to 127");
        return static_cast<int>(v);
    }

    void token(const std::string& token, Song& song) {
        const std::size_t suffix = token.find_first_of(":@");
        const std::string body = token.substr(0, suffix);
        for (std::size_t at = suffix; at != std::string::npos;) {
            const std::size_t next = token.find_first_of(":@", at + 1);
            const std::string value = token.substr(at + 1, next - at - 1);
            if (token[at] == ':')
                beats_ = duration(token, value);
            else
                velocity_ = velocity(token, value);
            at = next;
        }
        const std::uint64_t length =
            static_cast<std::uint64_t>(std::llround(beats_ * kTicksPerQuarter));
        if (body != "r" && body != "R") {
            std::vector<int> keys;
            std::stringstream parts(body);
            for (std::string part; std::getline(parts, part, '+');)
                keys.push_back(note(token, part));
            if (keys.empty() || body.back() == '+')
                fail(token, "a chord needs a note after each +");
            for (int key : keys) {
                const auto k = static_cast<std::uint8_t>(key);
                song.events.push_back({tick_, {0x90, k, static_cast<std::uint8_t>(velocity_)}, 3});
                song.events.push_back({tick_ + length, {0x80, k, 0}, 3});
            }
        }
        tick_ += length;
    }

    std::uint64_t tick() const { return tick_; }

  private:
    std::string origin_;
    std::uint64_t tick_ = 0;
    double beats_ = 1.0;
    int velocity_ = 100;
};

}  // namespace

Song parseNotes(const std::string& text, double bpm, const std::string& origin) {
    PhraseParser parser(origin);
    Song song;
    song.tempo = TempoMap::metrical(kTicksPerQuarter, bpm, {});
    std::stringstream words(text);
    for (std::string word; words >> word;)
        if (word != "|") parser.token(word, song);
    if (song.events.empty()) throw RenderError(origin + ": no notes to play");
    song.endTick = parser.tick();
    finishSong(song);
    return song;
}

int parseNoteName(const std::string& text, const std::string& origin) {
    return PhraseParser(origin).note(text, text);
}

}  // namespace render
