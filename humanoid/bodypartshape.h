#pragma once

#include <vector>

// One indexed triangle mesh of a body part with a normal per vertex. The loader fills it in this
// order: vertices (with zeroed normals) at its Coordinate node, the winding flag, the triangle
// indices, and the normals once the whole file has been read. Once the loader has accepted a part,
// every index names a vertex.
struct MeshPart
{
    std::vector<float> vertices; // x, y, z per vertex
    std::vector<int> indices;    // three per triangle
    std::vector<float> normals;  // x, y, z per vertex, as many as vertices
    bool ccw = true;
};

// The material, transform and meshes of one body-part file.
class BodyPartShape
{
public:
    // Draws in the current model-view frame with vertex and normal arrays; leaves 2D texturing
    // and both arrays enabled.
    void draw() const;

    float ambientIntensity = 0.2f;
    float diffuseColor[3] = {1, 1, 1};
    float specularColor[3] = {0.33f, 0.33f, 0.33f};
    float emissiveColor[3] = {0, 0, 0};
    float shininess = 0.3f; // 0..1 as in the file; handed to GL unscaled
    float transparency = 0;
    std::vector<MeshPart> meshParts;
    float translation[3] = {0, 0, 0};
    float rotation[4] = {0, 1, 0, 0}; // axis and angle in degrees
    float scale[3] = {1, 1, 1};
};
