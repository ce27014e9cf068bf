#include "InventoryPane.h"

#include <quortypes/PropertyTable.h>
#include <quortypes/exception.h>
#include <quortypes/util.h>
#include <tesraui/Dataset.h>
#include <tesraui/Event.h>
#include <tesraui/EventArgs.h>
#include <tesraui/ImageBox.h>
#include <tesraui/ImageButton.h>
#include <tesraui/Label.h>
#include <tesraui/ScrollArea.h>
#include <tesraui/ScrollBarH.h>
#include <tesraui/tesraui.h>

#include "Inventory.h"
#include "Variables.h"
#include "objects/InventoryPaneHelpers.h"

namespace vumo
{
    using namespace inventorypane;

    namespace
    {
        // Watched: a destroyed pane stops following the items at once, before it is freed.
        tesraui::Watched<InventoryPane> activePane;
    } // namespace

    InventoryPane::InventoryPane(const hstring& name, kavtypes::Rectangle rect) : ItemReceiver(name, rect)
    {
        if (activePane.get() == nullptr)
        {
            activePane = tesraui::Watched<InventoryPane>(this);
            // The variable is asked, not known by its address: a new session's may stand where the last
            // one's stood.
            VariableDictionary& variables = VariableDictionary::getGlobal();
            if (variables.exists("items") &&
                !variables.get("items").hasChangeListener(&InventoryPane::onItemsChanged))
            {
                variables.get("items").addChangeListener(&InventoryPane::onItemsChanged);
            }
        }
        this->registerEvent("UseItem",
                            std::make_shared<tesraui::MemberCallbackEvent>(&InventoryPane::onUseItem, this));
        this->registerEvent("CombineItems", std::make_shared<tesraui::MemberCallbackEvent>(
                                                &InventoryPane::onCombineItems, this));
    }

    InventoryPane::~InventoryPane()
    {
        if (this->dataset != nullptr)
        {
            for (const char* name : {"UseItem", "CombineItems"})
            {
                const std::shared_ptr<tesraui::Event> event = this->events.tryGet(name, nullptr);
                if (event != nullptr)
                {
                    this->dataset->removeQueuedEvents(event.get());
                }
            }
        }
        // Another pane going away leaves the active one following the items.
        if (activePane.get() == this)
        {
            activePane = tesraui::Watched<InventoryPane>();
        }
    }

    tesraui::Object* InventoryPane::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new InventoryPane(name, rect);
    }

    InventoryPane* InventoryPane::getActive()
    {
        return activePane.get();
    }

    void InventoryPane::onItemsChanged(Variable*, const hstring& value, const hstring& previous)
    {
        if (InventoryPane* pane = activePane.get())
        {
            pane->itemsChanged(value, previous);
        }
    }

    void InventoryPane::itemsChanged(const hstring& newValue, const hstring& oldValue)
    {
        // A change made by a count script while the cells are rebuilt is seen once that rebuild is done.
        if (this->rebuilding)
        {
            this->rebuildAsked = true;
            return;
        }
        if (!this->rebuildCells(newValue))
        {
            return;
        }
        const harray<hstring> before = Inventory::splitItems(oldValue);
        harray<hstring> added;
        for (const hstring& item : Inventory::splitItems(newValue))
        {
            if (indexIn(before, item) < 0 && indexIn(added, item) < 0)
            {
                added.push_back(item);
            }
        }
        if (added.size() == 1 || added.size() == 2)
        {
            this->showItemPage(added[0]);
        }
    }

    void InventoryPane::notifyEvent(const hstring& type, void* args)
    {
        if (type == "AttachToObject")
        {
            if (this->itemContainer == nullptr && this->dataset != nullptr && !this->buildChildren())
            {
                return;
            }
        }
        else if (type == "Resized")
        {
            if (!this->layout())
            {
                return;
            }
        }
        ItemReceiver::notifyEvent(type, args);
    }

    bool InventoryPane::buildChildren()
    {
        const float w = this->rect.w;
        const float h = this->rect.h;
        this->cellSize = h;
        this->itemContainer = this->addPart(
            this, new tesraui::Container(this->name + "/container", kavtypes::Rectangle(0.0f, 0.0f, w, h)));
        this->scrollArea = this->addPart(
            this->itemContainer,
            new tesraui::ScrollArea(this->name + "/scrollarea", kavtypes::Rectangle(0.0f, 0.0f, w, h)));
        this->scrollArea->setAllowDrag(true);
        struct Box
        {
            tesraui::ImageBox** target;
            const char* suffix;
            kavtypes::Rectangle rect;
            int zOrder;
            const char* image;
        };
        const Box boxes[] = {
            {&this->selector, "/selector", kavtypes::Rectangle(0.0f, 0.0f, h, h), -1, "0xFFFF00"},
            {&this->selectedSelector, "/selected_selector", kavtypes::Rectangle(0.0f, 0.0f, h, h), -2,
             "0xFF7F00"},
        };
        for (const Box& box : boxes)
        {
            tesraui::ImageBox* image =
                this->addPart(this->scrollArea, new tesraui::ImageBox(this->name + box.suffix, box.rect));
            image->setZOrder(box.zOrder);
            image->setImageByName(box.image);
            image->setClickThrough(true);
            image->setVisible(false);
            *box.target = image;
        }
        this->itemIcon =
            this->addPart(this->scrollArea,
                          new tesraui::ImageBox(this->name + "/icon", kavtypes::Rectangle(0.0f, 0.0f, h, h)));
        this->itemIcon->setZOrder(100);
        this->itemIcon->setClickThrough(true);
        this->itemIcon->setVisible(false);
        this->itemIcon->setCenter(h * 0.5f, h * 0.5f);
        this->scrollBar = this->addPart(
            this->itemContainer,
            new tesraui::ScrollBarH(this->name + "/scrollbar", kavtypes::Rectangle(0.0f, h - 5.0f, w, 5.0f)));
        this->scrollBar->setVisible(false);
        this->clickOverlay = this->addPart(
            this->scrollArea, new tesraui::ImageBox(this->name + "/click_overlay",
                                                    kavtypes::Rectangle(0.0f, 0.0f, 100000.0f, h)));
        this->clickOverlay->setImageByName("null");
        this->clickOverlay->setZOrder(200);
        this->clickOverlay->registerEvent("MouseDown", std::make_shared<tesraui::MemberCallbackEvent>(
                                                           &InventoryPane::onOverlayPress, this));
        this->clickOverlay->registerEvent(
            "Click", std::make_shared<tesraui::MemberCallbackEvent>(&InventoryPane::onOverlayRelease, this));
        return this->layout();
    }

    void InventoryPane::update(float timeDelta)
    {
        ItemReceiver::update(timeDelta);
        if (this->scrollArea == nullptr)
        {
            return;
        }
        if (this->cellsBehind)
        {
            if (!this->rebuildCells(storedItems()))
            {
                return;
            }
        }
        this->updateDrag(timeDelta);
        const hstring held = this->heldItem();
        const int under = this->cellUnderCursor();
        const bool showSelector = (isIdiomPC() || (!isNothing(held) && isPointerDown())) && !this->panning;
        this->selector->setVisible(showSelector && under >= 0);
        if (showSelector && under >= 0)
        {
            this->selector->setX(this->cells[under]->getX());
        }
        tesraui::ImageButton* heldCell = (isNothing(held) ? nullptr : this->getCell(held));
        this->selectedSelector->setVisible(heldCell != nullptr);
        if (heldCell != nullptr)
        {
            this->selectedSelector->setX(heldCell->getX());
        }
        if (!this->updateItemIcon(under, held))
        {
            return;
        }
        this->scrollBusy = this->scrollArea->isDragging() || this->scrollArea->isScrolling();
        this->updateRollover(timeDelta);
        this->updateBullets();
    }

    namespace
    {
        hstring nameOf(tesraui::Object* object)
        {
            return object != nullptr ? object->getName() : hstring();
        }

        hstring flag(bool value)
        {
            return value ? "1" : "0";
        }
    } // namespace

    const PropertyTable<InventoryPane>& InventoryPane::_properties()
    {
        using Pane = InventoryPane;
        using Row = PropertyTable<Pane>::Row;
        // One side's band (0 left, 1 top, 2 right, 3 bottom); a value outside 0..1 is taken and ignored.
        const auto thresholdRow = [](const char* name, int side)
        {
            return Row(
                name, PropertyInfo::FLOAT,
                [side](Pane& pane) { return hstring(pane.panningThresholds[side]); },
                [side](Pane& pane, const hstring& value)
                {
                    const float threshold = value.toFloat();
                    if (threshold >= 0.0f && threshold <= 1.0f)
                    {
                        pane.panningThresholds[side] = threshold;
                    }
                });
        };
        static const PropertyTable<Pane> table = {
            {"scrollarea", PropertyInfo::STRING, [](Pane& pane) { return nameOf(pane.scrollArea); }},
            {"bullet_pane", PropertyInfo::STRING, [](Pane& pane) { return nameOf(pane.bulletPane.get()); },
             [](Pane& pane, const hstring& value) { pane.setBulletPane(value); }},
            {"bulletPaneOffset", PropertyInfo::FLOAT,
             [](Pane& pane) { return hstring(pane.bulletPaneOffset); },
             [](Pane& pane, const hstring& value) { pane.bulletPaneOffset = value.toFloat(); }},
            {"itemContainer", PropertyInfo::STRING, [](Pane& pane) { return nameOf(pane.itemContainer); }},
            {"allowItemCombination", PropertyInfo::BOOL,
             [](Pane& pane) { return flag(pane.allowItemCombination); },
             [](Pane& pane, const hstring& value) { pane.allowItemCombination = value.toBool(); }},
            {"allowItemUseButton", PropertyInfo::BOOL,
             [](Pane& pane) { return flag(pane.allowItemUseButton); },
             [](Pane& pane, const hstring& value)
             {
                 const bool allow = value.toBool();
                 if (allow != pane.allowItemUseButton)
                 {
                     pane.allowItemUseButton = allow;
                     pane.layout();
                 }
             }},
            {"rollover_label", PropertyInfo::STRING,
             [](Pane& pane) { return nameOf(pane.rolloverLabel.get()); },
             [](Pane& pane, const hstring& value)
             {
                 pane.rolloverLabel = tesraui::Watched<tesraui::Label>(
                     dynamic_cast<tesraui::Label*>(pane.dataset->getObject(value)));
             }},
            {"font", PropertyInfo::STRING, [](Pane& pane) { return pane.font; },
             [](Pane& pane, const hstring& value) { pane.font = value; }},
            {"countLabelRect", PropertyInfo::STRING,
             [](Pane& pane)
             {
                 const kavtypes::Rectangle& r = pane.countLabelRect;
                 return formatString("%f,%f,%f,%f", r.x, r.y, r.w, r.h);
             },
             [](Pane& pane, const hstring& value)
             {
                 const harray<hstring> parts = value.split(",", -1, false);
                 if (parts.size() != 4)
                 {
                     throw quortypes::exception("InventoryPane: invalid countLabelRect property format, "
                                                "expecting '%f,%f,%f,%f', got: " +
                                                    value,
                                                "src\\objects\\ObjectInventoryPane", 870);
                 }
                 pane.countLabelRect = kavtypes::Rectangle(parts[0].toFloat(), parts[1].toFloat(),
                                                           parts[2].toFloat(), parts[3].toFloat());
             }},
            {"selector", PropertyInfo::STRING, [](Pane& pane) { return nameOf(pane.selector); },
             [](Pane& pane, const hstring& value)
             {
                 if (pane.selector != nullptr)
                 {
                     pane.selector->setImageByName(value);
                 }
             }},
            {"selected_selector", PropertyInfo::STRING,
             [](Pane& pane) { return nameOf(pane.selectedSelector); },
             [](Pane& pane, const hstring& value)
             {
                 if (pane.selectedSelector != nullptr)
                 {
                     pane.selectedSelector->setImageByName(value);
                 }
             }},
            {"dragAndDropActive", PropertyInfo::BOOL,
             [](Pane& pane) { return flag(pane.dragTimer == 0.0f); }},
            {"dragAndDropPanningEnabled", PropertyInfo::BOOL, [](Pane& pane) { return flag(pane.panning); }},
            // Set only: reading it answers as the base does.
            {"dragAndDropDelay", PropertyInfo::FLOAT, nullptr,
             [](Pane& pane, const hstring& value) { pane.dragAndDropDelay = value.toFloat(); }},
            {"dragAndDropPanningTreshold", PropertyInfo::FLOAT,
             [](Pane& pane)
             {
                 const float* t = pane.panningThresholds;
                 return hstring((t[0] + t[1] + t[2] + t[3]) / 4.0f);
             },
             [](Pane& pane, const hstring& value)
             {
                 const float threshold = value.toFloat();
                 if (threshold >= 0.0f && threshold <= 1.0f)
                 {
                     for (float& t : pane.panningThresholds)
                     {
                         t = threshold;
                     }
                 }
             }},
            thresholdRow("dragAndDropPanningTresholdLeft", 0),
            thresholdRow("dragAndDropPanningTresholdRight", 2),
            thresholdRow("dragAndDropPanningTresholdTop", 1),
            thresholdRow("dragAndDropPanningTresholdBottom", 3),
            {"currentPage", PropertyInfo::STRING, [](Pane& pane) { return hstring(pane.getCurrentPage()); },
             [](Pane& pane, const hstring& value)
             {
                 const int page = value.toInt();
                 if (page >= 0 && page < pane.getNumPages())
                 {
                     pane.goToPage(page);
                 }
             }},
            {"numPages", PropertyInfo::STRING, [](Pane& pane) { return hstring(pane.getNumPages()); }},
            // Listed for the tools; read through the patterns, with an item after the ":".
            {"itemObject:%", PropertyInfo::STRING, nullptr},
            {"itemPage:%", PropertyInfo::STRING, nullptr},
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(InventoryPane, ItemReceiver, _properties)
    QUORTYPES_PROPERTY_TABLE_SET(InventoryPane, ItemReceiver, _properties)

    hstring InventoryPane::getProperty(const hstring& name)
    {
        return _properties().get(*this, name, [&] { return _getPatternProperty(name); });
    }

    hstring InventoryPane::_getPatternProperty(const hstring& name)
    {
        if (name.startsWith("itemObject:"))
        {
            return nameOf(this->getCell(name.subString(11)));
        }
        if (name.startsWith("itemPage:"))
        {
            tesraui::ImageButton* cell = this->getCell(name.subString(9));
            const float width = (this->itemContainer != nullptr ? this->itemContainer->getWidth() : 0.0f);
            if (cell == nullptr || width <= 0.0f)
            {
                return "-1";
            }
            return hstring(quortypes::truncateToInt(cell->getX() / width));
        }
        return ItemReceiver::getProperty(name);
    }
} // namespace vumo
