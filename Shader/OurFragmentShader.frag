#version 330 core
// Lit program, fragment stage: per-pixel lighting from every light with its
// attenuation, the material colours times the diffuse texture, a filtered
// shadow lookup for the sun (light 0) and distance fog. The water clip plane
// is applied by the vertex stage (gl_ClipDistance): a discard here costs the
// early depth test for every fragment of the main pass, so only a GL without
// clip distances (CLIP_DISTANCE undefined) clips here.
//
// NOTE: software rasterisers (llvmpipe) run both sides of every branch for a
// block of pixels, and read a uniform here once for every pixel. So the
// material and the lights arrive from the vertex stage, and the lights are a
// loop of constant length, which the compiler unrolls into straight code;
// each slot costs every pixel whether it holds a light or not: there are
// exactly as many slots as the scene has lights (sun, sky light, the
// monitor's screen).
const int kMaxLights = 3;

#ifdef CLIP_DISTANCE
in vec3 worldNormal;
#else
in vec4 worldNormal; // w: the height above the clip plane
#endif
in vec2 texCoord;
in vec4 shadowCoord;
in vec4 toEyeAndDepth;
in vec3 toLight[kMaxLights];
flat in vec4 diffuseLight[kMaxLights];
flat in vec4 specularLight[kMaxLights];
flat in vec4 quadraticAndShininess;
flat in vec4 skyLightAndFar;

uniform sampler2D colorTexture;
uniform sampler2DShadow shadowMap;
uniform bool sunShadowOff; // the reflection, rippled and blended, goes without

layout(location = 0) out vec4 fragColor;

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
vec3 lightFrom(int k, vec3 n, vec3 toEye, vec3 texel) {
    float d = length(toLight[k]);
    vec3 l = toLight[k] / max(d, 1e-4);
    float attenuation = 1.0 / max(diffuseLight[k].a + specularLight[k].a * d + quadraticAndShininess[k] * d * d, 1e-4);
    float lambert = max(dot(n, l), 0.0); // facing away: no light, no highlight
    vec3 halfway = normalize(l + toEye);
    float highlight = lambert > 0.0 ? pow(max(dot(n, halfway), 0.0), quadraticAndShininess.w) : 0.0;
    float visible = (k == 0 && !sunShadowOff && lambert > 0.0) ? sunVisibility(n, l) : 1.0;
    return visible * attenuation * (texel * diffuseLight[k].rgb * lambert + specularLight[k].rgb * highlight);
}

void main() {
#ifndef CLIP_DISTANCE
    if (worldNormal.w < 0.0)
        discard;
#endif
    vec4 texel = texture(colorTexture, texCoord);
    vec3 n = normalize(worldNormal.xyz);
    if (!gl_FrontFacing)
        n = -n;
    vec3 toEye = normalize(toEyeAndDepth.xyz);

    vec3 colour = skyLightAndFar.rgb * texel.rgb;
    for (int k = 0; k < kMaxLights; ++k)
        colour += lightFrom(k, n, toEye, texel.rgb);

    // an identity projection (before the level sets one) gives no fog
    float farPlane = skyLightAndFar.a;
    float viewDepth = toEyeAndDepth.w;
    float fog = farPlane > 1.0 ? clamp((viewDepth - 0.25 * farPlane) / (0.6 * farPlane), 0.0, 0.85) : 0.0;
    fragColor = vec4(mix(colour, kSkyColor, fog), texel.a);
}
