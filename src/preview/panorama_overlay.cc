#include "preview/panorama_overlay.h"

#include "preview/edge_projection.h"
#include "preview/labels.h"
#include "preview/preview_items.h"
#include "preview/preview_style.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <string>
#include <utility>

namespace roombox {

namespace {

// One projected edge, ready to draw.
struct DrawnEdge {
  Polylines pieces;  // dashes already cut for a hidden edge
  cv::Scalar colour;
  int thickness;
  bool hidden;
};

// Projects edge into image, cut into dashes when hidden.
DrawnEdge projectEdge(const PreviewEdge& edge, const cv::Scalar& colour, int thickness,
                      const PreviewStyle& style, cv::Size image) {
  DrawnEdge drawn{projectSegment(edge.a, edge.b, image), colour, thickness, edge.hidden};
  if (edge.hidden) {
    Polylines dashes;
    for (const std::vector<cv::Point2f>& piece : drawn.pieces) {
      for (std::vector<cv::Point2f>& dash : dashPolyline(piece, style.dash, style.gap)) {
        dashes.push_back(std::move(dash));
      }
    }
    drawn.pieces = std::move(dashes);
  }
  return drawn;
}

// Marks the anchor of a label that was moved off it with a dot, joined to
// the label by a line.
void drawLeader(cv::Mat& image, const cv::Point2f& anchor, const cv::Rect& box,
                const cv::Scalar& colour) {
  const cv::Point at(static_cast<int>(std::lround(anchor.x)),
                     static_cast<int>(std::lround(anchor.y)));
  if (box.contains(at)) return;
  const cv::Point boxCentre(box.x + box.width / 2, box.y + box.height / 2);
  cv::line(image, at, boxCentre, kPreviewHalo, 3, cv::LINE_AA);
  cv::line(image, at, boxCentre, colour, 1, cv::LINE_AA);
  cv::circle(image, at, 4, kPreviewHalo, cv::FILLED, cv::LINE_AA);
  cv::circle(image, at, 3, colour, cv::FILLED, cv::LINE_AA);
}

// True when the room box has bounds to draw: finite, low below high.
bool roomIsSet(const RoomBox& room) {
  for (int axis = 0; axis < 3; ++axis) {
    if (!std::isfinite(room.roomMin[axis]) || !std::isfinite(room.roomMax[axis]) ||
        !(room.roomMin[axis] <= room.roomMax[axis])) {
      return false;
    }
  }
  return true;
}

}  // namespace

void drawPanoramaOverlay(const std::vector<PreviewItem>& items, const RoomBox& room,
                         const PreviewStyle& style, cv::Mat& panorama) {
  const cv::Size image = panorama.size();
  std::vector<DrawnEdge> edges;
  if (roomIsSet(room)) {
    const Cuboid roomBox{2.0f,
                         room.roomMin[0],
                         room.roomMax[0],
                         room.roomMin[1],
                         room.roomMax[1],
                         room.roomMin[2],
                         room.roomMax[2],
                         0.0f,
                         0.0f};
    for (const PreviewEdge& edge : boxEdges(roomBox, CuboidFaces{1, 1, 1, 1, 1, 1})) {
      edges.push_back(projectEdge(edge, kPreviewRoom, style.roomThickness, style, image));
    }
  }
  // Each edge once: duplicate boxes (and boxes sharing an edge) would draw
  // the same pixels again, at the cost of projecting it again.
  std::set<std::array<double, 8>> drawn;
  for (const PreviewItem& item : items) {
    const cv::Scalar colour = categoryColour(item.category);
    for (const PreviewEdge& edge : item.edges) {
      const std::array<double, 8> key{edge.a.x, edge.a.y, edge.a.z, edge.b.x, edge.b.y,
                                      edge.b.z, static_cast<double>(item.category),
                                      edge.hidden ? 1.0 : 0.0};
      if (!drawn.insert(key).second) continue;
      edges.push_back(projectEdge(edge, colour, style.edgeThickness, style, image));
    }
  }

  // Halos first, then the hidden edges, then the shown ones over them.
  for (const DrawnEdge& edge : edges) {
    drawPolylines(panorama, edge.pieces, kPreviewHalo, edge.thickness + 2, false);
  }
  for (const DrawnEdge& edge : edges) {
    if (edge.hidden) drawPolylines(panorama, edge.pieces, edge.colour, edge.thickness);
  }
  for (const DrawnEdge& edge : edges) {
    if (!edge.hidden) drawPolylines(panorama, edge.pieces, edge.colour, edge.thickness);
  }

  // Labels: boxes first, then walls, floors and ceilings.
  std::vector<const PreviewItem*> labelled;
  for (const PreviewItem& item : items) {
    if (item.box) labelled.push_back(&item);
  }
  for (const PreviewItem& item : items) {
    if (!item.box) labelled.push_back(&item);
  }
  std::vector<cv::Point2f> anchors;
  std::vector<cv::Size> sizes;
  for (const PreviewItem* item : labelled) {
    anchors.push_back(projectPoint(item->centre, image));
    sizes.push_back(labelSize(item->name, style));
  }
  const std::vector<cv::Rect> boxes = placeLabels(anchors, sizes, image);
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    drawLeader(panorama, anchors[i], boxes[i], categoryColour(labelled[i]->category));
  }
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    drawLabel(panorama, labelled[i]->name, boxes[i], categoryColour(labelled[i]->category), style);
  }
}

void drawDirectionMarks(cv::Mat& panorama, const PreviewStyle& style) {
  const char* const names[4] = {"+x", "-y", "-x", "+y"};
  int baseline = 0;
  for (int k = 0; k < 4; ++k) {
    const int column = panorama.cols * k / 4;
    const cv::Size size = cv::getTextSize(names[k], cv::FONT_HERSHEY_SIMPLEX, style.textScale,
                                          style.textThickness, &baseline);
    const int tick = size.height;
    // Centred on its column, but the name of column 0 starts there.
    const int left = k == 0 ? column + style.padding : column - size.width / 2;
    cv::line(panorama, cv::Point(column, 0), cv::Point(column, tick), kPreviewHalo, 4);
    cv::line(panorama, cv::Point(column, 0), cv::Point(column, tick), kPreviewCapture, 2);
    const cv::Point at(std::max(left, 0), tick + style.padding + size.height);
    drawHaloText(panorama, names[k], at, style, kPreviewCapture);
  }
}

}  // namespace roombox
