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
    // For draws whose w is 1 at every vertex, where interpolating without the perspective division gives
    // the same values and the software renderer skips that division at every pixel; the unit is the same
    // over a triangle, so it is not interpolated at all.
    static const char* const flatHeader = "#version 120\n#extension GL_EXT_gpu_shader4 : require\n"
                                          "flat varying float vSlot;\n"
                                          "noperspective varying vec4 vColor;\n"
                                          "noperspective varying vec2 vUV;\n";
    static const char* const flatVertexBody = "attribute float slot;\n"
                                              "void main()\n"
                                              "{\n"
                                              "    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;\n"
                                              "    vColor = gl_Color;\n"
                                              "    vUV = gl_MultiTexCoord0.st;\n"
                                              "    vSlot = slot;\n"
                                              "}\n";

    OpenGL_DrawProgram::~OpenGL_DrawProgram()
    {
        destroy();
    }

    // GLSL 1.20 indexes sampler arrays only by constants: each unit is a leaf of a tree of branches.
    static hstring sampleUnits(int first, int last, const hstring& indent)
    {
        if (first == last)
        {
            return indent + formatString("return texture2D(t%d, uv);\n", first);
        }
        const int middle = (first + last) / 2;
        return indent + formatString("if (vSlot < %d.5)\n", middle) + indent + "{\n" +
               sampleUnits(first, middle, indent + "    ") + indent + "}\n" +
               sampleUnits(middle + 1, last, indent);
    }

    hstring OpenGL_DrawProgram::makeFragmentSource(int units, Combine combine, bool untextured, bool indexed,
                                                   bool white, bool affine)
    {
        hstring source = affine ? hstring(flatHeader) + "uniform float factor;\n"
                                : "#version 120\nuniform float factor;\nvarying float vSlot;\n";
        const hstring colorIn = affine ? "vColor" : "gl_Color", uvIn = affine ? "vUV" : "gl_TexCoord[0].st";
        if (units == 0)
        {
            return source + "void main()\n{\n    gl_FragColor = " + colorIn + ";\n}\n";
        }
        if (indexed)
        {
            // Untextured vertices (-1) read unit 0 and throw the texel away.
            source += formatString("uniform sampler2D t[%d];\n", units);
            source += "vec4 sampleSlot(vec2 uv)\n{\n    return texture2D(t[int(vSlot + 0.5)], uv);\n}\n";
        }
        else
        {
            for (int i = 0; i < units; ++i)
            {
                source += formatString("uniform sampler2D t%d;\n", i);
            }
            source += "vec4 sampleSlot(vec2 uv)\n{\n" + sampleUnits(0, units - 1, "    ") + "}\n";
        }
        // White vertices leave the colour unread, so that it is not interpolated at every pixel.
        source += "void main()\n{\n    vec4 color = " + (white ? hstring("vec4(1.0)") : colorIn) + ";\n";
        if (untextured)
        {
            source += "    if (vSlot < -0.5)\n    {\n        gl_FragColor = color;\n        return;\n    }\n";
        }
        source += "    vec4 texel = sampleSlot(" + uvIn + ");\n";
        switch (combine)
        {
        case COMBINE_INTERPOLATE:
            source += "    vec3 rgb = mix(texel.rgb, color.rgb, factor);\n";
            break;
        case COMBINE_VERTEX_COLOR:
            source += "    vec3 rgb = color.rgb;\n";
            break;
        default:
            source += "    vec3 rgb = texel.rgb * color.rgb;\n";
            break;
        }
        return source + "    gl_FragColor = vec4(rgb, texel.a * color.a);\n}\n";
    }

    // Reads the driver's log of a shader or program that failed, deletes the object and throws the log.
    template <typename GetLog, typename Delete>
    [[noreturn]] static void fail(const char* step, unsigned int object, GetLog getLog, Delete remove)
    {
        std::vector<char> log(4096, '\0');
        getLog(object, (GLsizei)log.size() - 1, nullptr, log.data());
        remove(object);
        throw quortypes::exception(hstring("Unable to ") + step + " the draw shader: " + log.data(),
                                   "src/rendersystems/opengl/OpenGL_DrawProgram", __LINE__);
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
            fail("compile", shader, gl.GetShaderInfoLog, gl.DeleteShader);
        }
        return shader;
    }

    unsigned int OpenGL_DrawProgram::link(const hstring& fragmentSource, int units, bool indexed, bool affine)
    {
        const GLuint vertex =
            compile(GL_VERTEX_SHADER, affine ? hstring(flatHeader) + flatVertexBody : hstring(vertexSource));
        GLuint fragment = 0;
        try
        {
            fragment = compile(GL_FRAGMENT_SHADER, fragmentSource);
        }
        catch (...)
        {
            gl.DeleteShader(vertex);
            throw;
        }
        const GLuint program = gl.CreateProgram();
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
            fail("link", program, gl.GetProgramInfoLog, gl.DeleteProgram);
        }
        gl.UseProgram(program);
        for (int i = 0; i < units; ++i)
        {
            gl.Uniform1i(gl.GetUniformLocation(program, formatString(indexed ? "t[%d]" : "t%d", i).c_str()),
                         i);
        }
        return program;
    }

    void OpenGL_DrawProgram::create(int units, bool indexed)
    {
        destroy();
        this->indexed = indexed;
        this->units = units < 1 ? 1 : units;
        combine = COMBINE_MODULATE;
        factor = 1.0f;
        affineKnown = false;
        // The one that can draw every run, made now so that a driver that cannot is known at once.
        use(this->units, true, -1, false, false);
    }

    void OpenGL_DrawProgram::setIndexed(bool indexed)
    {
        if (indexed == this->indexed)
        {
            return;
        }
        const Combine keptCombine = combine;
        const float keptFactor = factor;
        create(units, indexed);
        combine = keptCombine;
        factor = keptFactor;
    }

    void OpenGL_DrawProgram::abandon()
    {
        variants.clear();
        current = 0;
    }

    void OpenGL_DrawProgram::destroy()
    {
        if (!variants.empty())
        {
            gl.UseProgram(0);
            for (auto& pair : variants)
            {
                gl.DeleteProgram(pair.second.id);
            }
        }
        abandon();
    }

    void OpenGL_DrawProgram::setCombine(Combine combine, float factor)
    {
        this->combine = combine;
        // Held as a float before it becomes a step of 1/255: a factor from a file may be any float, NaN too.
        const float scaled = factor * 255.0f;
        const int f = (scaled > 0.0f ? (scaled < 255.0f ? (int)scaled : 255) : 0);
        this->factor = f / 255.0f;
    }

    OpenGL_DrawProgram::Variant& OpenGL_DrawProgram::getVariant(int unitsUsed, bool untextured, bool white,
                                                                bool affine)
    {
        if (affine && indexed && !affineKnown)
        {
            // A driver without the extension keeps the programs with the perspective division.
            affineKnown = true;
            affineWorks = true;
            try
            {
                getVariant(units, true, false, true);
            }
            catch (const quortypes::exception&)
            {
                affineWorks = false;
            }
        }
        affine = affine && indexed && affineWorks;
        int width = 0;
        if (unitsUsed > 0)
        {
            // Powers of two, so that a handful of programs serve every run.
            width = 1;
            while (width < unitsUsed && width < units)
            {
                width *= 2;
            }
            width = width > units ? units : width;
        }
        const Combine kind = width == 0 ? COMBINE_MODULATE : combine;
        const bool branch = width != 0 && untextured;
        const bool plain = width != 0 && white;
        const int key =
            (((width * 3 + (int)kind) * 2 + (branch ? 1 : 0)) * 2 + (plain ? 1 : 0)) * 2 + (affine ? 1 : 0);
        auto found = variants.find(key);
        if (found != variants.end())
        {
            return found->second;
        }
        Variant variant;
        const bool array = indexed && width > 1;
        variant.id =
            link(makeFragmentSource(width, kind, branch, array, plain, affine), width, array, affine);
        variant.factorLocation = gl.GetUniformLocation(variant.id, "factor");
        variant.samplerLocation = gl.GetUniformLocation(variant.id, "t0");
        current = variant.id; // link leaves it in use
        return variants[key] = variant;
    }

    void OpenGL_DrawProgram::use(int unitsUsed, bool untextured, int onlyUnit, bool white, bool affine)
    {
        Variant& variant = getVariant(onlyUnit >= 0 ? 1 : unitsUsed, untextured, white, affine);
        if (variant.id != current)
        {
            gl.UseProgram(variant.id);
            current = variant.id;
        }
        const int unit = onlyUnit >= 0 ? onlyUnit : 0;
        if (variant.samplerLocation >= 0 && variant.appliedUnit != unit)
        {
            gl.Uniform1i(variant.samplerLocation, unit);
            variant.appliedUnit = unit;
        }
        if (combine == COMBINE_INTERPOLATE && variant.appliedFactor != factor)
        {
            gl.Uniform1f(variant.factorLocation, factor);
            variant.appliedFactor = factor;
        }
    }
} // namespace tesra
