// Times the acoustic model: the example room's whole model (computing and
// formatting the acoustics file) against its run, and the union volume of
// many boxes. Prints markdown table rows.
//
//   acoustics_benchmark EXAMPLES_FOLDER [BOXES]
#include "acoustics/box_union.h"
#include "roombox/roombox.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The median of `runs` timings of work, seconds.
template <typename Work>
double medianSeconds(int runs, Work work) {
  std::vector<double> times;
  for (int k = 0; k < runs; ++k) {
    const Clock::time_point start = Clock::now();
    work();
    times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: acoustics_benchmark EXAMPLES_FOLDER [BOXES]\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  const int boxCount = argc > 2 ? std::atoi(argv[2]) : 10000;
  const cv::Mat panorama = roombox::readPanorama(folder + "shifted_t.png");
  const roombox::PlaneList planes = roombox::readPlaneInfo(folder, "planes.txt");
  const double reconstruct =
      medianSeconds(9, [&] { roombox::reconstructRoom(planes, panorama); });
  const roombox::Reconstruction room = roombox::reconstructRoom(planes, panorama);
  roombox::builtinMaterialTable();
  std::size_t size = 0;
  const double acoustics = medianSeconds(9, [&] {
    size += roombox::acousticsText(roombox::computeRoomAcoustics(room)).size();
  });
  const double computeOnly = medianSeconds(9, [&] { roombox::computeRoomAcoustics(room); });
  std::printf("| example room: acoustic model alone | %.4f s |\n", computeOnly);
  std::printf("| example room: reconstruction | %.4f s |\n", reconstruct);
  std::printf("| example room: acoustic model and its text (%zu bytes) | %.4f s |\n", size / 9,
              acoustics);

  // Furniture-sized boxes (0.2 to 2 m) scattered through a 20 x 20 x 3 m
  // hall, many overlapping.
  std::mt19937 random(1);
  std::uniform_real_distribution<double> place(0.0, 1.0);
  std::vector<roombox::AlignedBox<3>> boxes(static_cast<std::size_t>(boxCount));
  for (roombox::AlignedBox<3>& box : boxes) {
    const double extent[3] = {20.0, 20.0, 3.0};
    for (int a = 0; a < 3; ++a) {
      const double side = 0.2 + 1.8 * place(random);
      box.lo[a] = place(random) * extent[a] - side / 2;
      box.hi[a] = box.lo[a] + side;
    }
  }
  roombox::AlignedBox<3> hall;
  hall.hi = {20.0, 20.0, 3.0};
  double volume = 0.0;
  const double unionTime =
      medianSeconds(5, [&] { volume = roombox::unionMeasure<3>(boxes, hall); });
  std::printf("| union volume of %d boxes (%.1f m3 of 1200) | %.4f s |\n", boxCount, volume,
              unionTime);
  return 0;
}
