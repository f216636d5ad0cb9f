#include "dsp.h"

#include <cmath>

namespace composer {

double stableSin(double x) {
    // Reduce to [-pi, pi], then fold into [-pi/2, pi/2] where the Taylor series converges fast.
    const double twoPi = 2.0 * kPi;
    x -= twoPi * std::floor(x / twoPi + 0.5);
    if (x > kPi / 2)
        x = kPi - x;
    else if (x < -kPi / 2)
        x = -kPi - x;
    const double x2 = x * x;
    double term = x, sum = x;
    for (int n = 1; n <= 9; ++n) {
        term *= -x2 / double((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

double stableExp(double x) {
    if (x < -700)
        return 0.0;
    // e^x = 2^k * e^r with |r| <= ln2/2.
    const double ln2 = 0.69314718055994530942;
    const double k = std::floor(x / ln2 + 0.5);
    const double r = x - k * ln2;
    double term = 1.0, sum = 1.0;
    for (int n = 1; n <= 14; ++n) {
        term *= r / n;
        sum += term;
    }
    return std::ldexp(sum, int(k));
}

double stableTanh(double x) {
    if (x > 20)
        return 1.0;
    if (x < -20)
        return -1.0;
    const double e = stableExp(2 * x);
    return (e - 1) / (e + 1);
}

double stableLog2(double x) {
    int exponent = 0;
    const double m = std::frexp(x, &exponent); // x = m * 2^exponent, m in [0.5, 1)
    // ln(m) by the atanh series: ln(m) = 2 atanh((m-1)/(m+1)).
    const double z = (m - 1) / (m + 1), z2 = z * z;
    double term = z, sum = 0;
    for (int n = 0; n < 30; ++n) {
        sum += term / (2 * n + 1);
        term *= z2;
    }
    return exponent + 2 * sum / 0.69314718055994530942;
}

double midiFrequency(double midi) {
    return 440.0 * stableExp((midi - 69.0) / 12.0 * 0.69314718055994530942);
}

OnePoleLowpass::OnePoleLowpass(double cutoffHz)
    : a(1.0 - stableExp(-2.0 * kPi * cutoffHz / kSynthRate)) {}

std::vector<int16_t> normalise(const std::vector<double>& signal, double peak) {
    double largest = 1e-12;
    for (double v : signal)
        largest = std::fmax(largest, std::fabs(v));
    std::vector<int16_t> out(signal.size());
    const double gain = peak * 32767.0 / largest;
    for (size_t i = 0; i < signal.size(); ++i)
        out[i] = int16_t(std::lround(signal[i] * gain));
    return out;
}

} // namespace composer
