#include "driver/scene_store.h"

SceneStore sceneStore;
