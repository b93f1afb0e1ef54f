#version 330 core
// Soft light (the W3C formula): the source lightens or darkens the
// destination gently; mixed in by the source's alpha.
in vec2 vUV;
in vec4 vColor;
uniform sampler2D uTexture;
uniform sampler2D uDest;
uniform vec2 uTargetSize;
uniform int uMode;
out vec4 fragColor;

vec4 Source() {
    if (uMode == 0) return vColor;
    vec4 t = texture(uTexture, vUV);
    if (uMode == 2 && t.a > 0.0) t.rgb /= t.a;
    return t * vColor;
}

void main() {
    vec4 src = Source();
    vec4 dst = texture(uDest, gl_FragCoord.xy / uTargetSize);
    vec3 d = dst.a > 0.0 ? dst.rgb / dst.a : vec3(0.0);
    vec3 s = src.rgb;
    vec3 g = mix(((16.0 * d - 12.0) * d + 4.0) * d, sqrt(d), step(0.25, d));
    vec3 dark = d - (1.0 - 2.0 * s) * d * (1.0 - d);
    vec3 light = d + (2.0 * s - 1.0) * (g - d);
    vec3 blended = mix(dark, light, step(0.5, s));
    vec3 rgb = mix(d, blended, src.a);
    float a = src.a + dst.a * (1.0 - src.a);
    fragColor = vec4(rgb * a, a);
}
