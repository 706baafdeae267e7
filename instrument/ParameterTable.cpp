#include "instrument/ParameterTable.h"

#include "resources/ResourceIds.h"
#include "synth/SynthCore.h"

namespace lumavox {
using namespace synth;

namespace {
constexpr int kA = -135;  // knob start angle, degrees
constexpr int kR = -270;  // knob range angle, degrees

// The pictures of the controls (resources/ResourceIds.h), short for the table.
constexpr int kKnb = LUMAVOX_RES_KNOB;
constexpr int kPan = LUMAVOX_RES_PAN_KNOB;
constexpr int kBnd = LUMAVOX_RES_BEND_KNOB;
constexpr int kLmp = LUMAVOX_RES_LAMP;
constexpr int kViw = LUMAVOX_RES_VIEW_SWITCH;
constexpr int kTol = LUMAVOX_RES_TOOL_SWITCH;
constexpr int kCol = LUMAVOX_RES_COLOUR_SWITCH;
constexpr int kPsz = LUMAVOX_RES_PEN_SIZE_KNOB;
constexpr int kDns = LUMAVOX_RES_DENSITY_KNOB;
constexpr int kKck = LUMAVOX_RES_KICK_BUTTON;
constexpr int kHlp = LUMAVOX_RES_HELP_BUTTON;
// A vertical slider's handle and background pictures; no row is a slider,
// so the plug-in carries neither.
constexpr int kSh1 = 141;
constexpr int kSh2 = 142;
}  // namespace

// clang-format off
const ParameterDefinition kParameterTable[] = {
//  type               x    y    w    h   name         start rng  default   cc  bitmaps          steps img sx sy display
    {kKnob,           640, 484,  32,  32, "Volume",    kA, kR, 0.8f,      7, kKnb, kSh1, kSh2, 100, 32, 0, 0, nullptr},
    {kKnob,           596, 484,  32,  32, "Pan",       kA, kR, 0.5f,     10, kPan, kSh1, kSh2, 100, 32, 0, 0, "P"},
    {kKnob,            48, 548,  32,  32, "BndRng",    kA, kR, 0.167f,    9, kBnd, kSh1, kSh2,  12, 32, 0, 0, "S13,0,1,2,3,4,5,6,7,8,9,10,11,12"},
    {kKnob,           224, 548,  32,  32, "Start",     kA, kR, 0.f,      12, kKnb, kSh1, kSh2, 100, 32, 0, 0, nullptr},
    {kKnob,           264, 548,  32,  32, "Tempo",     kA, kR, 0.5f,     13, kKnb, kSh1, kSh2, 100, 32, 0, 0, nullptr},
    {kKnob,           400, 548,  32,  32, "Tune",      kA, kR, 0.5f,     14, kKnb, kSh1, kSh2, 100, 32, 0, 0, nullptr},
    {kKnob,           596, 548,  32,  32, "Drive",     kA, kR, 0.f,      19, kKnb, kSh1, kSh2, 100, 32, 0, 0, nullptr},
    {kOnOffButton,    442, 564,  16,  16, "Log",       kA, kR, 0.f,      18, kLmp,    0,    0,   0, 16, 0, 0, nullptr},
    {kKnob,           468, 548,  32,  32, "Range",     kA, kR, 0.5f,     15, kKnb, kSh1, kSh2, 100, 32, 0, 0, nullptr},
    {kKnob,           516, 548,  32,  32, "Spike",     kA, kR, 0.f,      16, kKnb, kSh1, kSh2, 100, 32, 0, 0, nullptr},
    {kKnob,           556, 548,  32,  32, "Fat",       kA, kR, 0.f,      17, kKnb, kSh1, kSh2, 100, 32, 0, 0, nullptr},
    {kKnob,           136, 548,  32,  32, "Attack",    kA, kR, 0.f,      71, kKnb, kSh1, kSh2, 100, 32, 0, 0, nullptr},
    {kKnob,           176, 548,  32,  32, "Release",   kA, kR, 0.2f,     72, kKnb, kSh1, kSh2, 100, 32, 0, 0, nullptr},
    {kOnOffButton,     20, 564,  16,  16, "Mono",      kA, kR, 0.f,      73, kLmp,    0,    0,   0, 16, 0, 0, nullptr},
    {kKnob,            88, 548,  32,  32, "Glide",     kA, kR, 0.f,       5, kKnb, kSh1, kSh2, 100, 32, 0, 0, nullptr},
    {kKnob,           552, 280,  32,  32, "DlyTime",   kA, kR, 0.5f,     79, kKnb, kSh1, kSh2, 100, 32, 0, 0, "S10,[1/32],[1/24],[1/16],[1/12],[1/8],[1/6],[1/4],[1/3],[1/2],[1/1]"},
    {kKnob,           596, 280,  32,  32, "DlyFbk",    kA, kR, 0.f,      80, kKnb, kSh1, kSh2, 100, 32, 0, 0, nullptr},
    {kKnob,           640, 280,  32,  32, "DlyLv",     kA, kR, 0.f,      81, kKnb, kSh1, kSh2, 100, 32, 0, 0, nullptr},
    {kKnob,           596, 416,  32,  32, "ChrsRat",   kA, kR, 0.5f,     82, kKnb, kSh1, kSh2, 100, 32, 0, 0, nullptr},
    {kKnob,           640, 416,  32,  32, "ChrsLv",    kA, kR, 0.2f,     83, kKnb, kSh1, kSh2, 100, 32, 0, 0, nullptr},
    {kKnob,           552, 348,  32,  32, "RevTime",   kA, kR, 0.2f,     85, kKnb, kSh1, kSh2, 100, 32, 0, 0, nullptr},
    {kKnob,           596, 348,  32,  32, "RevStereo", kA, kR, 0.5f,     86, kKnb, kSh1, kSh2, 100, 32, 0, 0, nullptr},
    {kKnob,           640, 348,  32,  32, "RevLevel",  kA, kR, 0.2f,     91, kKnb, kSh1, kSh2, 100, 32, 0, 0, nullptr},
    {kVerticalSwitch, 536, 456,  36,  72, "WavDsp",    kA, kR, 0.f,       0, kViw, kSh1, kSh2,   0, 72, 0, 0, nullptr},
    {kKnob,           312, 548,  32,  32, "LoopIn",    kA, kR, 0.f,      92, kKnb, kSh1, kSh2, 100, 32, 0, 0, nullptr},
    {kKnob,           352, 548,  32,  32, "LoopOut",   kA, kR, 1.f,      92, kKnb, kSh1, kSh2, 100, 32, 0, 0, nullptr},
    {kKnob,           640, 548,  32,  32, "Filter",    kA, kR, 1.f,      92, kKnb, kSh1, kSh2, 100, 32, 0, 0, nullptr},
    {kSpectralCanvas,  16,  16, 512, 512, "Spectr",     0,  0, 0.f,       0,    0,    0,    0,   0,  0, 0, 0, nullptr},
    {kHorizontalSwitch,560, 36,  96,  32, "Tool",       0,  0, 0.f,       0, kTol,    0,    0,   0, 32, 0, 0, nullptr},
    {kHorizontalSwitch,560, 76,  96,  16, "Color",     kA, kR, 0.5f,      0, kCol,    0,    0,   0, 16, 0, 0, nullptr},
    {kKnob,           560, 100,  32,  32, "PenSiz",    kA, kR, 0.5f,      0, kPsz,    0,    0,   0, 32, 0, 0, nullptr},
    {kKnob,           624, 100,  32,  32, "Densit",    kA, kR, 1.f,       0, kDns,    0,    0,   0, 32, 0, 0, nullptr},
    {kKickButton,     632, 152,  24,  16, "Clear",      0,  0, 0.f,       0, kKck,    0,    0,   0, 10, 0, 0, nullptr},
    {kKickButton,     596, 152,  24,  16, "Invers",     0,  0, 0.f,       0, kKck,    0,    0,   0, 10, 0, 0, nullptr},
    {kKickButton,     560, 152,  24,  16, "Monoch",     0,  0, 0.f,       0, kKck,    0,    0,   0, 10, 0, 0, nullptr},
    {kKickButton,     560, 184,  24,  16, "Load",       0,  0, 0.f,       0, kKck,    0,    0,   0, 10, 0, 0, nullptr},
    {kKickButton,     596, 184,  24,  16, "Save",       0,  0, 0.f,       0, kKck,    0,    0,   0, 10, 0, 0, nullptr},
    {kOnOffButton,    548, 428,  16,  16, "Help",       0,  0, 0.f,       0, kHlp,    0,    0,   0, 16, 0, 0, nullptr},
};
// clang-format on

const int kParameterTableSize = sizeof kParameterTable / sizeof kParameterTable[0];
static_assert(sizeof kParameterTable / sizeof kParameterTable[0] == kNumParameters);

}  // namespace lumavox
