#include "synth/Float2String.h"

#include <cmath>
#include <cstdio>

#include "vst2/AudioEffect.h"

namespace synth {

void float2string(float value, char* text, int maxLength) {
    constexpr int kSlots = 8;
    char buffer[40];
    double v = value;
    const bool negative = v < 0;
    if (negative) v = -v;
    if (std::isnan(v) || v > (negative ? 9999999.0 : 99999999.0)) {
        vstStrncpy(text, "Huge!", maxLength);
        return;
    }
    const double integerPart = std::floor(v);
    int n = std::snprintf(buffer, sizeof buffer, "%s%.0f.", negative ? "-" : "", integerPart);
    const int fractionDigits = kSlots - n;
    if (fractionDigits > 0) {
        // Truncate the fraction to its digits, as the SDK does.
        const double scaled = std::floor((v - integerPart) * std::pow(10.0, fractionDigits));
        std::snprintf(buffer + n, sizeof buffer - static_cast<size_t>(n), "%0*.0f", fractionDigits,
                      scaled);
    }
    vstStrncpy(text, buffer, maxLength);
}

}  // namespace synth
