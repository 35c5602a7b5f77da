#version 330 core
// Water program, vertex stage. "position" and "uv" sit at the lit program's
// locations because the water's vertex arrays were wired for it.
layout(location = 0) in vec3 position;
layout(location = 2) in vec2 uv;

uniform mat4 projectionModelView;
uniform mat4 reflectionProjectionModelView;
uniform mat4 modelMatrix;

out vec4 reflectionClip;
out vec3 worldPosition;
out vec2 texCoord;

void main() {
    reflectionClip = reflectionProjectionModelView * vec4(position, 1.0);
    worldPosition = (modelMatrix * vec4(position, 1.0)).xyz;
    texCoord = uv;
    gl_Position = projectionModelView * vec4(position, 1.0);
}
