#include <memory>

#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>
#include <quorxml/Node.h>
#include <tesraui/Label.h>

#include <orvalo/UpsellScreen.h>

#include "State.h"

namespace orvalo
{
    namespace
    {
        // The upsell dataset makes its root, the screen, for the element type "UpsellScreen".
        class UpsellDataset : public WatchedDataset
        {
        public:
            using WatchedDataset::WatchedDataset;

            tesraui::Object* createUnknownObject(quorxml::Node* node, const hstring& name,
                                                 kavtypes::Rectangle rect) override
            {
                if (node->getString("type", "") == "UpsellScreen")
                {
                    return new UpsellScreen(name, rect);
                }
                return WatchedDataset::createUnknownObject(node, name, rect);
            }
        };

        // A screen deleted with the tree it was shown in (a store scene that ends) rather than with its
        // dataset leaves the dataset behind, rootless: it goes before the next screen takes its name.
        void releaseOrphanedDataset()
        {
            State& s = state();
            if (s.upsellScreen == nullptr && s.upsellDataset.get() != nullptr)
            {
                s.upsellDataset.destroy();
            }
        }

        void onCancelClick(tesraui::EventArgs*)
        {
            if (isUpsellOverlayShown())
            {
                hideUpsellOverlay();
            }
        }

        // Throws when the dataset lacks the name or the object is of another kind.
        template <class T> T* require(tesraui::Dataset* dataset, const hstring& name)
        {
            T* object = dynamic_cast<T*>(dataset->getObject(name));
            if (object == nullptr)
            {
                throw quortypes::exception("Upsell Screen object '" + name +
                                               "' is not of the kind it needs to be!",
                                           __FILE__, __LINE__);
            }
            return object;
        }
    } // namespace

    UpsellScreen::UpsellScreen(const hstring& name, kavtypes::Rectangle rect) : tesraui::Object(name, rect) {}

    UpsellScreen::~UpsellScreen()
    {
        State& s = state();
        if (s.upsellScreen == this)
        {
            s.upsellScreen = nullptr;
            unloadFonts();
        }
    }

    const PropertyTable<UpsellScreen>& UpsellScreen::_properties()
    {
        using Table = PropertyTable<UpsellScreen>;
        static const Table table = {
            Table::floatRow("contact_time_out", &UpsellScreen::contactTimeOut),
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(UpsellScreen, tesraui::Object, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(UpsellScreen, tesraui::Object, _properties)

    void UpsellScreen::clearChildUnderCursor()
    {
        tesraui::Object::clearChildUnderCursor();
        // The screen is one of its dataset's objects: the dataset's walk comes back here.
        if (this->clearing)
        {
            return;
        }
        if (tesraui::Dataset* dataset = state().upsellDataset.get();
            dataset != nullptr && state().upsellScreen == this)
        {
            this->clearing = true;
            dataset->clearChildUnderCursorCaches();
            this->clearing = false;
        }
    }

    void UpsellScreen::update(float timeDelta)
    {
        tesraui::Object::update(timeDelta);
        if (tesraui::Dataset* dataset = state().upsellDataset.get();
            dataset != nullptr && state().upsellScreen == this)
        {
            dataset->updateTextures(timeDelta);
        }
    }

    UpsellScreen* createUpsellScreen(tesraui::Object* parent, const hstring& /*name*/)
    {
        State& s = state();
        releaseOrphanedDataset();
        if (s.systemPath == "")
        {
            quortypes::Log::error(logTag, "Can't create Upsell Screen, system path not set!");
            return nullptr;
        }
        if (s.upsellScreen != nullptr)
        {
            quortypes::Log::error(logTag, "Upsell Screen already exists!");
            return nullptr;
        }
        if (s.upsellFilename == "" || !quortypes::Resource::exists(s.upsellFilename))
        {
            quortypes::Log::error(logTag, "Upsell Screen dataset file does not exist: " + s.upsellFilename);
            return nullptr;
        }
        quortypes::Log::write(logTag, "Creating Upsell Screen.");
        WatchedDataset* dataset = loadDataset(std::make_unique<UpsellDataset>(s.upsellFilename, "upsell"));
        if (dataset == nullptr)
        {
            return nullptr;
        }
        s.upsellDataset = HeldDataset(dataset);
        try
        {
            UpsellScreen* screen = require<UpsellScreen>(dataset, "orvalo_us");
            require<tesraui::Object>(dataset, "orvalo_us_button_overlay_cancel")
                ->registerEvent("Click", &onCancelClick);
            tesraui::Label* contacting = require<tesraui::Label>(dataset, "orvalo_us_label_contacting");
            try
            {
                contacting->setTextKey("{%f} orvalo.OrvaloUpsellContacting");
            }
            catch (const quortypes::exception& e)
            {
                // Without the promotion texts the label only lacks its words.
                quortypes::Log::error(logTag, e.getMessage());
            }
            parent->addChild(screen);
            screen->setZOrder(100000);
            screen->setAnchors(true, true, true, true);
            s.upsellScreen = screen;
            loadFonts();
            return screen;
        }
        catch (const quortypes::exception& e)
        {
            quortypes::Log::error(logTag, e.getMessage());
            s.upsellDataset.destroy();
            return nullptr;
        }
    }

    void destroyUpsellScreen()
    {
        State& s = state();
        if (s.upsellScreen == nullptr)
        {
            releaseOrphanedDataset();
            quortypes::Log::error(logTag, "Upsell Screen does not exist!");
            return;
        }
        // The screen is the dataset's root and goes with it; should it already be gone with its dataset,
        // this deletes nothing twice.
        UpsellScreen* screen = s.upsellScreen;
        s.upsellDataset.destroy();
        if (s.upsellScreen == screen)
        {
            // Left over only when its dataset no longer held it, and then nobody else does.
            delete screen;
        }
    }

    UpsellScreen* getUpsellScreen()
    {
        return state().upsellScreen;
    }

    tesraui::Object* getUpsellButton(const hstring& name, const hstring& label)
    {
        tesraui::Dataset* dataset = state().upsellDataset.get();
        if (state().upsellScreen == nullptr || dataset == nullptr)
        {
            quortypes::Log::error(logTag,
                                  "Could not get '" + label + "' button, Upsell screen does not exist!");
            return nullptr;
        }
        tesraui::Object* button = dataset->tryGetObject(name);
        if (button == nullptr)
        {
            quortypes::Log::error(logTag, "Could not get '" + label + "' button!");
        }
        return button;
    }

    tesraui::Object* getUpsellLaterButton()
    {
        return getUpsellButton("orvalo_us_button_later", "Later");
    }

    tesraui::Object* getUpsellRestoreButton()
    {
        return getUpsellButton("orvalo_us_button_restore", "Restore");
    }

    tesraui::Object* getUpsellUnlockButton()
    {
        return getUpsellButton("orvalo_us_button_unlock", "Unlock");
    }

    bool isUpsellOverlayShown()
    {
        tesraui::Dataset* dataset = state().upsellDataset.get();
        if (state().upsellScreen == nullptr || dataset == nullptr)
        {
            return false;
        }
        tesraui::Object* overlay = dataset->tryGetObject("orvalo_us_overlay");
        return overlay != nullptr && overlay->isVisible() && overlay->getAlpha() > 0;
    }

    void hideUpsellOverlay()
    {
        tesraui::Dataset* dataset = state().upsellDataset.get();
        if (state().upsellScreen == nullptr || dataset == nullptr)
        {
            quortypes::Log::error(logTag, "Upsell Screen does not exist!");
            return;
        }
        for (const char* name : {"orvalo_us_overlay", "orvalo_us_button_overlay_cancel"})
        {
            if (tesraui::Object* object = dataset->tryGetObject(name))
            {
                object->setVisible(false);
            }
        }
    }
} // namespace orvalo
