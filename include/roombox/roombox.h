#pragma once

// The whole public interface of roombox: read a room's planes and panorama,
// reconstruct it, write its files.
//
//   cv::Mat panorama = roombox::readPanorama("scene/shifted_t.png");
//   roombox::PlaneList planes = roombox::readPlaneInfo("scene/", "planes.txt");
//   roombox::Reconstruction room = roombox::reconstructRoom(planes, panorama);
//   roombox::writeObjectObj(room, "scene/room-rect-Object.obj");
//
// Every failure is thrown as roombox::Error.

#include "roombox/bake_atlas.h"
#include "roombox/acoustic_materials.h"
#include "roombox/categories.h"
#include "roombox/compute_room_acoustics.h"
#include "roombox/cuboid.h"
#include "roombox/error.h"
#include "roombox/impulse_response.h"
#include "roombox/merge_textures.h"
#include "roombox/mesh_store.h"
#include "roombox/plane.h"
#include "roombox/read_panorama.h"
#include "roombox/read_plane_info.h"
#include "roombox/reconstruct_room.h"
#include "roombox/reconstruction.h"
#include "roombox/room_acoustics.h"
#include "roombox/scene_model.h"
#include "roombox/version.h"
#include "roombox/view_config.h"
#include "roombox/write_acoustics.h"
#include "roombox/write_baked_obj.h"
#include "roombox/write_colour_obj.h"
#include "roombox/write_cuboid_text.h"
#include "roombox/write_glb.h"
#include "roombox/write_object_obj.h"
#include "roombox/write_object_off.h"
#include "roombox/write_preview.h"
#include "roombox/write_scene_file.h"
#include "roombox/write_textured_obj.h"
