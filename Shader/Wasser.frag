#version 330 core
// Water program, fragment stage: the mirrored world looked up projectively,
// rippled by a moving normal map, with a sun highlight and a Fresnel blend
// towards the deep-water colour.
in vec4 reflectionClip;
in vec3 worldPosition;
in vec2 texCoord;
flat in vec3 eyePosition; // the camera, from the vertex stage

uniform sampler2D reflectionTexture;
uniform sampler2D normalMap;
uniform vec3 lichtposition;
uniform float time;

layout(location = 0) out vec4 fragColor;

const vec3 kDeepWater = vec3(0.04, 0.16, 0.22);

void main() {
    vec3 n1 = texture(normalMap, texCoord + vec2(0.013, 0.007) * time).rgb * 2.0 - 1.0;
    vec3 n2 = texture(normalMap, texCoord * 1.7 - vec2(0.009, 0.011) * time).rgb * 2.0 - 1.0;
    vec3 ripple = normalize(n1 + n2);
    // the maps store the surface normal with z up; the water's up is y
    vec3 n = normalize(vec3(ripple.x, ripple.z * 2.5, ripple.y));

    vec2 screen = reflectionClip.xy / reflectionClip.w * 0.5 + 0.5;
    vec2 lookup = clamp(screen + ripple.xy * 0.02, vec2(0.001), vec2(0.999));
    vec3 reflected = texture(reflectionTexture, lookup).rgb;

    vec3 toEye = normalize(eyePosition - worldPosition);
    vec3 toLight = normalize(lichtposition - worldPosition);
    float fresnel = 0.55 + 0.45 * pow(1.0 - max(dot(toEye, vec3(0.0, 1.0, 0.0)), 0.0), 3.0);
    vec3 colour = mix(kDeepWater, reflected, fresnel);
    float highlight = pow(max(dot(reflect(-toLight, n), toEye), 0.0), 120.0);
    colour += vec3(1.0, 0.95, 0.8) * highlight * 0.8;

    fragColor = vec4(colour, 0.92);
}
