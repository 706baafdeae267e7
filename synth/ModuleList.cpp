#include "synth/ModuleList.h"

namespace synth {

void ModuleList::add(audio::Module& module) {
    if (count_ == kCapacity) return;
    modules_[count_] = &module;
    tags_[count_] = module.getModuleTag();
    ++count_;
}

void ModuleList::setSampleRate(int rate) {
    for (int i = 0; i < count_; ++i)
        modules_[i]->setSampleRate(rate);
}

void ModuleList::parameterChanged(int index, float value) {
    for (int i = 0; i < count_; ++i)
        modules_[i]->parameterChanged(index, value);
}

void ModuleList::programChanged(int program) {
    for (int i = 0; i < count_; ++i)
        modules_[i]->programChanged(program);
}

void ModuleList::setProgramLoading(int loading) {
    for (int i = 0; i < count_; ++i)
        modules_[i]->setProgramLoading(loading);
}

void ModuleList::runDeferredWork() {
    for (int i = 0; i < count_; ++i)
        modules_[i]->runDeferredWork();
}

void ModuleList::process(int frames, int ticks) noexcept {
    for (int i = 0; i < count_; ++i)
        modules_[i]->process(frames, ticks);
}

}  // namespace synth
