#pragma once

#include "EngineHarness.h"
#include "Session.h"
#include "SessionState.h"
#include "Variables.h"

using namespace vumo;

namespace harness
{
    // A fixture that starts the session by hand, without the game's shell, and ends it after each test.
    class SessionTest : public GameTest
    {
    protected:
        // A session of its own on the folder as it stands: variables, user folder and configuration all
        // start anew. Wrap the call in ASSERT_NO_FATAL_FAILURE: a configuration that fails to load ends it.
        void startSession(Session::UIFactory createUI = nullptr)
        {
            engine.reset(new Engine(folder));
            VariableDictionary::getGlobal() = VariableDictionary();
            Session::forgetUserFolder();
            ASSERT_TRUE(Session::loadConfig(false));
            Session::init(createUI);
            keepLoadedLibraries();
        }
        void TearDown() override
        {
            Session::destroy();
            engine.reset();
            Session::forgetConfig();
            Session::forgetUserFolder();
        }
    };
} // namespace harness
