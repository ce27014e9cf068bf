#pragma once

#include <string>

#include <quortypes/hdict.h>
#include <quortypes/hstring.h>

namespace pirk
{
    // The tag of the library's log lines.
    extern const hstring logTag;

    // The folder for the player's writable state: $XDG_DATA_HOME (~/.local/share when it is unset, empty
    // or relative) joined with company and title. XDG folders are per user already, so the mode (which
    // asks for a user segment without Unicode elsewhere) changes nothing. No trailing "/"; nothing is
    // made.
    hstring makeUserFolderPath(const hstring& company, const hstring& title, int mode);
    // The same folder, made with its parents, ending in "/".
    hstring getUserFolder(const hstring& company, const hstring& title, int mode);

    // The folder as a Windows system names it, from the variables ALLUSERSPROFILE, LOCALAPPDATA, APPDATA
    // and USERNAME of the given environment (values in 16-bit units, missing ones read as empty): the
    // all-users folder, company, title and user name. Mode 5 folds every unit above 128 of the user name
    // into one of the characters 64 to 89. Kept so that folders made there can be named here.
    hstring makeWindowsUserFolderPath(const hdict<std::u16string>& environment, const hstring& company,
                                      const hstring& title, int mode);

    // Joins two path parts with exactly one "/" between them.
    hstring joinFolderParts(const hstring& a, const hstring& b);

    // True when the clipboard holds the text afterwards. Needs the window's video subsystem.
    bool copyToClipboard(const hstring& text);
    // Hands the URL to the desktop's opener; always true, as the opener's answer cannot be known.
    bool openUrl(const hstring& url);
} // namespace pirk
