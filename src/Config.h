#pragma once

#include <quortypes/hdict.h>
#include <quortypes/hstring.h>

namespace vumo
{
    // The configuration: one map of text keys to text values, loaded from "cfg/vumo.cfg" and the player's
    // overrides, read by every part of the engine.
    namespace Session
    {
        // Lines of "key: value"; "[section]" prefixes the keys below it with "section." and "[]" ends that;
        // empty lines and lines beginning with "#" or "--" are skipped. Lines are not trimmed, but one "\r"
        // before each line end is dropped. Any other line throws.
        hdict<hstring> parseConfigText(const hstring& text);
        hdict<hstring> parseConfigFile(const hstring& path, bool asResource);

        // Builds the configuration from the base file, the per-user "vumo.cfg" and "cfg/vumo.cfg.local",
        // then applies the conditional entries ("key/value.target") and the user-setting declarations
        // ("cfg.setting"), writing the per-user file when it is missing. A per-user file that cannot be read
        // or parsed is kept aside as "vumo.cfg.damaged" with a warning and counts as missing; one that is
        // there but cannot be read (no permission) is logged and left as it is, and not saved over until a
        // load reads it. The live map changes only when all of it succeeds. Any other file that cannot be
        // read or parsed ends the program after the "VUMO ERROR" box when showErrors is set, else gives
        // false; an invalid "title" throws.
        bool loadConfig(bool showErrors);
        // Builds the configuration again as loadConfig does, for a running game: a failure throws its
        // error and leaves the configuration and the log as they were.
        void reloadConfig();

        // "" for an absent key, which stays absent.
        hstring getConfigValue(const hstring& key);
        // True for any present key and for every key beginning with "sys:".
        bool hasConfigValue(const hstring& key);
        // Throws when the key or the value holds a line break, which would break the file it is saved in, and
        // when a user setting or its declaration would take the player's copy past
        // quortypes::maxPlayerFileBytes, naming the file and the bound; the map stays as it was then.
        void setConfigValue(const hstring& key, const hstring& value);
        // The live map; its index operation creates a missing key with the empty value.
        hdict<hstring>& getConfig();

        // Writes one "setting: value" line for every "cfg.setting" key of the map, the value read with the
        // map's index operation. Replaces the file atomically; throws naming the file when it cannot, or when
        // the text would pass quortypes::maxPlayerFileBytes (naming the bound too), the file left as it is.
        void writeConfigFile(hdict<hstring>& config, const hstring& path);
        // writeConfigFile of the configuration into "vumo.cfg" in the per-user folder. Throws, writing
        // nothing, while the player's copy could not be read at the last load.
        void saveUserConfig();

        // A list like ".png:0.5,.jpg": extensions in order of preference, each with an optional scale
        // (1.0 without). Loaded datasets reload their textures. A scale no float holds counts as 1.
        void setTextureExtensions(const hstring& list);
        // Why the list cannot be taken as it is written ("scale '1e308' of '.png' is not a number a float can
        // hold"); "" when it can.
        hstring textureExtensionsRefusal(const hstring& list);
        // The list last given to setTextureExtensions, else the configuration's "texture_extensions".
        hstring getTextureExtensions();
    } // namespace Session
} // namespace vumo
