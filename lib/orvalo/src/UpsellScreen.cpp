#include <memory>

#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>
#include <quorxml/Node.h>
#include <tesraui/LabelBase.h>

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
            if (heldUpsellScreen() == nullptr && s.upsellDataset.get() != nullptr)
            {
                s.upsellDataset.destroy();
            }
        }

        // Without the promotion texts the label only lacks its words.
        void setContactingText(tesraui::LabelBase* label)
        {
            if (state().dataset.get() == nullptr)
            {
                quortypes::Log::error(
                    logTag, "'orvalo_us_label_contacting' has no text: the promotion texts' dataset '" +
                                state().systemPath + "/orvalo.dts' is missing.");
                return;
            }
            try
            {
                label->setTextKey("{%f} orvalo.OrvaloUpsellContacting");
            }
            catch (const quortypes::exception& e)
            {
                quortypes::Log::error(logTag, e.getMessage());
            }
        }

        void onCancelClick(tesraui::EventArgs*)
        {
            if (isUpsellOverlayShown())
            {
                hideUpsellOverlay();
            }
        }
    } // namespace

    UpsellScreen::UpsellScreen(const hstring& name, kavtypes::Rectangle rect) : tesraui::Object(name, rect) {}

    UpsellScreen* heldUpsellScreen()
    {
        State& s = state();
        if (s.upsellScreen.isLost())
        {
            // The screen was its dataset's root: the rest of the dataset goes too.
            s.upsellScreen = HeldScreen<UpsellScreen>();
            s.upsellDataset.destroy();
            unloadFonts();
        }
        return s.upsellScreen.get();
    }

    UpsellScreen::~UpsellScreen()
    {
        State& s = state();
        if (s.upsellScreen.holds(this))
        {
            s.upsellScreen = HeldScreen<UpsellScreen>();
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
            dataset != nullptr && state().upsellScreen.holds(this))
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
            dataset != nullptr && state().upsellScreen.holds(this))
        {
            dataset->updateTextures(timeDelta);
        }
    }

    UpsellScreen* createUpsellScreen(tesraui::Object* parent, const hstring& /*name*/, hstring* why)
    {
        State& s = state();
        const hstring file = s.upsellFilename;
        const auto refuse = [why](const hstring& logged, const hstring& reason) -> UpsellScreen*
        {
            quortypes::Log::error(logTag, logged);
            if (why != nullptr)
            {
                *why = reason;
            }
            return nullptr;
        };
        releaseOrphanedDataset();
        if (s.systemPath == "")
        {
            return refuse("Can't create Upsell Screen, system path not set!",
                          "The promotion data's system folder is not set.");
        }
        if (heldUpsellScreen() != nullptr)
        {
            return refuse("Upsell Screen already exists!", "An Upsell Screen is shown already.");
        }
        if (file == "" || !quortypes::Resource::exists(file))
        {
            return refuse("Upsell Screen dataset file does not exist: " + file,
                          file == "" ? hstring("No upsell dataset is named.")
                                     : "The upsell dataset '" + file + "' does not exist.");
        }
        quortypes::Log::write(logTag, "Creating Upsell Screen.");
        hstring failure;
        WatchedDataset* dataset = loadDataset(std::make_unique<UpsellDataset>(file, "upsell"), &failure);
        if (dataset == nullptr)
        {
            if (why != nullptr)
            {
                *why = "The upsell dataset '" + file + "' could not be loaded: " + withoutSourceMark(failure);
            }
            return nullptr;
        }
        s.upsellDataset = HeldDataset(dataset);
        // Every part the screen cannot do without, named at once so that one look at the file mends them all.
        harray<hstring> lacks;
        for (const hstring& problem :
             {lack<UpsellScreen>(dataset, "orvalo_us", "UpsellScreen"),
              lack<tesraui::Object>(dataset, "orvalo_us_button_overlay_cancel", "object"),
              lack<tesraui::LabelBase>(dataset, "orvalo_us_label_contacting", "Label")})
        {
            if (problem != "")
            {
                lacks.push_back(problem);
            }
        }
        if (tesraui::Object* root = dataset->tryGetObject("orvalo_us");
            root != nullptr && root->getParent() != nullptr)
        {
            lacks.push_back("'orvalo_us' stands inside '" + root->getParent()->getName() +
                            "', where it must be the outermost object");
        }
        if (lacks.size() > 0)
        {
            s.upsellDataset.destroy();
            const hstring reason =
                "The upsell dataset '" + file + "' lacks what the screen needs: " + lacks.joined("; ") + ".";
            return refuse(reason, reason);
        }
        UpsellScreen* screen = static_cast<UpsellScreen*>(dataset->getObject("orvalo_us"));
        try
        {
            dataset->getObject("orvalo_us_button_overlay_cancel")->registerEvent("Click", &onCancelClick);
            setContactingText(
                dynamic_cast<tesraui::LabelBase*>(dataset->getObject("orvalo_us_label_contacting")));
            parent->addChild(screen);
        }
        catch (const quortypes::exception& e)
        {
            s.upsellDataset.destroy();
            return refuse(e.getMessage(), "The upsell screen of '" + file +
                                              "' could not be shown: " + withoutSourceMark(e.getMessage()));
        }
        screen->setZOrder(100000);
        screen->setAnchors(true, true, true, true);
        s.upsellScreen = HeldScreen<UpsellScreen>(screen);
        loadFonts();
        warnOfMissingFont(dataset, file);
        return screen;
    }

    void destroyUpsellScreen()
    {
        State& s = state();
        UpsellScreen* screen = heldUpsellScreen();
        if (screen == nullptr)
        {
            releaseOrphanedDataset();
            quortypes::Log::error(logTag, "Upsell Screen does not exist!");
            return;
        }
        // The screen is the dataset's root: it goes with what hangs below it as the tree's objects go, freed
        // after the frame, and the dataset then holds nothing of it.
        s.upsellScreen.release();
        letGo(screen);
        s.upsellDataset.destroy();
        unloadFonts();
    }

    UpsellScreen* getUpsellScreen()
    {
        return heldUpsellScreen();
    }

    tesraui::Object* getUpsellButton(const hstring& name, const hstring& label)
    {
        UpsellScreen* screen = heldUpsellScreen();
        tesraui::Dataset* dataset = state().upsellDataset.get();
        if (screen == nullptr || dataset == nullptr)
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
        UpsellScreen* screen = heldUpsellScreen();
        tesraui::Dataset* dataset = state().upsellDataset.get();
        if (screen == nullptr || dataset == nullptr)
        {
            return false;
        }
        tesraui::Object* overlay = dataset->tryGetObject("orvalo_us_overlay");
        return overlay != nullptr && overlay->isVisible() && overlay->getAlpha() > 0;
    }

    void hideUpsellOverlay()
    {
        UpsellScreen* screen = heldUpsellScreen();
        tesraui::Dataset* dataset = state().upsellDataset.get();
        if (screen == nullptr || dataset == nullptr)
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
