#include <cctype>

#include <tesra/tesra.h>

#include "MessageBoxAnswer.h"

namespace tesra
{

    int messageBoxButtonSet(int buttons)
    {
        const bool ok = (buttons & MESSAGE_BUTTON_OK) != 0;
        const bool cancel = (buttons & MESSAGE_BUTTON_CANCEL) != 0;
        const bool yes = (buttons & MESSAGE_BUTTON_YES) != 0;
        const bool no = (buttons & MESSAGE_BUTTON_NO) != 0;
        if (ok && cancel)
        {
            return MESSAGE_BUTTON_OK | MESSAGE_BUTTON_CANCEL;
        }
        if (yes && no && cancel)
        {
            return MESSAGE_BUTTON_YES | MESSAGE_BUTTON_NO | MESSAGE_BUTTON_CANCEL;
        }
        if (yes && no && !ok)
        {
            return MESSAGE_BUTTON_YES | MESSAGE_BUTTON_NO;
        }
        return MESSAGE_BUTTON_OK;
    }

    int messageBoxClosedAnswer(int shownButtons)
    {
        return (shownButtons & MESSAGE_BUTTON_CANCEL) != 0 ? MESSAGE_BUTTON_CANCEL : MESSAGE_BUTTON_OK;
    }

    int scriptedMessageBoxAnswer(const hstring& answer, int shownButtons)
    {
        std::string lower;
        for (char c : answer)
        {
            lower += (char)tolower((unsigned char)c);
        }
        int button = 0;
        if (lower == "ok")
        {
            button = MESSAGE_BUTTON_OK;
        }
        else if (lower == "cancel")
        {
            button = MESSAGE_BUTTON_CANCEL;
        }
        else if (lower == "yes")
        {
            button = MESSAGE_BUTTON_YES;
        }
        else if (lower == "no")
        {
            button = MESSAGE_BUTTON_NO;
        }
        return (button & shownButtons) != 0 ? button : messageBoxClosedAnswer(shownButtons);
    }

    hstring messageBoxButtonName(int button)
    {
        switch (button)
        {
        case MESSAGE_BUTTON_OK:
            return "OK";
        case MESSAGE_BUTTON_CANCEL:
            return "Cancel";
        case MESSAGE_BUTTON_YES:
            return "Yes";
        case MESSAGE_BUTTON_NO:
            return "No";
        }
        return std::to_string(button);
    }

} // namespace tesra
