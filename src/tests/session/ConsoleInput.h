#pragma once

#include <gtest/gtest.h>

#include <tesraui/Dataset.h>
#include <tesraui/EditBox.h>

#include "EngineHarness.h"
#include "ui/DebugUI.h"
#include "ui/UI.h"

using namespace vumo;

namespace harness
{
    // Types the line into the open console and submits it; the next frame runs it.
    inline void submitToConsole(Engine& engine, DebugUI* debug, const hstring& line)
    {
        tesraui::EditBox* input = dynamic_cast<tesraui::EditBox*>(
            UI::getUIDataset()->tryGetObject(hstring(DebugUI::consoleName) + "/input"));
        ASSERT_NE(input, nullptr);
        input->setText(line);
        debug->onConsoleSubmit(nullptr);
        engine.frame();
        engine.frame();
    }
} // namespace harness
