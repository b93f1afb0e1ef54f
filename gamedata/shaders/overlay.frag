#version 330 core
// Overlay: dark destinations are multiplied, light ones screened, by the
// source; the result is mixed in by the source's alpha. uDest is a copy of
// the target (premultiplied), uMode says how the source texture is stored.
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
    vec3 low = 2.0 * d * s;
    vec3 high = 1.0 - 2.0 * (1.0 - d) * (1.0 - s);
    vec3 blended = mix(low, high, step(0.5, d));
    vec3 rgb = mix(d, blended, src.a);
    float a = src.a + dst.a * (1.0 - src.a);
    fragColor = vec4(rgb * a, a);
}
