#include "InventoryPane.h"

#include <algorithm>

#include <quortypes/Log.h>
#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>
#include <tesraui/ImageButton.h>
#include <tesraui/Label.h>

#include "Inventory.h"
#include "Session.h"
#include "objects/InventoryPaneHelpers.h"

namespace vumo
{
    using namespace inventorypane;

    namespace
    {
        // The first two "%s" of a localised format replaced by the arguments; the text is data, never a
        // printf format.
        hstring formatTwo(const hstring& format, const hstring& a, const hstring& b)
        {
            hstring result = format;
            for (const hstring* argument : {&a, &b})
            {
                const int at = result.find("%s");
                if (at < 0)
                {
                    break;
                }
                result = result.subString(0, at) + *argument + result.subString(at + 2);
            }
            return result;
        }
    } // namespace

    // Over the cell under the pointer: what a click there would do, when the UI has a picture for it.
    bool InventoryPane::updateItemIcon(int under, const hstring& held)
    {
        hstring image;
        float scale = 1.0f;
        if (under >= 0)
        {
            const hstring item = this->cellItems[under];
            if (!isNothing(held) && held != item)
            {
                image = "InventoryPane/combine_item_icon";
            }
            else if (this->allowItemUseButton)
            {
                // The lookup of the item's function reads the globals as a script does: a metamethod there
                // may change the items, and the cells with them, or take the pane away.
                const tesraui::LifeToken::Watch alive = this->watchLife();
                const bool usable = Inventory::canUseItem(item);
                if (!alive.isAlive())
                {
                    return false;
                }
                if (under >= (int)this->cells.size() || this->cellItems[under] != item)
                {
                    this->itemIcon->setVisible(false);
                    return true;
                }
                if (usable)
                {
                    image = "InventoryPane/use_item_icon";
                    scale = (isPointerDown() ? 0.9f : (isIdiomPC() ? 1.1f : 1.0f));
                }
            }
        }
        if (image == "" || !this->dataset->getImages().hasKey(image))
        {
            this->itemIcon->setVisible(false);
            return true;
        }
        if (this->itemIconImage != image)
        {
            this->itemIcon->setImageByName(image);
            this->itemIconImage = image;
        }
        this->itemIcon->setX(this->cells[under]->getX());
        this->itemIcon->setScale(scale, scale);
        this->itemIcon->setVisible(true);
        return true;
    }

    void InventoryPane::updateRollover(float timeDelta)
    {
        tesraui::Label* label = this->rolloverLabel.get();
        if (label == nullptr)
        {
            return;
        }
        if (Session::isSceneLocked())
        {
            label->setText("");
            return;
        }
        const hstring held = this->heldItem();
        hstring item;
        const bool hidden = !this->isDerivedVisible() || this->getDerivedAlpha() == 0;
        const bool quiet = !isIdiomPC() && !this->pressed && isNothing(held);
        if (!hidden && !this->scrollBusy && !this->panning && !quiet)
        {
            const int under = this->cellUnderCursor();
            item = (under >= 0 ? this->cellItems[under] : hstring());
        }
        float alpha = label->getAlpha();
        if (item == "")
        {
            this->rolloverTime = 0.0f;
            label->setAlpha((unsigned char)std::max(0.0f, alpha - 512.0f * timeDelta));
            return;
        }
        if (isIdiomPC() || this->rolloverTime >= 0.5f)
        {
            alpha = std::min(255.0f, alpha + 2048.0f * timeDelta);
        }
        else
        {
            this->rolloverTime += timeDelta;
            alpha = std::max(0.0f, alpha - 512.0f * timeDelta);
        }
        label->setAlpha((unsigned char)alpha);
        tesraui::Dataset* texts = (label->getDataset() != nullptr ? label->getDataset() : this->dataset);
        if (!isNothing(held) && held != item && this->allowItemCombination)
        {
            label->setText(formatTwo(this->rolloverText(texts, "USE_A_WITH_B"),
                                     this->rolloverText(texts, "obj_" + item),
                                     this->rolloverText(texts, "obj_" + held)));
        }
        else
        {
            label->setText(this->rolloverText(texts, "obj_" + item));
        }
    }

    hstring InventoryPane::rolloverText(tesraui::Dataset* texts, const hstring& key)
    {
        if (!texts->hasText(key) &&
            std::find(this->missingTexts.begin(), this->missingTexts.end(), key) == this->missingTexts.end())
        {
            this->missingTexts.push_back(key);
            quortypes::Log::warn(Session::logTag,
                                 "InventoryPane '" + this->name + "': the rollover label's text '" + key +
                                     "' is missing from the texts of dataset '" + texts->getName() + "'");
        }
        return texts->getText(key);
    }
} // namespace vumo
