#version 330 core
// Shared by the blend shaders: positions in target pixels, rows top-down.
layout(location = 0) in vec2 aPos;
layout(location = 1) in vec2 aUV;
layout(location = 2) in vec4 aColor;
uniform vec2 uTargetSize;
uniform float uFlip;
out vec2 vUV;
out vec4 vColor;
void main() {
    vec2 ndc = aPos / uTargetSize * 2.0 - 1.0;
    if (uFlip > 0.5) ndc.y = -ndc.y;
    gl_Position = vec4(ndc, 0.0, 1.0);
    vUV = aUV;
    vColor = aColor;
}
