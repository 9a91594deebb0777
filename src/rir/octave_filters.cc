#include "rir/octave_filters.h"

#include "common/pi.h"

#include <opencv2/core.hpp>

#include <cmath>

namespace roombox {

namespace {

// The low-pass share at frequency f of the crossover at `edge`.
double lowShare(double f, double edge) {
  constexpr double kHalfWidth = 0.3;  // octaves either side of the edge
  if (f <= 0) return 1.0;
  const double x = std::log2(f / edge);
  if (x <= -kHalfWidth) return 1.0;
  if (x >= kHalfWidth) return 0.0;
  const double c = std::cos(kPi / 4 * (x / kHalfWidth + 1));
  return c * c;
}

// The frequency bin of index j of OpenCV's packed real spectrum.
int binOf(int j) { return (j + 1) / 2; }

}  // namespace

OctaveFilters octaveFilters(int size, int sampleRate) {
  OctaveFilters filters;
  filters.size = size;
  filters.weights.resize(static_cast<std::size_t>(size / 2 + 1));
  for (int k = 0; k <= size / 2; ++k) {
    const double f = double(k) * sampleRate / size;
    double below = 0.0;  // the previous edge's low-pass share
    for (int b = 0; b < kBandCount; ++b) {
      const double low = b + 1 < kBandCount ? lowShare(f, kBandCentresHz[b] * std::sqrt(2.0)) : 1.0;
      filters.weights[k][b] = low - below;
      below = low;
    }
  }
  // The power white noise keeps: every bin of the full spectrum.
  for (int j = 0; j < size; ++j) {
    const int k = j <= size / 2 ? j : size - j;
    for (int b = 0; b < kBandCount; ++b) {
      filters.powerFraction[b] += filters.weights[k][b] * filters.weights[k][b];
    }
  }
  for (int b = 0; b < kBandCount; ++b) filters.powerFraction[b] /= size;
  return filters;
}

int filterSize(int samples) {
  int size = cv::getOptimalDFTSize(samples);
  while (size % 2 != 0) size = cv::getOptimalDFTSize(size + 1);
  return size;
}

std::vector<double> forwardSpectrum(const std::vector<double>& signal) {
  const cv::Mat input(1, int(signal.size()), CV_64F, const_cast<double*>(signal.data()));
  cv::Mat transform;
  cv::dft(input, transform);
  const double* values = transform.ptr<double>();
  return std::vector<double>(values, values + signal.size());
}

void addBandOf(const std::vector<double>& transform, const OctaveFilters& filters, int band,
               int times, std::vector<double>& spectrum) {
  for (int j = 0; j < filters.size; ++j) {
    const double weight = filters.weights[binOf(j)][band];
    double factor = weight;
    for (int t = 1; t < times; ++t) factor *= weight;
    spectrum[j] += transform[j] * factor;
  }
}

void addBandSpectrum(const std::vector<double>& signal, const OctaveFilters& filters, int band,
                     std::vector<double>& spectrum) {
  addBandOf(forwardSpectrum(signal), filters, band, 1, spectrum);
}

std::vector<double> quadratureSpectrum(const std::vector<double>& spectrum) {
  std::vector<double> quadrature(spectrum.size(), 0.0);
  // Re + i Im times -i: Im - i Re, for the bins between the ends.
  for (std::size_t j = 1; j + 1 < spectrum.size(); j += 2) {
    quadrature[j] = spectrum[j + 1];
    quadrature[j + 1] = -spectrum[j];
  }
  return quadrature;
}

double bandShare(const std::vector<double>& spectrum, const OctaveFilters& filters, int band) {
  double all = 0.0;
  double passed = 0.0;
  for (int j = 0; j < filters.size; ++j) {
    // The bins between the ends stand for their negative frequencies too.
    const double square = spectrum[j] * spectrum[j] * (j == 0 || j == filters.size - 1 ? 1 : 2);
    const double weight = filters.weights[binOf(j)][band];
    all += square;
    passed += square * weight * weight;
  }
  return all > 0 ? passed / all : 0.0;
}

std::vector<double> inverseSpectrum(std::vector<double>& spectrum) {
  const cv::Mat input(1, int(spectrum.size()), CV_64F, spectrum.data());
  cv::Mat output;
  cv::dft(input, output, cv::DFT_INVERSE | cv::DFT_SCALE | cv::DFT_REAL_OUTPUT);
  const double* values = output.ptr<double>();
  return std::vector<double>(values, values + spectrum.size());
}

}  // namespace roombox
