#include "DebugCommon.h"

#include <memory>

#include <fintu/Renderer.h>
#include <fintuttf/FontTtf.h>

#include "DebugFontData.h"

namespace vumo
{
    namespace DebugCommon
    {
        const char* const fontName = "debug";

        void createFont()
        {
            if (fintu::renderer == nullptr || fintu::renderer->hasFont(fontName))
            {
                return;
            }
            const float height = 44.0f;
            // The face's own descent, about a quarter of its height.
            fintu::renderer->registerFont(
                std::make_unique<fintuttf::FontTtf>(debugFontData(), debugFontSize(), fontName, height, 0.5f,
                                                    height, height * 0.24f),
                false);
        }

        float textScale(float lineHeight)
        {
            // The font's height at scale 1 is 22 units; the tuning's line height sets the size.
            return lineHeight / 22.0f;
        }

        hstring escapeTags(const hstring& text)
        {
            return text.replaced("[", "[]");
        }

        hstring bracketsToAngles(const hstring& text)
        {
            return text.replaced("[", "<").replaced("]", ">");
        }

        bool isShiftKey(int keyCode)
        {
            return keyCode == 16 || keyCode == 160 || keyCode == 161;
        }

        bool isCtrlKey(int keyCode)
        {
            return keyCode == 17 || keyCode == 162 || keyCode == 163 || keyCode == 1117 || keyCode == 1118;
        }

        bool isAltKey(int keyCode)
        {
            return keyCode == 18 || keyCode == 164 || keyCode == 165;
        }
    } // namespace DebugCommon
} // namespace vumo
