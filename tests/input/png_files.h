#pragma once

// PNG files built byte by byte for the tests and the fuzz target of the PNG
// fast path, so that every part of a file (chunks, CRCs, the zlib stream,
// each row's filter) can be chosen, and broken, on purpose; and the
// comparison with cv::imread both use.

#include <libdeflate.h>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace pngfiles {

inline std::string bigEndian32(std::uint32_t value) {
  return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
          static_cast<char>(value >> 8), static_cast<char>(value)};
}

inline std::string chunk(const std::string& type, const std::string& data) {
  std::uint32_t crc = 0xffffffffu;
  for (const char c : type + data) {
    crc ^= static_cast<unsigned char>(c);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
  }
  return bigEndian32(static_cast<std::uint32_t>(data.size())) + type + data + bigEndian32(~crc);
}

inline std::string imageHeader(std::uint32_t width, std::uint32_t height, int bitDepth,
                               int colourType, int interlace = 0) {
  return bigEndian32(width) + bigEndian32(height) +
         std::string{static_cast<char>(bitDepth), static_cast<char>(colourType), 0, 0,
                     static_cast<char>(interlace)};
}

// A zlib stream (32 KiB window) of stored blocks of at most blockSize bytes.
inline std::string storedZlib(const std::string& raw, std::size_t blockSize = 65535) {
  std::string out = "\x78\x01";
  std::size_t at = 0;
  do {
    const std::size_t n = std::min(blockSize, raw.size() - at);
    out += {static_cast<char>(at + n == raw.size()), static_cast<char>(n),
            static_cast<char>(n >> 8), static_cast<char>(~n), static_cast<char>(~n >> 8)};
    out += raw.substr(at, n);
    at += n;
  } while (at < raw.size());
  std::uint32_t a = 1, b = 0;
  for (const char c : raw) {
    a = (a + static_cast<unsigned char>(c)) % 65521;
    b = (b + a) % 65521;
  }
  return out + bigEndian32(b << 16 | a);
}

// A zlib stream of raw compressed by libdeflate at level 6 (the caller
// links libdeflate).
inline std::string deflatedZlib(const std::string& raw) {
  libdeflate_compressor* compressor = libdeflate_alloc_compressor(6);
  std::string out(libdeflate_zlib_compress_bound(compressor, raw.size()), '\0');
  out.resize(libdeflate_zlib_compress(compressor, raw.data(), raw.size(), &out[0], out.size()));
  libdeflate_free_compressor(compressor);
  return out;
}

// The scanlines of an 8-bit BGR or BGRA image as an encoder writes them (RGB
// or RGBA samples), row y filtered with filters[y % filters.size()].
inline std::string filteredRows(const cv::Mat& image, const std::vector<int>& filters) {
  const int n = image.channels();
  std::string out;
  std::vector<int> above(image.cols * n, 0), row(image.cols * n);
  for (int y = 0; y < image.rows; ++y) {
    for (int i = 0; i < image.cols * n; ++i) {
      const int channel = i % n;
      row[i] = image.ptr<unsigned char>(y)[i - channel + (channel < 3 ? 2 - channel : 3)];
    }
    const int filter = filters[y % filters.size()];
    out += static_cast<char>(filter);
    for (int i = 0; i < image.cols * n; ++i) {
      const int a = i >= n ? row[i - n] : 0, b = above[i], c = i >= n ? above[i - n] : 0;
      const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
      const int predictors[] = {0, a, b, (a + b) / 2, pa <= pb && pa <= pc ? a : pb <= pc ? b : c};
      out += static_cast<char>(row[i] - predictors[filter]);
    }
    above = row;
  }
  return out;
}

// Signature, IHDR, the stream cut into IDAT chunks of idatSize bytes, IEND.
inline std::string pngFile(const std::string& header, const std::string& stream,
                           std::size_t idatSize = 1 << 20) {
  std::string out = "\x89PNG\r\n\x1a\n" + chunk("IHDR", header);
  for (std::size_t at = 0; at < stream.size(); at += idatSize) {
    out += chunk("IDAT", stream.substr(at, idatSize));
  }
  return out + chunk("IEND", "");
}

// An 8-bit BGR or BGRA image as a PNG file of stored blocks.
inline std::string pngFile(const cv::Mat& image, const std::vector<int>& filters,
                           std::size_t idatSize = 1 << 20, std::size_t blockSize = 65535) {
  return pngFile(imageHeader(image.cols, image.rows, 8, image.channels() == 4 ? 6 : 2),
                 storedZlib(filteredRows(image, filters), blockSize), idatSize);
}

// png with the CRC of every complete chunk made right again.
inline std::string withRightCrcs(std::string png) {
  for (std::size_t at = 8; at + 12 <= png.size();) {
    std::uint32_t length = 0;
    for (int i = 0; i < 4; ++i) length = length << 8 | static_cast<unsigned char>(png[at + i]);
    if (length > png.size() - at - 12) break;
    png.replace(at, 12 + length, chunk(png.substr(at + 4, 4), png.substr(at + 8, length)));
    at += 12 + length;
  }
  return png;
}

// True when a and b hold the same pixels (both empty counts as the same).
inline bool samePixels(const cv::Mat& a, const cv::Mat& b) {
  if (a.empty() || b.empty()) return a.empty() && b.empty();
  return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0;
}

// What cv::imread gives for path, an empty image where it throws instead.
inline cv::Mat imreadOrEmpty(const std::string& path, int flags) {
  try {
    return cv::imread(path, flags);
  } catch (const cv::Exception&) {
    return cv::Mat();
  }
}

}  // namespace pngfiles
