// The Linux build's spectrum: FFTW's real-to-complex transform in single
// precision, planned without measuring so that a render is the same every time.
#include <fftw3.h>

#include <cmath>

#include "tools/lumavox-render/SpectrumFft.h"

namespace render {

struct SpectrumFft::Backend {
    float* in = nullptr;
    fftwf_complex* out = nullptr;
    fftwf_plan plan = nullptr;
    ~Backend() {
        if (plan) fftwf_destroy_plan(plan);
        fftwf_free(in);
        fftwf_free(out);
    }
};

SpectrumFft::SpectrumFft(int size) : size_(size), backend_(std::make_unique<Backend>()) {
    backend_->in = fftwf_alloc_real(static_cast<std::size_t>(size));
    backend_->out = fftwf_alloc_complex(static_cast<std::size_t>(size / 2 + 1));
    backend_->plan = fftwf_plan_dft_r2c_1d(size, backend_->in, backend_->out, FFTW_ESTIMATE);
}

SpectrumFft::~SpectrumFft() = default;

void SpectrumFft::magnitudes(const float* frame, float* magnitudes) {
    for (int i = 0; i < size_; ++i)
        backend_->in[i] = frame[i];
    fftwf_execute(backend_->plan);
    for (int k = 0; k <= size_ / 2; ++k)
        magnitudes[k] = std::hypot(backend_->out[k][0], backend_->out[k][1]);
}

}  // namespace render
