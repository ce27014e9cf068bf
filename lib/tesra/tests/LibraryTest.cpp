#include <cstdlib>

#include <gtest/gtest.h>

#include <quortypes/exception.h>
#include <tesra/tesra.h>

#include "LogCapture.h"

namespace
{
    harray<hstring> receivedArgs;
    std::vector<std::string> hookCalls;
    std::vector<tesra::MessageBoxButton> answers;
} // namespace

TEST(Library, MainRunsTheHooksAroundTheLoop)
{
    auto init = [](const harray<hstring>& args)
    {
        receivedArgs = args;
        hookCalls.push_back("init");
    };
    auto destroy = [] { hookCalls.push_back("destroy"); };
    char first[] = "game";
    char second[] = "-x";
    char* argv[] = {first, second, nullptr};
    EXPECT_EQ(tesra::main(init, destroy, 2, argv), 0);
    EXPECT_EQ(receivedArgs, (harray<hstring>{"game", "-x"}));
    // Without arguments and without a window it goes straight from one hook to the other.
    EXPECT_EQ(tesra::main(init, destroy, 3, nullptr), 0);
    EXPECT_TRUE(receivedArgs.empty());
    EXPECT_EQ(hookCalls, (std::vector<std::string>{"init", "destroy", "init", "destroy"}));
}

TEST(Library, InitAndDestroyManageTheSingletons)
{
    LogCapture log;
    tesra::destroy(); // nothing to destroy: silent
    EXPECT_TRUE(log.take().empty());
    EXPECT_THROW(tesra::init(0, 2), quortypes::exception);
    ASSERT_NE(tesra::rendersys, nullptr); // the render system was made before the failure
    EXPECT_EQ(tesra::window, nullptr);
    tesra::destroy();
    EXPECT_EQ(tesra::rendersys, nullptr);
    EXPECT_THROW(tesra::init(5, 0), quortypes::exception);
    tesra::init(1, 1);
    EXPECT_NE(tesra::window, nullptr);
    const harray<hstring> extensions = tesra::getTextureExtensions(); // the defaults are added last
    ASSERT_GE(extensions.size(), 3);
    EXPECT_EQ(harray<hstring>(extensions.end() - 3, extensions.end()),
              (harray<hstring>{".jpt", ".png", ".jpg"}));
    tesra::destroy();
    EXPECT_EQ(tesra::window, nullptr);
    EXPECT_TRUE(log.contains("Destroying TESRA."));
}

TEST(Library, MessageBoxesAnswerThroughTheSwitch)
{
    using namespace tesra;
    const int yesNo = MESSAGE_BUTTON_YES | MESSAGE_BUTTON_NO;
    // OK with Yes and No shows a plain OK box; a closed box answers Cancel when it has one, else OK.
    const std::tuple<const char*, int, MessageBoxButton> cases[] = {
        {"no", yesNo, MESSAGE_BUTTON_NO},
        {"no", yesNo | MESSAGE_BUTTON_OK, MESSAGE_BUTTON_OK},
        {"close", yesNo | MESSAGE_BUTTON_CANCEL, MESSAGE_BUTTON_CANCEL},
        {"close", yesNo, MESSAGE_BUTTON_OK},
    };
    LogCapture log;
    for (const auto& [answer, buttons, expected] : cases)
    {
        setenv(messageBoxAnswerVariable, answer, 1);
        answers.clear();
        showMessageBox("Question", "Save?", buttons, MESSAGE_STYLE_QUESTION, {},
                       [](MessageBoxButton button) { answers.push_back(button); });
        EXPECT_EQ(answers, std::vector<MessageBoxButton>{expected}) << answer << " " << buttons;
    }
    showMessageBox("Plain", "no callback");
    unsetenv(messageBoxAnswerVariable);
    EXPECT_TRUE(log.contains("Message box 'Question': 'Save?' (not shown, answered No)"));
}
