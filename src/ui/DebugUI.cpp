#include "DebugUI.h"

#include <fintu/Renderer.h>
#include <fintuttf/FontTtf.h>

#include "DebugFontData.h"

const char* const DebugUI::fontName = "debug";

void DebugUI::createFont()
{
    if (fintu::renderer == nullptr || fintu::renderer->hasFont(fontName))
    {
        return;
    }
    const float height = 44.0f;
    // The face's own descent, about a quarter of its height.
    fintu::renderer->registerFont(new fintuttf::FontTtf(debugFontData(), debugFontSize(), fontName, height,
                                                        0.5f, height, height * 0.24f),
                                  false);
}

void DebugUI::init(float, float, float, int)
{
    createFont();
}
