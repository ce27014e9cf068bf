#include "OpenGL_Shaders.h"

#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <tesra/tesra.h>

namespace tesra
{
    static bool loadShader(const hstring& filename, const char* failure)
    {
        if (!quortypes::Resource::exists(filename))
        {
            quortypes::Log::error(logTag, "Shader file not found: " + filename);
            return false;
        }
        quortypes::Log::error(logTag, failure);
        return false;
    }

    bool OpenGL_PixelShader::load(const hstring& filename)
    {
        return loadShader(filename, "Failed to create pixel shader!");
    }

    void OpenGL_PixelShader::setConstantsB(const int*, unsigned int) {}
    void OpenGL_PixelShader::setConstantsI(const int*, unsigned int) {}
    void OpenGL_PixelShader::setConstantsF(const float*, unsigned int) {}

    bool OpenGL_VertexShader::load(const hstring& filename)
    {
        return loadShader(filename, "Failed to create vertex shader!");
    }

    void OpenGL_VertexShader::setConstantsB(const int*, unsigned int) {}
    void OpenGL_VertexShader::setConstantsI(const int*, unsigned int) {}
    void OpenGL_VertexShader::setConstantsF(const float*, unsigned int) {}
} // namespace tesra
