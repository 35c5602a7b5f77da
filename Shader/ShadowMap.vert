#version 330 core
// Depth program: only the position, at the lit program's attribute location.
// Besides the shadow map it lays down depth from the camera's view, which the
// lit program must then meet exactly: both declare gl_Position invariant and
// get the same matrix.
layout(location = 0) in vec3 position;

uniform mat4 depthProjectionViewModelMatrix;

invariant gl_Position;

void main() {
    gl_Position = depthProjectionViewModelMatrix * vec4(position, 1.0);
}
