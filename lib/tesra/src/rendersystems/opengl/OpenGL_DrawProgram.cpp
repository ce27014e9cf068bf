#include "OpenGL_DrawProgram.h"

#include <vector>

#include <quortypes/exception.h>

#include "GLFunctions.h"

namespace tesra
{
    using opengl::gl;

    // Positions go through the fixed matrices, as before, so that the matrix stack keeps working.
    static const char* const vertexSource = "#version 120\n"
                                            "attribute float slot;\n"
                                            "varying float vSlot;\n"
                                            "void main()\n"
                                            "{\n"
                                            "    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;\n"
                                            "    gl_FrontColor = gl_Color;\n"
                                            "    gl_TexCoord[0] = gl_MultiTexCoord0;\n"
                                            "    vSlot = slot;\n"
                                            "}\n";

    OpenGL_DrawProgram::~OpenGL_DrawProgram()
    {
        destroy();
    }

    hstring OpenGL_DrawProgram::makeFragmentSource(int units)
    {
        // GLSL 1.20 indexes sampler arrays only by constants: each unit is a branch of its own.
        hstring source = "#version 120\nuniform int combine;\nuniform float factor;\nvarying float vSlot;\n";
        for (int i = 0; i < units; ++i)
        {
            source += formatString("uniform sampler2D t%d;\n", i);
        }
        source += "vec4 sampleSlot(vec2 uv)\n{\n";
        for (int i = 0; i < units - 1; ++i)
        {
            source += formatString("    if (vSlot < %d.5) return texture2D(t%d, uv);\n", i, i);
        }
        source += formatString("    return texture2D(t%d, uv);\n}\n", units - 1);
        source += "void main()\n"
                  "{\n"
                  "    vec4 color = gl_Color;\n"
                  "    if (vSlot < -0.5)\n"
                  "    {\n"
                  "        gl_FragColor = color;\n"
                  "        return;\n"
                  "    }\n"
                  "    vec4 texel = sampleSlot(gl_TexCoord[0].st);\n"
                  "    vec3 rgb = texel.rgb * color.rgb;\n"
                  "    if (combine == 1)\n"
                  "    {\n"
                  "        rgb = mix(texel.rgb, color.rgb, factor);\n"
                  "    }\n"
                  "    else if (combine == 2)\n"
                  "    {\n"
                  "        rgb = color.rgb;\n"
                  "    }\n"
                  "    gl_FragColor = vec4(rgb, texel.a * color.a);\n"
                  "}\n";
        return source;
    }

    static unsigned int compile(GLenum kind, const hstring& source)
    {
        const GLuint shader = gl.CreateShader(kind);
        const char* text = source.c_str();
        gl.ShaderSource(shader, 1, &text, nullptr);
        gl.CompileShader(shader);
        GLint ok = GL_FALSE;
        gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
        if (ok != GL_TRUE)
        {
            std::vector<char> log(4096, '\0');
            gl.GetShaderInfoLog(shader, (GLsizei)log.size() - 1, nullptr, log.data());
            gl.DeleteShader(shader);
            throw quortypes::exception(hstring("Unable to compile the draw shader: ") + log.data(),
                                       "src/rendersystems/opengl/OpenGL_DrawProgram", __LINE__);
        }
        return shader;
    }

    void OpenGL_DrawProgram::create(int units)
    {
        destroy();
        this->units = units < 1 ? 1 : units;
        const GLuint vertex = compile(GL_VERTEX_SHADER, vertexSource);
        GLuint fragment = 0;
        try
        {
            fragment = compile(GL_FRAGMENT_SHADER, makeFragmentSource(this->units));
        }
        catch (...)
        {
            gl.DeleteShader(vertex);
            throw;
        }
        program = gl.CreateProgram();
        gl.AttachShader(program, vertex);
        gl.AttachShader(program, fragment);
        gl.BindAttribLocation(program, slotAttribute, "slot");
        gl.LinkProgram(program);
        // The program keeps what it needs; the shaders go once it is linked.
        gl.DeleteShader(vertex);
        gl.DeleteShader(fragment);
        GLint ok = GL_FALSE;
        gl.GetProgramiv(program, GL_LINK_STATUS, &ok);
        if (ok != GL_TRUE)
        {
            std::vector<char> log(4096, '\0');
            gl.GetProgramInfoLog(program, (GLsizei)log.size() - 1, nullptr, log.data());
            destroy();
            throw quortypes::exception(hstring("Unable to link the draw shader: ") + log.data(),
                                       "src/rendersystems/opengl/OpenGL_DrawProgram", __LINE__);
        }
        gl.UseProgram(program);
        for (int i = 0; i < this->units; ++i)
        {
            gl.Uniform1i(gl.GetUniformLocation(program, formatString("t%d", i).c_str()), i);
        }
        combineLocation = gl.GetUniformLocation(program, "combine");
        factorLocation = gl.GetUniformLocation(program, "factor");
        appliedCombine = -1;
        appliedFactor = -1.0f;
        setCombine(COMBINE_MODULATE, 1.0f);
    }

    void OpenGL_DrawProgram::destroy()
    {
        if (program != 0)
        {
            gl.UseProgram(0);
            gl.DeleteProgram(program);
            program = 0;
        }
    }

    void OpenGL_DrawProgram::use()
    {
        gl.UseProgram(program);
    }

    void OpenGL_DrawProgram::setCombine(Combine combine, float factor)
    {
        if ((int)combine != appliedCombine)
        {
            gl.Uniform1i(combineLocation, (int)combine);
            appliedCombine = (int)combine;
        }
        int f = (int)(factor * 255.0f);
        f = f < 0 ? 0 : (f > 255 ? 255 : f);
        const float quantised = f / 255.0f;
        if (quantised != appliedFactor)
        {
            gl.Uniform1f(factorLocation, quantised);
            appliedFactor = quantised;
        }
    }
} // namespace tesra
