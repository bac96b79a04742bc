#version 110

uniform float iTime;
uniform vec2 iResolution;
uniform float windowHeight;
uniform sampler2D iChannel0;
uniform sampler2D iChannel1;

varying vec2 fs_tex;

// A stand-in for the ray-marched scene: the ground texture tiled over the
// window, fading in over the first two seconds as the scene's exposure does.
void main()
{
    vec2 vUV = gl_FragCoord.xy / iResolution;
    vec2 vTexCoord = vUV * vec2(iResolution.x / iResolution.y, 1.0) * 2.0;
    float fExposure = clamp(0.5 * iTime, 0.0, 1.0);
    vec3 vColor = texture2D(iChannel0, vTexCoord).rgb;
    gl_FragColor = vec4(vColor * fExposure, 1.0);
}

//~
