#include "Config.h"

#include <cctype>
#include <cmath>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <quortypes/AtomicFile.h>
#include <quortypes/File.h>
#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>
#include <tesra/tesra.h>
#include <tesraui/Dataset.h>
#include <tesraui/tesraui.h>

#include <quortypes/FileBytes.h>
#include "LogTag.h"
#include "SessionState.h"
#include "UserFolder.h"

namespace vumo
{
    namespace Session
    {
        namespace
        {
            hstring textureExtensions;
            bool textureExtensionsSet = false;
        } // namespace

        namespace
        {
            hdict<hstring> configuration;
            // The log is directed into the per-user folder once; a later load must not empty it.
            bool logDirected = false;
            // Why the player's copy could not be read at the last load, "" when it was read or missing: it is
            // not replaced until a load reads it.
            hstring userCopyUnreadable;

            // The size of the player's copy writeConfigFile would write of the map.
            size_t userConfigBytes(const hdict<hstring>& config)
            {
                size_t bytes = 0;
                for (auto entry = config.lower_bound("cfg.");
                     entry != config.end() && entry->first.startsWith("cfg."); ++entry)
                {
                    const std::string& key = entry->first;
                    if (key.size() > 4)
                    {
                        bytes +=
                            key.size() - 4 + 2 + config.tryGet(key.substr(4), "").std::string::size() + 1;
                    }
                }
                return bytes;
            }

            void checkTitle(const hstring& title)
            {
                for (char c : static_cast<const std::string&>(title))
                {
                    if (!std::isalnum((unsigned char)c) && c != ' ' && c != '-')
                    {
                        throw quortypes::exception("Invalid 'title' property in cfg file, only alphanumeric "
                                                   "characters and ' ', '-' are allowed",
                                                   __FILE__, __LINE__);
                    }
                }
            }

            // Parses the override into the map when it exists as a file or as a resource; false when it does
            // not exist at all.
            bool applyOverride(hdict<hstring>& config, const hstring& path, bool fileAsResource)
            {
                hdict<hstring> entries;
                if (quortypes::File::exists(path))
                {
                    entries = parseConfigFile(path, fileAsResource);
                }
                else if (quortypes::Resource::exists(path))
                {
                    entries = parseConfigFile(path, true);
                }
                else
                {
                    return false;
                }
                for (auto& entry : entries)
                {
                    config[entry.first] = entry.second;
                }
                return true;
            }

            // The player's copy is written by the engine; one that a crash cut short or a failing drive
            // garbled would otherwise end every start. It is renamed out of the way, never removed, and the
            // start goes on from the game's configuration; false then, as for a missing copy. Only when it
            // cannot even be renamed does its error stand.
            bool applyUserOverride(hdict<hstring>& config, const hstring& path)
            {
                try
                {
                    return applyOverride(config, path, false);
                }
                catch (const quortypes::_file_not_readable& error)
                {
                    // Not damaged: the start goes on from the game's configuration and the copy stays as it
                    // is, neither kept aside nor written over by a save, until a load can read it.
                    userCopyUnreadable = error.getMessage();
                    if (userCopyUnreadable.startsWith("[") && userCopyUnreadable.contains("] "))
                    {
                        userCopyUnreadable = userCopyUnreadable.subString(userCopyUnreadable.find("] ") + 2);
                    }
                    quortypes::Log::error(logTag, error.getMessage() +
                                                      ", starting from the game's configuration; the file is "
                                                      "left as it is and not saved until it can be read");
                    return true;
                }
                catch (const quortypes::exception& error)
                {
                    const hstring aside = path + ".damaged";
                    if (std::rename(path.c_str(), aside.c_str()) != 0)
                    {
                        throw quortypes::exception(error.getMessage() + " (unable to keep '" + path +
                                                       "' aside as '" + aside + "': " + std::strerror(errno) +
                                                       ")",
                                                   __FILE__, __LINE__);
                    }
                    quortypes::Log::warn(
                        logTag, "'" + path + "' is damaged, kept aside as '" + aside +
                                    "', starting from the game's configuration: " + error.getMessage());
                    return false;
                }
            }

            void warnMalformed(const hstring& key)
            {
                quortypes::Log::warn(logTag,
                                     "Ignoring malformed cfg key '" + quortypes::Log::quote(key) + "'");
            }

            // Conditional entries "key/value.target" and declarations "cfg.setting", then the removal of
            // every conditional key.
            void resolveEntries(hdict<hstring>& config)
            {
                hdict<hstring> pending;
                harray<hstring> conditionals;
                for (const hstring& key : config.keys())
                {
                    if (!key.contains("/"))
                    {
                        continue;
                    }
                    conditionals.push_back(key);
                    harray<hstring> parts = key.split('.');
                    hstring conditionKey, conditionValue;
                    if (parts.size() < 2 || parts[1] == "" ||
                        !parts[0].split('/', conditionKey, conditionValue))
                    {
                        warnMalformed(key);
                        continue;
                    }
                    if (config[conditionKey] == conditionValue)
                    {
                        pending[parts[1]] = config[key];
                    }
                }
                for (const hstring& key : config.keys())
                {
                    if (!key.startsWith("cfg"))
                    {
                        continue;
                    }
                    harray<hstring> parts = key.split('.');
                    if (parts.size() < 2 || parts[1] == "")
                    {
                        warnMalformed(key);
                        continue;
                    }
                    const hstring& setting = parts[1];
                    pending[setting] = config.hasKey(setting) ? config[setting] : config[key];
                }
                for (auto& assignment : pending)
                {
                    config[assignment.first] = assignment.second;
                }
                for (const hstring& key : conditionals)
                {
                    config.removeKey(key);
                }
            }

            bool failLoad(const quortypes::exception& error, bool showErrors)
            {
                quortypes::Log::error(logTag, error.getMessage());
                if (showErrors)
                {
                    tesra::showMessageBox("VUMO ERROR", error.getMessage(), tesra::MESSAGE_BUTTON_OK,
                                          tesra::MESSAGE_STYLE_CRITICAL |
                                              tesra::MESSAGE_STYLE_TERMINATE_ON_DISPLAY);
                }
                return false;
            }
        } // namespace

        hdict<hstring> parseConfigText(const hstring& text)
        {
            hdict<hstring> result;
            hstring prefix;
            for (const hstring& line : splitLines(text))
            {
                if (line.startsWith("[") && line.endsWith("]"))
                {
                    prefix = line == "[]" ? hstring() : line.replaced("[", "").replaced("]", "") + ".";
                    continue;
                }
                if (line == "" || line.startsWith("#") || line.startsWith("--"))
                {
                    continue;
                }
                hstring key, value;
                if (!line.split(": ", key, value))
                {
                    throw quortypes::exception(
                        "invalid cfg line '" + line +
                            "', statements must be in format <key>: <value>. empty lines "
                            "and #/-- comment lines are ignored.",
                        __FILE__, __LINE__);
                }
                result[prefix + key] = value;
            }
            return result;
        }

        hdict<hstring> parseConfigFile(const hstring& path, bool asResource)
        {
            return parseConfigText(readFileBytes(path, asResource, quortypes::maxPlayerFileBytes));
        }

        bool loadConfig(bool showErrors)
        {
            hdict<hstring> config;
            try
            {
                config = parseConfigFile("cfg/vumo.cfg", true);
            }
            catch (quortypes::exception& error)
            {
                return failLoad(error, showErrors);
            }
            checkTitle(config["title"]);
            hstring userFolder = resolveUserFolder(config);
            if (!logDirected)
            {
                quortypes::Log::setFilename(userFolder + "game.log", true);
                logDirected = true;
            }
            bool userCopyMissing = false;
            try
            {
                userCopyUnreadable = "";
                userCopyMissing = !applyUserOverride(config, userFolder + "vumo.cfg");
                applyOverride(config, "cfg/vumo.cfg.local", true);
            }
            catch (quortypes::exception& error)
            {
                return failLoad(error, showErrors);
            }
            resolveEntries(config);
            configuration.swap(config);
            if (userCopyMissing)
            {
                // The configuration stands; a player's copy that cannot be written is made on a later save.
                try
                {
                    saveUserConfig();
                }
                catch (quortypes::exception& error)
                {
                    quortypes::Log::error(logTag, error.getMessage());
                }
            }
            return true;
        }

        void reloadConfig()
        {
            hdict<hstring> config = parseConfigFile("cfg/vumo.cfg", true);
            checkTitle(config["title"]);
            const hstring userFolder = resolveUserFolder(config);
            applyOverride(config, userFolder + "vumo.cfg", false);
            applyOverride(config, "cfg/vumo.cfg.local", true);
            resolveEntries(config);
            configuration.swap(config);
            userCopyUnreadable = "";
        }

        void forgetConfig()
        {
            textureExtensions = "";
            textureExtensionsSet = false;
            configuration.clear();
            logDirected = false;
            userCopyUnreadable = "";
        }

        hstring getConfigValue(const hstring& key)
        {
            return configuration.tryGet(key, "");
        }

        bool hasConfigValue(const hstring& key)
        {
            return configuration.hasKey(key) || key.startsWith("sys:");
        }

        void setConfigValue(const hstring& key, const hstring& value)
        {
            if (key.find_first_of("\r\n") != std::string::npos ||
                value.find_first_of("\r\n") != std::string::npos)
            {
                throw quortypes::exception(
                    "Unable to set cfg value '" + key + "', line breaks are not allowed", __FILE__, __LINE__);
            }
            // A user setting, or its declaration, goes into the player's copy: one its read would refuse is
            // refused here, the map left as it was.
            if (!key.startsWith("cfg.") && !configuration.hasKey("cfg." + key))
            {
                configuration[key] = value;
                return;
            }
            const bool had = configuration.hasKey(key);
            hstring previous = had ? configuration[key] : hstring();
            configuration[key] = value;
            const size_t bytes = userConfigBytes(configuration);
            if (bytes > quortypes::maxPlayerFileBytes)
            {
                if (had)
                {
                    configuration[key] = previous;
                }
                else
                {
                    configuration.removeKey(key);
                }
                throw quortypes::exception(
                    formatString(
                        "Unable to set cfg value '%s': the player's settings file '%svumo.cfg' would "
                        "hold %zu bytes, more than the %zu bytes it may hold",
                        quortypes::Log::quote(key).c_str(), resolveUserFolder(configuration).c_str(), bytes,
                        quortypes::maxPlayerFileBytes),
                    __FILE__, __LINE__);
            }
        }

        hdict<hstring>& getConfig()
        {
            return configuration;
        }

        void writeConfigFile(hdict<hstring>& config, const hstring& path)
        {
            hstring text;
            for (const hstring& key : config.keys())
            {
                // "cfg." alone declares nothing (the load warned about it).
                if (key.startsWith("cfg.") && key.size() > 4)
                {
                    hstring setting = key.subString(4);
                    text += setting + ": " + config[setting] + "\n";
                }
            }
            quortypes::saveFileAtomically(path, text, quortypes::maxPlayerFileBytes);
        }

        void saveUserConfig()
        {
            if (userCopyUnreadable != "")
            {
                throw quortypes::exception(
                    "Unable to save the player's settings, their file could not be read "
                    "at the last load (" +
                        userCopyUnreadable + "): it is left as it is until a load reads it",
                    __FILE__, __LINE__);
            }
            // The same folder getUserFolder gives, asked of the map it would read.
            writeConfigFile(configuration, resolveUserFolder(configuration) + "vumo.cfg");
        }

        hstring getTextureExtensions()
        {
            return textureExtensionsSet ? textureExtensions : getConfigValue("texture_extensions");
        }

        hstring textureExtensionsRefusal(const hstring& list)
        {
            for (const hstring& entry : list.split(','))
            {
                hstring extension, scale;
                // Every pixel size of a texture is multiplied by it, and no int holds the result of an
                // infinite one.
                if (entry.split(':', extension, scale) && !std::isfinite(scale.toFloat()))
                {
                    return "scale '" + scale + "' of '" + extension + "' is not a number a float can hold";
                }
            }
            return "";
        }

        void setTextureExtensions(const hstring& list)
        {
            textureExtensions = list;
            textureExtensionsSet = true;
            harray<hstring> extensions;
            harray<float> scales;
            for (const hstring& entry : list.split(','))
            {
                hstring extension, scale;
                if (entry.split(':', extension, scale))
                {
                    extensions.push_back(extension);
                    scales.push_back(std::isfinite(scale.toFloat()) ? scale.toFloat() : 1.0f);
                }
                else
                {
                    extensions.push_back(entry);
                    scales.push_back(1.0f);
                }
            }
            tesraui::setTextureExtensionScales(extensions, scales);
            for (auto& dataset : tesraui::getDatasets())
            {
                if (dataset.second->isLoaded())
                {
                    dataset.second->reloadTextures();
                }
            }
        }
    } // namespace Session
} // namespace vumo
