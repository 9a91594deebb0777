#pragma once

// Loads the panorama "shifted_t.png" (the last textureNames slot) from the
// base path into sceneStore.panorama (8-bit BGR) with panoramaWidth and
// panoramaHeight, stacks it with one band per extra view (view i from
// textureNames slot i, below the panorama), and saves the stacked image as
// basePath + textureFileName. Stops the run when an image cannot be read, a
// view image differs in size from the panorama, or the result cannot be
// written.
void mergeTextures();
