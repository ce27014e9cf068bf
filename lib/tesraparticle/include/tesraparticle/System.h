#pragma once

#include <memory>
#include <utility>
#include <vector>

#include <quortypes/harray.h>
#include <quortypes/hdict.h>
#include <tesra/Color.h>
#include <tesraparticle/ActiveObject.h>
#include <tesraparticle/AffectorContainer.h>

namespace quorxml
{
    class Node;
}

namespace tesraparticle
{
    class Emitter;
    class Space;
    struct Texture;

    // A set of spaces read from a system file. Owns its spaces, its affectors and its uncached textures.
    class System : public ActiveObject, public AffectorContainer
    {
    public:
        explicit System(const hstring& filename = "", const hstring& name = "");
        // A fresh system with the same spaces, emitters, affectors and textures, and no particles.
        System(const System& other);
        ~System() override;
        System& operator=(const System&) = delete;

        // Reads the file once; throws quortypes::exception for broken files.
        void load();
        bool isLoaded() const { return this->loaded; }
        const hstring& getFilename() const { return this->filename; }

        // The system takes the space; false when it has it already.
        bool addSpace(Space* space);
        harray<Space*> getSpaces() const;
        Space* getSpace(const hstring& name) const;
        Emitter* getEmitter(const hstring& name) const;
        harray<Emitter*> getEmitters() const;
        // Both are false, changing nothing, when the name is taken or the record is stored under another
        // name. A cached record (the library's) is only named here.
        bool registerTexture(Texture* texture, const hstring& name = "");
        // The system takes an uncached record; one refused goes.
        bool registerTexture(std::unique_ptr<Texture> texture, const hstring& name = "");
        const hdict<Texture*>& getTextures() const { return this->textures; }

        void update(float timeDelta);
        void draw(float x, float y, const tesra::Color& color);
        void reset();

    protected:
        hstring filename;
        bool loaded = false;
        std::vector<std::unique_ptr<Space>> spaces;
        // Every affector of the system's own list, in its order.
        std::vector<std::unique_ptr<Affector>> ownedAffectors;
        hdict<Texture*> textures;
        // The uncached records among the textures.
        std::vector<std::unique_ptr<Texture>> ownedTextures;
        // The file attributes each affector was made from, in the order the affectors were made.
        harray<std::pair<Affector*, hdict<hstring>>> affectorDefinitions;
        // The references the file made, kept so that copies can resolve them again.
        harray<std::pair<Space*, harray<hstring>>> affectorReferences;
        harray<std::pair<Emitter*, hstring>> textureReferences;

        void _readSpace(quorxml::Node* node);
        void _boundSpaceTimes(Space* space);
        void _readEmitter(quorxml::Node* node, Space* space);
        void _boundEmitterValues(Emitter* emitter);
        void _readAffector(quorxml::Node* node, Space* space);
        void _readTexture(quorxml::Node* node, Emitter* emitter);
        void _addAffectorReference(Space* space, const hstring& name);
        void _setTextureReference(Emitter* emitter, const hstring& name);
        void _resolveReferences();
        // Puts the affector at the end of the system's list, which holds it.
        void _addOwnedAffector(std::unique_ptr<Affector> affector);
        // Registers what loadTexture gave, taking a fresh record over; false as registerTexture.
        bool _registerLoadedTexture(Texture* record, const hstring& name);
        // Deletes the spaces, the affectors and the uncached textures.
        void _clear();
    };
} // namespace tesraparticle
