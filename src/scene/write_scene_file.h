#pragma once

// Writes sceneStore.sceneText followed by one line feed to the file
// basePath + outputPrefix + ".JSON". Stops the run when the file cannot be
// opened or written.
void writeSceneFile();
