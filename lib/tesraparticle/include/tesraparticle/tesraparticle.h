#pragma once

#include <memory>

#include <kavtypes/Vector2.h>
#include <kavtypes/Vector3.h>
#include <quortypes/hdict.h>
#include <quortypes/hstring.h>

namespace tesraparticle
{
    class Affector;
    class System;
    struct Texture;

    // The tag of the library's log lines.
    extern const hstring logTag;

    typedef Affector* (*AffectorFactory)(const hstring& name);

    // Registers the affector factories and turns caching on.
    void init();
    // Empties the factory table and deletes the cached systems and textures; call it before the render
    // system goes, which owns the render textures.
    void destroy();
    // Unloads the pixels of the cached textures and drops the cached systems; systems handed out stay valid.
    void clearCache();

    // Throws quortypes::exception when the type name is taken.
    void registerAffectorFactory(const hstring& typeName, AffectorFactory factory);
    const hdict<AffectorFactory>& getAffectorFactories();
    // Null when no factory has the type name.
    std::unique_ptr<Affector> createAffector(const hstring& typeName, const hstring& name);

    // The cached record when there is one; null when the file cannot be loaded or there is no render system.
    // A record made cached (asked for, or caching is on) stays the library's; an uncached one is the
    // caller's (System::registerTexture takes it as an owner).
    Texture* loadTexture(const hstring& filename, bool cached = false);
    // A fresh copy of the system read from the file. The prototype is cached under the name, or under the
    // file name when the name is empty. Throws what reading the file throws.
    std::unique_ptr<System> loadSystem(const hstring& filename, const hstring& name = "");

    // "%f" components joined by ","; reading wants exactly two (three) pieces and throws otherwise.
    hstring gvec2_to_str(const kavtypes::Vector2& vector);
    hstring gvec3_to_str(const kavtypes::Vector3& vector);
    kavtypes::Vector2 str_to_gvec2(const hstring& text);
    kavtypes::Vector3 str_to_gvec3(const hstring& text);
} // namespace tesraparticle
