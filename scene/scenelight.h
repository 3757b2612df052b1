#pragma once

// The fixed GL state of the stage: black clear colour, one white directional light given under
// the current model-view matrix, depth test, back-face culling, smooth shading, repeating
// mipmapped textures on the bound texture, normalised normals.
void setUpSceneLight();
