#include <quortypes/exception.h>
#include <quortypes/harray.h>
#include <tesraparticle/tesraparticle.h>

namespace tesraparticle
{
    namespace
    {
        harray<float> readComponents(const hstring& text, int count, const char* typeName)
        {
            harray<hstring> pieces = text.split(',');
            if (pieces.size() != count)
            {
                throw quortypes::exception("Cannot convert string '" + text + "' to " + typeName + ".",
                                           __FILE__, __LINE__);
            }
            harray<float> result;
            for (const hstring& piece : pieces)
            {
                result.push_back(piece.trimmed().toFloat());
            }
            return result;
        }
    } // namespace

    hstring gvec2_to_str(const kavtypes::Vector2& vector)
    {
        return hstring(vector.x) + "," + hstring(vector.y);
    }

    hstring gvec3_to_str(const kavtypes::Vector3& vector)
    {
        return hstring(vector.x) + "," + hstring(vector.y) + "," + hstring(vector.z);
    }

    kavtypes::Vector2 str_to_gvec2(const hstring& text)
    {
        harray<float> c = readComponents(text, 2, "kavtypes::Vector2");
        return kavtypes::Vector2(c[0], c[1]);
    }

    kavtypes::Vector3 str_to_gvec3(const hstring& text)
    {
        harray<float> c = readComponents(text, 3, "kavtypes::Vector3");
        return kavtypes::Vector3(c[0], c[1], c[2]);
    }
} // namespace tesraparticle
