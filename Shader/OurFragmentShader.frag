#version 330 core
// Lit program, fragment stage: per-pixel lighting from every light with its
// attenuation, the material colours times the diffuse texture, a filtered
// shadow lookup for the sun (light 0) and distance fog. The water clip plane
// is applied by the vertex stage: a discard here would cost the early depth
// test for every fragment of the main pass.
//
// NOTE: under llvmpipe a branch saves nothing: both sides run for a block of
// pixels, masked. Only a loop that ends early for every pixel of the block
// skips work, which is how a light too faint to see is left out.
const int kMaxLights = 8;

in vec3 worldPosition;
in vec3 worldNormal;
in vec2 texCoord;
in vec4 shadowCoord;
in float viewDepth;
in float farPlane;
in vec3 eyePosition;

uniform vec3 diffuse;
uniform vec3 specular;
uniform float shininess;
uniform sampler2D colorTexture;
uniform sampler2DShadow shadowMap;
uniform int lichtquellenanzahl;
uniform bool sunShadowOff; // the reflection, rippled and blended, goes without
uniform vec3 lichtquellenposition[kMaxLights];
uniform vec3 intensityDiffuse[kMaxLights];
uniform vec3 intensitySpecular[kMaxLights];
uniform float constantAttenuation[kMaxLights];
uniform float linearAttenuation[kMaxLights];
uniform float quadraticAttenuation[kMaxLights];

out vec4 fragColor;

const vec3 kSkyColor = vec3(0.55, 0.68, 0.85);

float sunVisibility(vec3 n, vec3 toSun) {
    vec3 p = shadowCoord.xyz / shadowCoord.w;
    if (shadowCoord.w <= 0.0 || p.x <= 0.0 || p.x >= 1.0 || p.y <= 0.0 || p.y >= 1.0 || p.z >= 1.0)
        return 1.0;
    // slope-scaled bias on top of the polygon offset of the shadow pass
    float bias = 0.0004 + 0.0015 * (1.0 - max(dot(n, toSun), 0.0));
    // Two taps half a texel apart on the diagonal, each a bilinear 2x2
    // comparison through the linear filter: eight depth tests, soft edges.
    // (Four taps cost a third more of the whole frame under llvmpipe.)
    vec2 texel = 1.0 / vec2(textureSize(shadowMap, 0));
    float lit = texture(shadowMap, vec3(p.xy + vec2(-0.75, -0.75) * texel, p.z - bias))
              + texture(shadowMap, vec3(p.xy + vec2(0.75, 0.75) * texel, p.z - bias));
    return lit * 0.5;
}

// Below this a light adds less than half a step of an 8-bit channel.
const float kFaint = 0.5 / 255.0;

// The most light k can add here: its attenuation at this distance times its
// brightest channel, diffuse and specular together (the albedo, the specular
// colour, the cosines and the shadow only lower it).
float strongest(int k) {
    float d = length(lichtquellenposition[k] - worldPosition);
    float attenuation = 1.0 / max(constantAttenuation[k] + linearAttenuation[k] * d
                                  + quadraticAttenuation[k] * d * d, 1e-4);
    vec3 colour = intensityDiffuse[k] + intensitySpecular[k];
    return attenuation * max(max(colour.r, colour.g), colour.b);
}

void main() {
    vec4 texel = texture(colorTexture, texCoord);
    vec3 albedo = diffuse * texel.rgb;
    vec3 n = normalize(worldNormal);
    if (!gl_FrontFacing)
        n = -n;
    vec3 toEye = normalize(eyePosition - worldPosition);

    vec3 colour = 0.22 * albedo; // sky light
    int count = min(lichtquellenanzahl, kMaxLights);
    // The last light is the monitor's screen: far from it, it is too faint.
    if (count > 0 && strongest(count - 1) < kFaint)
        count -= 1;
    for (int k = 0; k < count; ++k) {
        vec3 toLight = lichtquellenposition[k] - worldPosition;
        float d = length(toLight);
        toLight /= max(d, 1e-4);
        float attenuation = 1.0 / max(constantAttenuation[k] + linearAttenuation[k] * d
                                      + quadraticAttenuation[k] * d * d, 1e-4);
        float lambert = dot(n, toLight);
        if (lambert <= 0.0)
            continue; // faces away: no light, and no shadow lookup to pay for
        vec3 halfway = normalize(toLight + toEye);
        float highlight = pow(max(dot(n, halfway), 0.0), max(shininess, 1.0));
        float visible = (k == 0 && !sunShadowOff) ? sunVisibility(n, toLight) : 1.0;
        colour += visible * attenuation * (albedo * intensityDiffuse[k] * lambert
                                           + specular * intensitySpecular[k] * highlight);
    }

    // an identity projection (before the level sets one) gives no fog
    float fog = farPlane > 1.0 ? clamp((viewDepth - 0.25 * farPlane) / (0.6 * farPlane), 0.0, 0.85) : 0.0;
    fragColor = vec4(mix(colour, kSkyColor, fog), texel.a);
}
