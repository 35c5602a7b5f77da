#version 330 core
// Lit program, fragment stage: per-pixel lighting from every light with its
// attenuation, the material colours times the diffuse texture, a filtered
// shadow lookup for the sun (light 0) and distance fog. The water clip plane
// is applied by the vertex stage: a discard here would cost the early depth
// test for every fragment of the main pass.
//
// NOTE: software rasterisers (llvmpipe) run both sides of every branch for a
// block of pixels, and a loop over a uniform count indexes the light arrays
// one pixel at a time. So the lights are a loop of constant length, which the
// compiler unrolls into straight code with fixed indices, and each slot costs
// every pixel whether it holds a light or not: there are exactly as many slots
// as the scene has lights (sun, sky light, the monitor's screen).
const int kMaxLights = 3;

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

// What light k adds here. The shadow lookup is the sun's alone.
vec3 lightFrom(int k, vec3 n, vec3 toEye, vec3 albedo) {
    vec3 toLight = lichtquellenposition[k] - worldPosition;
    float d = length(toLight);
    toLight /= max(d, 1e-4);
    float attenuation = 1.0 / max(constantAttenuation[k] + linearAttenuation[k] * d
                                  + quadraticAttenuation[k] * d * d, 1e-4);
    float lambert = max(dot(n, toLight), 0.0); // facing away: no light, no highlight
    vec3 halfway = normalize(toLight + toEye);
    float highlight = lambert > 0.0 ? pow(max(dot(n, halfway), 0.0), max(shininess, 1.0)) : 0.0;
    float visible = (k == 0 && !sunShadowOff && lambert > 0.0) ? sunVisibility(n, toLight) : 1.0;
    return visible * attenuation * (albedo * intensityDiffuse[k] * lambert
                                    + specular * intensitySpecular[k] * highlight);
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
    for (int k = 0; k < kMaxLights; ++k)
        colour += (k < count ? 1.0 : 0.0) * lightFrom(k, n, toEye, albedo);

    // an identity projection (before the level sets one) gives no fog
    float fog = farPlane > 1.0 ? clamp((viewDepth - 0.25 * farPlane) / (0.6 * farPlane), 0.0, 0.85) : 0.0;
    fragColor = vec4(mix(colour, kSkyColor, fog), texel.a);
}
