#pragma once

#include <memory>
#include <utility>

#include <kavtypes/Rectangle.h>
#include <kavtypes/Vector2.h>
#include <quortypes/harray.h>
#include <quortypes/hdict.h>
#include <quortypes/hstring.h>
#include <tesraui/EventQueue.h>
#include <tesraui/EventReceiver.h>
#include <tesraui/LifeToken.h>

namespace quorxml
{
    class Document;
    class Node;
} // namespace quorxml

namespace tesraui
{
    class Event;
    class Image;
    class NullImage;
    class Texture;
    class EventArgs;
    class Object;

    // Owns the objects registered in it, holds the keyboard focus and runs the events its objects queue.
    class Dataset : public EventReceiver
    {
    public:
        explicit Dataset(const hstring& fileName, const hstring& name = "", bool useNameBasePath = false);
        // Deletes every registered object. Safe from inside one of its own event handlers.
        ~Dataset() override;
        Dataset(const Dataset&) = delete;
        Dataset& operator=(const Dataset&) = delete;

        const hstring& getName() const { return this->name; }
        const hstring& getFilename() const { return fileName; }
        Object* getFocusedObject() const { return focusedObject; }
        Object* getRoot() const { return root; }
        bool isLoaded() const { return loaded; }
        const hstring& getCurrentFolder() const { return currentFolder; }
        // The folder of the dataset's files; empty for a dataset file in the working folder.
        hstring getFolderPath() const { return currentFolder; }
        const hstring& getTextsPath() const { return textsPath; }
        void setTextsPath(const hstring& value) { textsPath = value; }
        const hdict<std::unique_ptr<Image>>& getImages() const { return images; }
        const hdict<std::unique_ptr<Texture>>& getTextures() const { return textures; }
        const hdict<hstring>& getTexts() const { return texts; }

        // Reads the texts and marks the dataset loaded.
        void load();
        // Deletes the objects, images and textures and drops the texts; throws when not loaded.
        void unload();

        // The localisation's folder below the texts path, or the default localisation's when it has none.
        hstring getTextsFolder() const;
        // Files are read in name order; a later file wins a key that two define.
        void loadTexts(const hstring& folder);
        void reloadTexts();

        bool hasTexture(const hstring& name) const { return textures.hasKey(name); }
        // The dataset owns what is registered, and hands it back when it is unregistered. A name already
        // taken throws, and what was handed over goes.
        Image* registerImage(std::unique_ptr<Image> image);
        [[nodiscard]] std::unique_ptr<Image> unregisterImage(Image* image);
        Texture* registerTexture(std::unique_ptr<Texture> texture);
        [[nodiscard]] std::unique_ptr<Texture> unregisterTexture(Texture* texture);
        // Unregister and free, at once or at the next freeDestroyed when frees are deferred; meanwhile the
        // image reads as gone to those holding it, and the texture to its watches.
        void destroyImage(Image* image);
        void destroyTexture(Texture* texture);
        void updateTextures(float timeDelta);
        // Unloads dynamic textures idle for more than a second.
        void unloadUnusedTextures();
        // Loads every texture again from its file name for the current localisation.
        void reloadTextures();
        const hdict<Object*>& getObjects() const { return objects; }

        // Datasets a dotted name goes on to at most: "a.b" asks the dataset named a for b, which may be dotted
        // again, each lookup inside the one before. A name that goes further is refused.
        static const int maxNameHops = 64;

        // Forwarded to every registered object in name order.
        void notifyEvent(const hstring& type, void* args) override;
        // Updates the object tree from its root; textures age in updateTextures only, once a frame.
        virtual void update(float timeDelta);
        virtual Texture* getTexture(const hstring& name);
        // "null" is the dataset's null image; "other.name" asks the dataset named other.
        virtual Image* getImage(const hstring& name);
        // "other.key" asks the dataset named other; a missing text reads as an error text.
        virtual hstring getText(const hstring& key);
        virtual bool hasText(const hstring& key);
        // Plain keys, or "{format}args"; failures are logged and give the key back.
        virtual hstring getTextFormatted(const hstring& key);

        virtual Object* getObject(const hstring& name);
        Object* tryGetObject(const hstring& name) const;
        bool hasObject(const hstring& name) const { return tryGetObject(name) != nullptr; }

        void registerObjects(Object* root);
        void unregisterObjects(Object* root);
        void destroyObject(Object* object);
        void destroyObject(const hstring& name);

        void focus(Object* object);
        void removeFocus();
        // -1 unless the focused object is visible, enabled and not fully transparent.
        int getFocusedObjectIndex() const;

        // Events one call of processEvents runs at most: a handler that triggers its own event, or two that
        // trigger each other, would otherwise never let the frame end.
        static const int maxEventsPerCall = 10000;
        // Events that handlers may queue between two calls of processEvents: more are dropped, so that a
        // handler that triggers its own event twice cannot grow the queue without end.
        static const int maxEventsQueuedByHandlers = maxEventsPerCall;
        // Events the queue holds at most, whoever queues them: a call's run and what its handlers may queue
        // besides. More are dropped, so that code outside the handlers (a script run every frame) that
        // queues events faster than they run cannot grow the queue without end either.
        static const int maxQueuedEvents = maxEventsPerCall + maxEventsQueuedByHandlers;

        // The dataset owns args from here on.
        void queueEvent(std::shared_ptr<Event> event, std::unique_ptr<EventArgs> args);
        void removeQueuedEvents(const Event* event);
        // Runs the queue until it is empty, events queued meanwhile included, up to maxEventsPerCall events;
        // the rest wait for the next call, with a warning the first time.
        void processEvents();
        int getQueuedEventCount() const { return this->eventQueue.size(); }

        // Clears the cursor cache of every object that filled it since the last call (the only ones that
        // can hold one): registered objects, and those that left the dataset meanwhile.
        void clearChildUnderCursorCaches();
        // For code that holds on to the dataset across calls that may delete it.
        LifeToken::Watch watchLife() { return life.watch(); }

        // Dataset files a load nests at most, the dataset's own file and each file included inside the one
        // before: parsing goes down the chain by recursion. An include past it is refused at its line.
        static const int maxIncludeDepth = 64;

        // Loading from the dataset file and its includes (DatasetLoad.cpp); each throws at the first error.
        void parseFile(const hstring& path);
        void parseTexture(quorxml::Node* node);
        void parseCompositeImage(quorxml::Node* node);
        void parseInclude(const hstring& path);
        // Null for an "Include" or an element that makes nothing.
        Object* parseObject(quorxml::Node* node, Object* parent);
        void parseObjectInclude(const hstring& path, Object* parent, const hstring& prefix,
                                const hstring& suffix, kavtypes::Vector2 offset);
        void parseObjectIncludeFile(const hstring& path, Object* parent, const hstring& prefix,
                                    const hstring& suffix, kavtypes::Vector2 offset);
        void parseTextureGroup(quorxml::Node* node);
        // Gets the root element and every root element loading does not know; ignores them here.
        virtual void _parseExtraNode(quorxml::Node* node);
        // Asked when no factory knows an element's type; null when the subclass does not either.
        virtual Object* createUnknownObject(quorxml::Node* node, const hstring& name,
                                            kavtypes::Rectangle rect);

    protected:
        hstring name;
        hstring fileName;
        hstring currentFolder;
        hstring textsPath;
        bool loaded = false;
        Object* focusedObject = nullptr;
        Object* root = nullptr;
        hdict<std::unique_ptr<Texture>> textures;
        hdict<std::unique_ptr<Image>> images;
        hdict<hstring> texts;
        std::unique_ptr<NullImage> nullImage;
        hdict<Object*> objects;
        // Unregistered objects still pointing here; they are told to forget this dataset when it is deleted.
        // Each knows its place, so that a destroy or free takes it out without a search of the list.
        harray<Object*> unregisteredObjects;
        EventQueue eventQueue;
        // Whether the warning about events left for the next call was written since the queue last emptied.
        bool eventLimitReported = false;
        // Events queued by handlers since processEvents last began, and those dropped since the last report.
        int eventsQueuedByHandlers = 0;
        long long droppedEvents = 0;
        // Events dropped because the queue was full since the last report, and whether any was since
        // processEvents last began.
        long long droppedWhileFull = 0;
        bool droppedWhileFullSinceCall = false;
        // Objects of this dataset whose cursor cache was filled since the caches were last cleared.
        harray<Object*> filledCursorCaches;
        LifeToken life;
        // Object-include documents parsed during one load, and the files being parsed right now.
        hdict<std::unique_ptr<quorxml::Document>> includeDocuments;
        harray<hstring> parsingFiles;

        // Parses the dataset file; on failure logs the error and throws it on as a quortypes::exception.
        void _parseDatasetFile();
        void _clearIncludeDocuments();
        void _reportDroppedEvents();
        // The error about the first event of a run of drops, naming it, its object and why.
        void _reportFirstDrop(const Event* event, const EventArgs* args, const hstring& why);
        // Deletes the registered objects, images and textures and forgets the texts; unload and the
        // destructor share it.
        void _release();
        Object* _parseObject(quorxml::Node* node, Object* parent, const hstring& prefix,
                             const hstring& suffix, kavtypes::Vector2 offset);

    private:
        friend class Object;
        friend void _withdrawEventsNaming(const Object* object);
        // Drops a registration quietly; an object being deleted calls it.
        void _forgetObject(Object* object);
        // Frees an object destroyObject has taken out, or leaves it to freeDestroyed.
        void _freeObject(Object* object);
        // Destroys the object's children, depth first in their order; false when the object itself went
        // meanwhile. With detachLeftovers, a child left over by its own dataset is detached from the object.
        bool _destroyChildren(Object* object, bool detachLeftovers);
        // An object that filled its cursor cache joins the list of those to clear; deleted, it leaves it.
        void _listCursorCache(Object* object);
        void _unlistCursorCache(Object* object);
        // An object that left the map while still naming this dataset joins the unregistered ones; registered
        // again or deleted, it leaves them.
        void _listUnregistered(Object* object);
        void _unlistUnregistered(Object* object);
    };
} // namespace tesraui
