#version 330 core
// Depth program: the depth buffer is the result; the colour is never stored.
layout(location = 0) out vec4 fragColor;

void main() {
    fragColor = vec4(gl_FragCoord.z);
}
