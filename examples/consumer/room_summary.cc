// Reads a room (planes.txt and shifted_t.png in the folder given), rebuilds
// it with roombox and prints its room box and the number of boxes found.
#include <roombox/roombox.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <folder with planes.txt and shifted_t.png>/\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  try {
    const cv::Mat panorama = roombox::readPanorama(folder + "shifted_t.png");
    const roombox::PlaneList planes = roombox::readPlaneInfo(folder, "planes.txt");
    const roombox::Reconstruction room = roombox::reconstructRoom(planes, panorama);
    const roombox::RoomBox& box = room.room;
    std::printf("room box: %g %g %g to %g %g %g\n", box.roomMin[0], box.roomMin[1],
                box.roomMin[2], box.roomMax[0], box.roomMax[1], box.roomMax[2]);
    std::printf("boxes: %zu\n", room.cuboids.size());
  } catch (const roombox::Error& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
