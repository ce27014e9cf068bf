#include <algorithm>
#include <cmath>
#include <vector>

#include <lua.hpp>
#include <tesra/Window.h>
#include <tesra/tesra.h>
#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>
#include <yim/AudioManager.h>
#include <yim/Category.h>
#include <yim/yim.h>

#include "Chapter.h"
#include "Scene.h"
#include "Session.h"
#include "lua/Calls.h"
#include "lua/Events.h"
#include "lua/LuaInterface.h"
#include "lua/api/registrars.h"
#include "objects/DelayedCall.h"
#include "objects/LoopSound.h"
#include "GameUiHost.h"
#include "ScriptTexts.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            // Sounds whose play waits for the next frame; they count as playing meanwhile.
            harray<hstring> pendingPlays;

            yim::AudioManager* requireAudio(lua_State* L)
            {
                if (yim::manager == nullptr)
                {
                    raiseLuaError(L,
                                  "Lua function needs the audio system, but it hasn't been initialised yet.");
                }
                return yim::manager;
            }

            bool isFocused()
            {
                return tesra::window == nullptr || tesra::window->isFocused();
            }

            bool isErrorOverlayShown()
            {
                return getGameUiHost().isErrorOverlayShown();
            }

            void removePending(const hstring& name)
            {
                pendingPlays.erase(std::remove(pendingPlays.begin(), pendingPlays.end(), name),
                                   pendingPlays.end());
            }

            // The active scene's chapter plays a name without ".".
            hstring getSound(lua_State* L, const hstring& name)
            {
                if (name.contains("."))
                {
                    return name;
                }
                if (Session::getActiveScene() == nullptr)
                {
                    raiseLuaError(L, "Unable to resolve sound '" + name +
                                         "', no scene is active: use '<chapter>." + name + "'");
                }
                return Session::getActiveChapterName() + "." + name;
            }

            void findLoopSounds(tesraui::Object* object, harray<LoopSound*>& out)
            {
                LoopSound* loop = dynamic_cast<LoopSound*>(object);
                if (loop != nullptr)
                {
                    out.push_back(loop);
                }
                for (tesraui::Object* child : object->getChildren())
                {
                    findLoopSounds(child, out);
                }
            }

            harray<LoopSound*> sceneLoopSounds()
            {
                harray<LoopSound*> result;
                Scene* scene = Session::getActiveScene();
                if (scene != nullptr && scene->getRootObject() != nullptr)
                {
                    findLoopSounds(scene->getRootObject(), result);
                }
                return result;
            }

            // Where the script asked for the deferred play that runs now ("file:line: "), empty otherwise.
            hstring deferredOrigin;

            // A deferred play fails a frame after the script asked for it, in code of its own: the event
            // keeps the script's place so that the error points at the line where a misspelt name is to be
            // mended.
            class DeferredPlayEvent : public LuaCallbackEvent
            {
            public:
                DeferredPlayEvent(const hstring& code, const hstring& origin)
                    : LuaCallbackEvent(code, nullptr), origin(origin)
                {
                }
                void execute(tesraui::EventArgs* args) override
                {
                    const hstring saved = deferredOrigin;
                    deferredOrigin = this->origin;
                    try
                    {
                        LuaCallbackEvent::execute(args);
                    }
                    catch (...)
                    {
                        deferredOrigin = saved;
                        throw;
                    }
                    deferredOrigin = saved;
                }

            private:
                hstring origin;
            };

            // The calling script's place as Lua reports it, "file:line: ", or empty when no script called.
            hstring callerPlace(lua_State* L)
            {
                luaL_where(L, 1);
                const hstring place = toString(L, -1);
                lua_pop(L, 1);
                return place;
            }

            // Plays the sound from a DelayedCall of the UI in the next frame.
            void deferPlay(lua_State* L, const hstring& name, float fadeTime)
            {
                GameUiScripts& host = getGameUiHost();
                if (host.getDataset() == nullptr || host.getRootObject() == nullptr)
                {
                    raiseLuaError(
                        L,
                        "Lua function needs to access the UI instance, but UI hasn't been initialised yet.");
                }
                const hstring code = ObjectTexts::deferredSoundPlay(name, fadeTime);
                DelayedCall* call = new DelayedCall(tesra::generateName("DelayedCall"),
                                                    kavtypes::Rectangle(0.0f, 0.0f, 1.0f, 1.0f));
                call->setDelay(0.0001f);
                // A play deferred again (under the error overlay) keeps the place of the first request.
                call->registerEvent("callback",
                                    std::make_shared<DeferredPlayEvent>(
                                        code, deferredOrigin != "" ? deferredOrigin : callerPlace(L)));
                call->setEnabled(true);
                host.getDataset()->registerObjects(call);
                host.getRootObject()->addChild(call);
                if (yim::manager->getName() != "Disabled" &&
                    std::find(pendingPlays.begin(), pendingPlays.end(), name) == pendingPlays.end())
                {
                    pendingPlays.push_back(name);
                }
            }

            int sound_play(lua_State* L)
            {
                checkArgs(L, 1, 3, "sound.play", "snb");
                yim::AudioManager* manager = requireAudio(L);
                // An endless fade-in would play at full volume at once; 0 or less is no fade.
                const float fadeTime = (lua_gettop(L) > 1 ? finiteArgument(L, 2, "sound.play") : 0.0f);
                const bool now = (lua_gettop(L) > 2 && toBool(L, 3));
                const hstring name = getSound(L, toString(L, 1));
                if (now && !isErrorOverlayShown())
                {
                    removePending(name);
                    hstring failure;
                    try
                    {
                        manager->play(name, fadeTime, false, 1.0f);
                    }
                    catch (const quortypes::exception& e)
                    {
                        if (deferredOrigin == "")
                        {
                            throw;
                        }
                        failure = e.getMessage();
                    }
                    if (failure != "")
                    {
                        raiseLuaError(L,
                                      deferredOrigin + "sound.play, deferred to the next frame: " + failure);
                    }
                    return 0;
                }
                deferPlay(L, name, fadeTime);
                return 0;
            }

            int sound_stop(lua_State* L)
            {
                checkArgs(L, 1, 2, "sound.stop", "sn");
                yim::AudioManager* manager = requireAudio(L);
                // An endless fade-out would never stop the sound; 0 or less stops it at once.
                const float fadeTime = (lua_gettop(L) > 1 ? finiteArgument(L, 2, "sound.stop") : 0.0f);
                manager->stop(getSound(L, toString(L, 1)), fadeTime);
                return 0;
            }

            int sound_isPlaying(lua_State* L)
            {
                checkArgsExact(L, 1, "sound.isPlaying", "s");
                yim::AudioManager* manager = requireAudio(L);
                const hstring name = getSound(L, toString(L, 1));
                const bool pending =
                    std::find(pendingPlays.begin(), pendingPlays.end(), name) != pendingPlays.end();
                return push(L, pending || manager->isSoundPlaying(name));
            }

            int sound_exists(lua_State* L)
            {
                checkArgsExact(L, 1, "sound.exists", "s");
                yim::AudioManager* manager = requireAudio(L);
                return push(L, manager->hasSound(getSound(L, toString(L, 1))));
            }

            int sound_setMasterVolume(lua_State* L)
            {
                checkArgsExact(L, 1, "sound.setMasterVolume", "n");
                const float gain = finiteArgument(L, 1, "sound.setMasterVolume");
                requireAudio(L)->setGlobalGain(gain);
                return 0;
            }

            int sound_getMasterVolume(lua_State* L)
            {
                return push(L, requireAudio(L)->getGlobalGain());
            }

            int sound_setCategoryVolume(lua_State* L)
            {
                checkArgsExact(L, 2, "sound.setCategoryVolume", "sn");
                yim::AudioManager* manager = requireAudio(L);
                const hstring category = toString(L, 1);
                const float gain = finiteArgument(L, 2, "sound.setCategoryVolume");
                if (category == "master")
                {
                    manager->setGlobalGain(gain);
                }
                else
                {
                    manager->getCategory(category)->setGain(gain);
                }
                return 0;
            }

            int sound_getCategoryVolume(lua_State* L)
            {
                checkArgsExact(L, 1, "sound.getCategoryVolume", "s");
                yim::AudioManager* manager = requireAudio(L);
                const hstring category = toString(L, 1);
                if (category == "master")
                {
                    return push(L, manager->getGlobalGain());
                }
                return push(L, manager->getCategory(category)->getGain());
            }

            int sound_isEnabled(lua_State* L)
            {
                return push(L, requireAudio(L)->getName() != "Disabled");
            }

            int sound_suspend(lua_State* L)
            {
                yim::AudioManager* manager = requireAudio(L);
                if (!isFocused())
                {
                    return push(L, false);
                }
                manager->suspendAudio();
                return push(L, true);
            }

            int sound_resume(lua_State* L)
            {
                yim::AudioManager* manager = requireAudio(L);
                if (!isFocused())
                {
                    return push(L, false);
                }
                manager->resumeAudio();
                return push(L, true);
            }

            int sound_isSuspended(lua_State* L)
            {
                return push(L, requireAudio(L)->isSuspended());
            }

            int sound_addBackgroundSound(lua_State* L)
            {
                checkArgsExact(L, 1, "sound.addBackgroundSound", "s");
                Scene* scene = Session::getActiveScene();
                if (scene == nullptr || scene->getRootObject() == nullptr)
                {
                    raiseLuaError(L, "Unable to add background sound, no chapter loaded!");
                }
                const hstring sound = toString(L, 1);
                // The loop starts in a later frame, apart from this call: a sound the chapter lacks is
                // refused here, where the script sees it.
                const hstring fullName =
                    (sound.contains(".") ? sound : scene->getChapter()->getName() + "." + sound);
                if (sound != "" && yim::manager != nullptr && !yim::manager->hasSound(fullName))
                {
                    raiseLuaError(L,
                                  "Unable to add background sound, sound '" + fullName + "' does not exist!");
                }
                LoopSound* loop = new LoopSound(tesra::generateName("LoopSound"),
                                                kavtypes::Rectangle(0.0f, 0.0f, 1.0f, 1.0f));
                loop->setProperty("sound", sound);
                scene->getChapter()->registerObjects(loop);
                scene->attachObject(loop);
                return pushObject(L, loop);
            }

            int sound_removeBackgroundSound(lua_State* L)
            {
                checkArgsExact(L, 1, "sound.removeBackgroundSound", "s");
                const hstring name = getSound(L, toString(L, 1));
                int count = 0;
                harray<LoopSound*> loops = sceneLoopSounds();
                std::vector<tesraui::LifeToken::Watch> lives;
                for (LoopSound* loop : loops)
                {
                    lives.push_back(loop->watchLife());
                }
                for (int i = 0; i < loops.size(); ++i)
                {
                    // One may have gone with a LoopSound above it.
                    if (lives[i].isAlive() && loops[i]->getFullSoundName() == name &&
                        loops[i]->getDataset() != nullptr)
                    {
                        loops[i]->getDataset()->destroyObject(loops[i]);
                        ++count;
                    }
                }
                return push(L, count);
            }

            int sound_getBackgroundSounds(lua_State* L)
            {
                harray<hstring> names;
                for (LoopSound* loop : sceneLoopSounds())
                {
                    names.push_back(loop->getSound());
                }
                return pushStrings(L, names);
            }
        } // namespace

        void registerSound()
        {
            registerFunction(sound_play, "sound.play");
            registerFunction(sound_stop, "sound.stop");
            registerFunction(sound_isPlaying, "sound.isPlaying");
            registerFunction(sound_exists, "sound.exists");
            registerFunction(sound_setMasterVolume, "sound.setMasterVolume");
            registerFunction(sound_getMasterVolume, "sound.getMasterVolume");
            registerFunction(sound_setCategoryVolume, "sound.setCategoryVolume");
            registerFunction(sound_getCategoryVolume, "sound.getCategoryVolume");
            registerFunction(sound_isEnabled, "sound.isEnabled");
            registerFunction(sound_suspend, "sound.suspend");
            registerFunction(sound_resume, "sound.resume");
            registerFunction(sound_isSuspended, "sound.isSuspended");
            registerFunction(sound_addBackgroundSound, "sound.addBackgroundSound");
            registerFunction(sound_removeBackgroundSound, "sound.removeBackgroundSound");
            registerFunction(sound_getBackgroundSounds, "sound.getBackgroundSounds");
        }
    } // namespace LuaInterface
} // namespace vumo
