#pragma once

// Builds the JSON scene description of the reconstructed scene into
// sceneStore.sceneText with sceneStore.sceneWriter: one entry per cuboid of
// kind 1.0, then one per wall, floor and ceiling plane (type 7, 8 or 9), each
// named, categorised and given materials from the rectangle groups and group
// labels of mesh generation. The text is never cut off: a document that does
// not fit in kSceneTextCapacity characters is rebuilt in a buffer of twice
// the size until it fits.
void writeSceneDescription();
