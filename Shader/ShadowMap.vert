#version 330 core
// Depth program: only the position, at the lit program's attribute location.
layout(location = 0) in vec3 position;

uniform mat4 depthProjectionViewModelMatrix;

void main() {
    gl_Position = depthProjectionViewModelMatrix * vec4(position, 1.0);
}
