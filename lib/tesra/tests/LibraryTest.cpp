#include <cstdlib>

#include <gtest/gtest.h>

#include <quortypes/exception.h>
#include <tesra/tesra.h>

#include "WindowTestSupport.h"

namespace
{

    harray<hstring> receivedArgs;
    std::vector<std::string> hookCalls;

    void initHook(const harray<hstring>& args)
    {
        receivedArgs = args;
        hookCalls.push_back("init");
    }

    void destroyHook()
    {
        hookCalls.push_back("destroy");
    }

    std::vector<tesra::MessageBoxButton> answers;
    void recordAnswer(tesra::MessageBoxButton button)
    {
        answers.push_back(button);
    }

    // Answers boxes through the environment switch for the length of one test.
    class ScriptedAnswer
    {
    public:
        explicit ScriptedAnswer(const char* answer) { setenv(tesra::messageBoxAnswerVariable, answer, 1); }
        ~ScriptedAnswer() { unsetenv(tesra::messageBoxAnswerVariable); }
    };

} // namespace

TEST(Library, MainRunsTheHooksAroundTheLoop)
{
    hookCalls.clear();
    char first[] = "game";
    char second[] = "-x";
    char* argv[] = {first, second, nullptr};
    EXPECT_EQ(tesra::main(initHook, destroyHook, 2, argv), 0);
    ASSERT_EQ(receivedArgs.size(), 2);
    EXPECT_EQ(receivedArgs[0], "game");
    EXPECT_EQ(receivedArgs[1], "-x");
    // Without arguments and without a window it goes straight from one hook to the other.
    EXPECT_EQ(tesra::main(initHook, destroyHook, 3, nullptr), 0);
    EXPECT_TRUE(receivedArgs.empty());
    EXPECT_EQ(hookCalls, (std::vector<std::string>{"init", "destroy", "init", "destroy"}));
}

TEST(Library, InitAndDestroyManageTheSingletons)
{
    testing_support::logLines().clear();
    quortypes::Log::setCallback(testing_support::recordLog);
    tesra::destroy(); // nothing to destroy: silent
    EXPECT_TRUE(testing_support::logLines().empty());
    EXPECT_THROW(tesra::init(0, 2), quortypes::exception);
    ASSERT_NE(tesra::rendersys, nullptr); // the render system was made before the failure
    EXPECT_EQ(tesra::window, nullptr);
    tesra::destroy();
    EXPECT_EQ(tesra::rendersys, nullptr);
    EXPECT_THROW(tesra::init(5, 0), quortypes::exception);
    tesra::init(1, 1);
    EXPECT_NE(tesra::window, nullptr);
    const harray<hstring> extensions = tesra::getTextureExtensions();
    ASSERT_GE(extensions.size(), 3);
    EXPECT_EQ(extensions[extensions.size() - 3], ".jpt");
    EXPECT_EQ(extensions[extensions.size() - 1], ".jpg");
    tesra::destroy();
    EXPECT_EQ(tesra::window, nullptr);
    EXPECT_TRUE(testing_support::logContains("Destroying TESRA."));
    quortypes::Log::setCallback(nullptr);
}

TEST(Library, MessageBoxesAnswerThroughTheSwitch)
{
    testing_support::logLines().clear();
    quortypes::Log::setCallback(testing_support::recordLog);
    answers.clear();
    {
        ScriptedAnswer answer("no");
        tesra::showMessageBox("Question", "Save?", tesra::MESSAGE_BUTTON_YES | tesra::MESSAGE_BUTTON_NO,
                              tesra::MESSAGE_STYLE_QUESTION, {}, recordAnswer);
        // OK together with Yes and No shows a plain OK box, which cannot answer No.
        tesra::showMessageBox("Mixed", "text",
                              tesra::MESSAGE_BUTTON_OK | tesra::MESSAGE_BUTTON_YES | tesra::MESSAGE_BUTTON_NO,
                              tesra::MESSAGE_STYLE_INFO, {}, recordAnswer);
        // Closing a box answers Cancel when it has one.
        tesra::showMessageBox("Three", "text",
                              tesra::MESSAGE_BUTTON_YES | tesra::MESSAGE_BUTTON_NO |
                                  tesra::MESSAGE_BUTTON_CANCEL,
                              tesra::MESSAGE_STYLE_WARNING, {}, recordAnswer);
    }
    {
        ScriptedAnswer answer("close");
        tesra::showMessageBox("Three", "text",
                              tesra::MESSAGE_BUTTON_YES | tesra::MESSAGE_BUTTON_NO |
                                  tesra::MESSAGE_BUTTON_CANCEL,
                              tesra::MESSAGE_STYLE_WARNING, {}, recordAnswer);
        tesra::showMessageBox("Plain", "no callback");
    }
    EXPECT_EQ(answers,
              (std::vector<tesra::MessageBoxButton>{tesra::MESSAGE_BUTTON_NO, tesra::MESSAGE_BUTTON_OK,
                                                    tesra::MESSAGE_BUTTON_NO, tesra::MESSAGE_BUTTON_CANCEL}));
    EXPECT_TRUE(testing_support::logContains("Message box 'Question': 'Save?' (not shown, answered No)"));
    quortypes::Log::setCallback(nullptr);
}
