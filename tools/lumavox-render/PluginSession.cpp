#include "tools/lumavox-render/PluginSession.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>

#include <climits>
#endif

#include "tools/lumavox-render/ChunkPicture.h"
#include "tools/lumavox-render/RenderError.h"

namespace render {
namespace {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The plug-in prints its message boxes on standard error instead of waiting
// for someone to click them.
void divertMessageBoxes() {
#if defined(_WIN32)
    _putenv_s("LUMAVOX_MESSAGES", "stderr");
    SetEnvironmentVariableA("LUMAVOX_MESSAGES", "stderr");
#else
    setenv("LUMAVOX_MESSAGES", "stderr", 1);
#endif
}

}  // namespace

std::string defaultPluginPath() {
#if defined(_WIN32)
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string self(path, length < MAX_PATH ? length : 0);
    const std::size_t slash = self.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : self.substr(0, slash + 1)) + "Lumavox.dll";
#else
    char path[PATH_MAX] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string self(path, length > 0 ? static_cast<std::size_t>(length) : 0);
    const std::size_t slash = self.find_last_of('/');
    return (slash == std::string::npos ? std::string("./") : self.substr(0, slash + 1)) +
           "Lumavox.so";
#endif
}

PluginSession::PluginSession(const std::string& path, double sampleRate, int blockSize)
    : host_(sampleRate, blockSize) {
    divertMessageBoxes();
    std::string error;
    library_ = vsthost::PluginLibrary::open(path, &error);
    if (library_) plugin_ = vsthost::PluginInstance::create(library_->entryPoint(), host_, &error);
    if (!plugin_) throw RenderError(library_ ? path + ": " + error : error);
    if (!effect().processReplacing) throw RenderError(path + ": the plug-in cannot render");
    if (effect().numOutputs < 1) throw RenderError(path + ": the plug-in has no audio outputs");
    plugin_->dispatch(effOpen);
    plugin_->dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    plugin_->dispatch(effSetBlockSize, 0, blockSize);
}

PluginSession::~PluginSession() {
    if (!plugin_) return;
    switchOff();
    plugin_->close();
}

void PluginSession::switchOn() {
    if (on_) return;
    plugin_->dispatch(effMainsChanged, 0, 1);
    on_ = true;
}

void PluginSession::switchOff() {
    if (!on_) return;
    plugin_->dispatch(effMainsChanged, 0, 0);
    on_ = false;
}

std::string PluginSession::programName(int program) const {
    char name[256] = {};
    plugin_->dispatch(effGetProgramNameIndexed, program, 0, name);
    name[sizeof name - 1] = 0;
    return name;
}

std::string PluginSession::parameterName(int index) const {
    return plugin_->stringOf(effGetParamName, index);
}

std::string PluginSession::parameterDisplay(int index) const {
    return plugin_->stringOf(effGetParamDisplay, index);
}

void PluginSession::selectProgram(int program) {
    plugin_->dispatch(effBeginSetProgram);
    plugin_->dispatch(effSetProgram, 0, program);
    plugin_->dispatch(effEndSetProgram);
}

int PluginSession::parameterIndex(const std::string& name) const {
    const std::string wanted = lowerCase(name);
    for (int i = 0; i < parameterCount(); ++i)
        if (lowerCase(parameterName(i)) == wanted) return i;
    return -1;
}

int PluginSession::findParameter(const std::string& name, const std::string& option) const {
    const int index = parameterIndex(name);
    if (index >= 0) return index;
    throw RenderError(option + ": the plug-in has no parameter named '" + name +
                      "' (--list shows them)");
}

float PluginSession::parameterValue(int index) const {
    return plugin_->getParameter(index);
}

int PluginSession::currentProgram() const {
    return static_cast<int>(plugin_->dispatch(effGetProgram));
}

void PluginSession::setParameter(int index, float value) {
    plugin_->setParameter(index, value);
}

std::vector<std::uint8_t> PluginSession::chunk(int index, const char* what) {
    void* data = nullptr;
    const VstIntPtr size = plugin_->dispatch(effGetChunk, index, 0, &data);
    if (size <= 0 || !data) throw RenderError(std::string("the plug-in gave no ") + what);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return std::vector<std::uint8_t>(bytes, bytes + size);
}

void PluginSession::setChunk(int index, const std::vector<std::uint8_t>& data) {
    // The plug-in reads the chunk only; the interface just lacks the const.
    plugin_->dispatch(effSetChunk, index, static_cast<VstIntPtr>(data.size()),
                      const_cast<std::uint8_t*>(data.data()));
}

void PluginSession::loadParameters(const PresetProgram& program) {
    std::string name = program.name;
    name.resize(std::min<std::size_t>(name.size(), kVstMaxProgNameLen - 1));
    plugin_->dispatch(effSetProgramName, 0, 0, name.data());
    const std::size_t count =
        std::min(program.parameters.size(), static_cast<std::size_t>(parameterCount()));
    for (std::size_t i = 0; i < count; ++i)
        plugin_->setParameter(static_cast<int>(i), std::clamp(program.parameters[i], 0.f, 1.f));
}

void PluginSession::loadPreset(const PresetFile& preset, const std::string& file) {
    const bool chunkForm =
        preset.kind == PresetKind::ProgramChunk || preset.kind == PresetKind::BankChunk;
    if (chunkForm && !takesChunks())
        throw RenderError(file + ": holds a chunk, and the plug-in does not take chunks");
    VstPatchChunkInfo info{};
    info.version = 1;
    info.pluginUniqueID = effect().uniqueID;
    info.pluginVersion = effect().version;
    switch (preset.kind) {
        case PresetKind::ProgramChunk:
            info.numElements = parameterCount();
            if (plugin_->dispatch(effBeginLoadProgram, 0, 0, &info) == -1)
                throw RenderError(file + ": the plug-in refused the program");
            setChunk(1, preset.chunk);
            break;
        case PresetKind::BankChunk:
            info.numElements = programCount();
            if (plugin_->dispatch(effBeginLoadBank, 0, 0, &info) == -1)
                throw RenderError(file + ": the plug-in refused the bank");
            setChunk(0, preset.chunk);
            break;
        case PresetKind::ProgramParameters:
            loadParameters(preset.programs.at(0));
            break;
        case PresetKind::BankParameters: {
            const int count = std::min(static_cast<int>(preset.programs.size()), programCount());
            for (int p = 0; p < count; ++p) {
                selectProgram(p);
                loadParameters(preset.programs[static_cast<std::size_t>(p)]);
            }
            const int current = preset.currentProgram;
            selectProgram(current >= 0 && current < programCount() ? current : 0);
            break;
        }
    }
}

PresetProgram PluginSession::currentParameters() const {
    PresetProgram program;
    char name[256] = {};
    plugin_->dispatch(effGetProgramName, 0, 0, name);
    name[sizeof name - 1] = 0;
    program.name = name;
    for (int i = 0; i < parameterCount(); ++i)
        program.parameters.push_back(plugin_->getParameter(i));
    return program;
}

PresetFile PluginSession::saveProgram() {
    PresetFile preset;
    preset.pluginId = effect().uniqueID;
    preset.pluginVersion = effect().version;
    preset.count = parameterCount();
    preset.programs.push_back(currentParameters());
    if (takesChunks()) {
        preset.kind = PresetKind::ProgramChunk;
        preset.programs[0].parameters.clear();
        preset.chunk = chunk(1, "program chunk");
    } else {
        preset.kind = PresetKind::ProgramParameters;
    }
    return preset;
}

PresetFile PluginSession::saveBank() {
    PresetFile preset;
    preset.pluginId = effect().uniqueID;
    preset.pluginVersion = effect().version;
    preset.count = programCount();
    if (takesChunks()) {
        preset.kind = PresetKind::BankChunk;
        preset.chunk = chunk(0, "bank chunk");
        return preset;
    }
    preset.kind = PresetKind::BankParameters;
    const int current = static_cast<int>(plugin_->dispatch(effGetProgram));
    for (int p = 0; p < programCount(); ++p) {
        selectProgram(p);
        preset.programs.push_back(currentParameters());
    }
    selectProgram(current);
    return preset;
}

void PluginSession::requirePictures() const {
    if (effect().uniqueID != vstFourCC('L', 'M', 'V', 'X') || !takesChunks())
        throw RenderError("the plug-in is not Lumavox, so it has no picture to play or save");
}

std::vector<std::uint32_t> PluginSession::picture() {
    requirePictures();
    return readProgramChunk(chunk(1, "program chunk")).picture;
}

void PluginSession::replacePicture(const std::vector<std::uint32_t>& picture) {
    requirePictures();
    ProgramContents contents = readProgramChunk(chunk(1, "program chunk"));
    contents.picture = picture;
    setChunk(1, writeProgramChunk(contents));
}

namespace {

// A value as a person reads it: at most three decimals, no trailing zeros.
std::string readable(float value) {
    if (!std::isfinite(value)) return "?";
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", static_cast<double>(value));
    std::string s = text;
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    return s;
}

}  // namespace

void PluginSession::list(std::FILE* out, int program) {
    const int current = currentProgram();
    std::vector<int> shown;
    if (program >= 0) {
        shown.push_back(program);
    } else {
        for (int p = 0; p < programCount(); ++p)
            shown.push_back(p);
    }
    std::fprintf(out, "%s: %d programs, %d parameters\n",
                 plugin_->stringOf(effGetEffectName).c_str(), programCount(), parameterCount());
    for (int p : shown)
        std::fprintf(out, "program %d: %s%s\n", p, programName(p).c_str(),
                     p == current ? "  (current)" : "");

    std::vector<std::vector<std::string>> values(shown.size());
    for (std::size_t column = 0; column < shown.size(); ++column) {
        if (shown[column] != current) selectProgram(shown[column]);
        for (int i = 0; i < parameterCount(); ++i)
            values[column].push_back(readable(plugin_->getParameter(i)));
    }
    if (currentProgram() != current) selectProgram(current);

    std::size_t nameWidth = 9;
    for (int i = 0; i < parameterCount(); ++i)
        nameWidth = std::max(nameWidth, parameterName(i).size());
    std::fprintf(out, "\n    %-*s", static_cast<int>(nameWidth), "parameter");
    for (int p : shown)
        std::fprintf(out, " %8d", p);
    std::fprintf(out, "\n");
    for (int i = 0; i < parameterCount(); ++i) {
        std::fprintf(out, "%3d %-*s", i, static_cast<int>(nameWidth), parameterName(i).c_str());
        for (const auto& column : values)
            std::fprintf(out, " %8s", column[static_cast<std::size_t>(i)].c_str());
        std::fprintf(out, "\n");
    }
}

}  // namespace render
