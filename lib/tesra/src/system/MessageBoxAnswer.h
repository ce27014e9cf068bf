#pragma once

#include <quortypes/hstring.h>

namespace tesra
{

    // The buttons a box really shows for a requested set: OK+Cancel, Yes+No+Cancel,
    // Yes+No, or OK alone.
    int messageBoxButtonSet(int buttons);
    // The answer of a box closed without pressing a button: Cancel when shown, else OK.
    int messageBoxClosedAnswer(int shownButtons);
    // The answer named by the environment switch ("ok", "cancel", "yes", "no"); a name
    // that is not one of the shown buttons counts as closing the box.
    int scriptedMessageBoxAnswer(const hstring& answer, int shownButtons);
    hstring messageBoxButtonName(int button);

} // namespace tesra
