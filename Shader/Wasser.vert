#version 330 core
// Water program, vertex stage. "position" and "uv" sit at the lit program's
// locations because the water's vertex arrays were wired for it.
layout(location = 0) in vec3 position;
layout(location = 2) in vec2 uv;

uniform mat4 projectionModelView;
uniform mat4 reflectionProjectionModelView;
uniform mat4 modelMatrix;
uniform vec3 viewTranslation; // the view matrix's translation column

out vec4 reflectionClip;
out vec3 worldPosition;
out vec2 texCoord;
// the same for every vertex: worked out here once rather than per pixel
flat out vec3 eyePosition;

// The camera position: the view rotation is recovered from the rows of
// projection x view (a symmetric perspective scales rows 0 and 1 and negates
// the view's third row into row 3), the translation comes from the uniform.
vec3 cameraPosition() {
    mat4 pv = projectionModelView * inverse(modelMatrix);
    vec3 r0 = normalize(vec3(pv[0][0], pv[1][0], pv[2][0]));
    vec3 r1 = normalize(vec3(pv[0][1], pv[1][1], pv[2][1]));
    vec3 r2 = -normalize(vec3(pv[0][3], pv[1][3], pv[2][3]));
    mat3 rotation = transpose(mat3(r0, r1, r2));
    return -transpose(rotation) * viewTranslation;
}

void main() {
    reflectionClip = reflectionProjectionModelView * vec4(position, 1.0);
    worldPosition = (modelMatrix * vec4(position, 1.0)).xyz;
    texCoord = uv;
    eyePosition = cameraPosition();
    gl_Position = projectionModelView * vec4(position, 1.0);
}
