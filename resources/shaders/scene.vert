#version 110

// The quad arrives in clip space; model_view is the identity each frame.
attribute vec4 position;
attribute vec2 position_tex;
attribute vec3 position_normal;
attribute vec3 position_tangent;
attribute vec3 position_bitangent;

uniform mat4 model_view;

varying vec2 fs_tex;

void main()
{
    fs_tex = position_tex;
    gl_Position = model_view * position;
}

//~
