#version 330 core
// Lit program, vertex stage. The attribute locations are shared with the
// depth and water programs: their vertex arrays reuse these pointers.
//
// NOTE: software rasterisers (llvmpipe) read a uniform in the fragment stage
// once for every pixel. So what the fragment stage needs of the material and
// the lights is formed here and handed on: the ways to the eye and to each
// light smoothly (they are linear in the position, so interpolating them is
// exact), the colours and attenuations flat. 54 components in 15 vectors:
// within what every GL 3.3 and ES 3.0 implementation passes between the
// stages (without gl_ClipDistance the clip plane's distance takes the free
// fourth component of the normal).
const int kMaxLights = 3;

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

uniform vec3 diffuse;
uniform vec3 specular;
uniform float shininess;
uniform int lichtquellenanzahl;
uniform vec3 lichtquellenposition[kMaxLights];
uniform vec3 intensityDiffuse[kMaxLights];
uniform vec3 intensitySpecular[kMaxLights];
uniform float constantAttenuation[kMaxLights];
uniform float linearAttenuation[kMaxLights];
uniform float quadraticAttenuation[kMaxLights];

#ifdef CLIP_DISTANCE
out vec3 worldNormal;
#else
out vec4 worldNormal; // w: the height above the clip plane, clipped by the fragment stage
#endif
out vec2 texCoord;
out vec4 shadowCoord;
out vec4 toEyeAndDepth; // xyz: from here to the eye, w: depth in front of the camera
out vec3 toLight[kMaxLights];
// rgb: the material's colour times the light's (black for a slot without a
// light), a: the light's constant and linear attenuation
flat out vec4 diffuseLight[kMaxLights];
flat out vec4 specularLight[kMaxLights];
flat out vec4 quadraticAndShininess; // the lights' quadratic attenuations, the shininess
flat out vec4 skyLightAndFar;        // the material's share of the sky light, the far plane

// the depth program lays down the same depths first (see ShadowMap.vert)
invariant gl_Position;

void main() {
    vec4 world = modelMatrix * vec4(position, 1.0);
    // the game's model matrices only scale uniformly, so the upper 3x3 keeps
    // normals perpendicular
    worldNormal.xyz = mat3(modelMatrix) * normal;
    texCoord = uv;
    shadowCoord = depthProjectionViewModelMatrix * vec4(position, 1.0);
    // the camera sits where the view's rotation undoes its translation
    vec3 eye = -transpose(mat3(viewMatrix)) * cameraLocation;
    toEyeAndDepth = vec4(eye - world.xyz, -(viewModelMatrix * vec4(position, 1.0)).z);

    int count = min(lichtquellenanzahl, kMaxLights);
    for (int k = 0; k < kMaxLights; ++k) {
        float used = k < count ? 1.0 : 0.0;
        toLight[k] = lichtquellenposition[k] - world.xyz;
        diffuseLight[k] = vec4(used * diffuse * intensityDiffuse[k], constantAttenuation[k]);
        specularLight[k] = vec4(used * specular * intensitySpecular[k], linearAttenuation[k]);
        quadraticAndShininess[k] = quadraticAttenuation[k];
    }
    quadraticAndShininess.w = max(shininess, 1.0);
    // the far plane of the camera's perspective sets where the fog closes in
    skyLightAndFar = vec4(0.22 * diffuse, projectionMatrix[3][2] / (projectionMatrix[2][2] + 1.0));

#ifdef CLIP_DISTANCE
    // read only while GL_CLIP_DISTANCE0 is on (the reflection pass)
    gl_ClipDistance[0] = dot(clipPlane, world);
#else
    // the main pass's plane is all zero: nothing is below it
    worldNormal.w = dot(clipPlane, world);
#endif
    gl_Position = projectionViewModelMatrix * vec4(position, 1.0);
}
