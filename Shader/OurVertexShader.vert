#version 330 core
// Lit program, vertex stage. The attribute locations are shared with the
// depth and water programs: their vertex arrays reuse these pointers.
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 uv;

uniform mat4 modelMatrix;
uniform mat4 viewMatrix;
uniform mat4 projectionMatrix;
uniform mat4 viewModelMatrix;
uniform mat4 projectionViewModelMatrix;
uniform mat4 depthProjectionViewModelMatrix;
uniform vec3 cameraLocation; // the view matrix's translation column
uniform vec4 clipPlane;      // all zero keeps everything

out vec3 worldPosition;
out vec3 worldNormal;
out vec2 texCoord;
out vec4 shadowCoord;
out float viewDepth;
out float farPlane;
out vec3 eyePosition;

// the depth program lays down the same depths first (see ShadowMap.vert)
invariant gl_Position;

void main() {
    vec4 world = modelMatrix * vec4(position, 1.0);
    worldPosition = world.xyz;
    // the game's model matrices only scale uniformly, so the upper 3x3 keeps
    // normals perpendicular
    worldNormal = mat3(modelMatrix) * normal;
    texCoord = uv;
    shadowCoord = depthProjectionViewModelMatrix * vec4(position, 1.0);
    viewDepth = -(viewModelMatrix * vec4(position, 1.0)).z;
    // the far plane of the camera's perspective sets where the fog closes in
    farPlane = projectionMatrix[3][2] / (projectionMatrix[2][2] + 1.0);
    // the camera sits where the view's rotation undoes its translation
    eyePosition = -transpose(mat3(viewMatrix)) * cameraLocation;
    // read only while GL_CLIP_DISTANCE0 is on (the reflection pass)
    gl_ClipDistance[0] = dot(clipPlane, world);
    gl_Position = projectionViewModelMatrix * vec4(position, 1.0);
}
