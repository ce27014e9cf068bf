#include "InventoryPane.h"

#include <algorithm>
#include <cmath>

#include <quortypes/Log.h>
#include <quortypes/exception.h>
#include <tesraui/Dataset.h>
#include <tesraui/Event.h>
#include <tesraui/EventArgs.h>
#include <tesraui/ImageBox.h>
#include <tesraui/ImageButton.h>
#include <tesraui/Label.h>
#include <tesraui/ScrollArea.h>
#include <tesraui/ScrollBarH.h>
#include <tesraui/tesraui.h>
#include <yim/AudioManager.h>
#include <yim/yim.h>

#include "Inventory.h"
#include "Session.h"
#include "Variables.h"
#include "lua/Calls.h"
#include "lua/LuaInterface.h"
#include "GameUiHost.h"
#include "ScriptTexts.h"

namespace
{
    template <class T> int indexIn(const harray<T>& values, const T& value)
    {
        const auto it = std::find(values.begin(), values.end(), value);
        return it == values.end() ? -1 : (int)(it - values.begin());
    }

    InventoryPane* activePane = nullptr;
    // The variable the change check was installed on; a new session creates the variable anew.
    Variable* hookedVariable = nullptr;
    int cellCounter = 0;
    // How far a carried item pans a zoomed scene in a second, in viewport sizes, at the very edge.
    const float dragPanSpeed = 0.5f;

    bool isIdiomPC()
    {
        return getGameUiHost().getUIIdiom() == GameUiHost::IDIOM_PC;
    }

    bool isPointerDown()
    {
        return getGameUiHost().isPointerDown();
    }

    bool isNothing(const hstring& item)
    {
        return item == "" || item == "0" || item == "false";
    }

    // The first two "%s" of a localised format replaced by the arguments; the text is data, never a printf
    // format.
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

InventoryPane::InventoryPane(const hstring& name, kavtypes::Rectangle rect) : ItemReceiver(name, rect)
{
    if (activePane == nullptr)
    {
        activePane = this;
        VariableDictionary& variables = VariableDictionary::getGlobal();
        if (variables.exists("items") && hookedVariable != &variables.get("items"))
        {
            hookedVariable = &variables.get("items");
            hookedVariable->addChangeCheck(&InventoryPane::onItemsChanging);
        }
    }
    this->registerEvent("UseItem", new tesraui::MemberCallbackEvent(&InventoryPane::onUseItem, this));
    this->registerEvent("CombineItems",
                        new tesraui::MemberCallbackEvent(&InventoryPane::onCombineItems, this));
}

InventoryPane::~InventoryPane()
{
    if (this->dataset != nullptr)
    {
        for (const char* name : {"UseItem", "CombineItems"})
        {
            tesraui::Event* event = this->events.tryGet(name, nullptr);
            if (event != nullptr)
            {
                this->dataset->removeQueuedEvents(event);
            }
        }
    }
    // Another pane going away leaves the active one following the items.
    if (activePane == this)
    {
        activePane = nullptr;
    }
}

tesraui::Object* InventoryPane::createInstance(const hstring& name, kavtypes::Rectangle rect)
{
    return new InventoryPane(name, rect);
}

InventoryPane* InventoryPane::getActive()
{
    return activePane;
}

bool InventoryPane::onItemsChanging(Variable*, const hstring& newValue, const hstring& currentValue)
{
    if (activePane != nullptr)
    {
        activePane->itemsChanged(newValue, currentValue);
    }
    return true;
}

void InventoryPane::itemsChanged(const hstring& newValue, const hstring& oldValue)
{
    // The check runs before the value is stored: the cells follow the value proposed.
    this->rebuildCells(newValue);
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
        if (this->itemContainer == nullptr && this->dataset != nullptr)
        {
            this->buildChildren();
        }
    }
    else if (type == "Resized")
    {
        this->layout();
    }
    ItemReceiver::notifyEvent(type, args);
}

void InventoryPane::buildChildren()
{
    const float w = this->rect.w;
    const float h = this->rect.h;
    this->cellSize = h;
    this->itemContainer =
        new tesraui::Container(this->name + "/container", kavtypes::Rectangle(0.0f, 0.0f, w, h));
    this->dataset->registerObjects(this->itemContainer);
    this->addChild(this->itemContainer);
    this->scrollArea =
        new tesraui::ScrollArea(this->name + "/scrollarea", kavtypes::Rectangle(0.0f, 0.0f, w, h));
    this->dataset->registerObjects(this->scrollArea);
    this->itemContainer->addChild(this->scrollArea);
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
        tesraui::ImageBox* image = new tesraui::ImageBox(this->name + box.suffix, box.rect);
        this->dataset->registerObjects(image);
        this->scrollArea->addChild(image);
        image->setZOrder(box.zOrder);
        image->setImageByName(box.image);
        image->setClickThrough(true);
        image->setVisible(false);
        *box.target = image;
    }
    this->itemIcon = new tesraui::ImageBox(this->name + "/icon", kavtypes::Rectangle(0.0f, 0.0f, h, h));
    this->dataset->registerObjects(this->itemIcon);
    this->scrollArea->addChild(this->itemIcon);
    this->itemIcon->setZOrder(100);
    this->itemIcon->setClickThrough(true);
    this->itemIcon->setVisible(false);
    this->itemIcon->setCenter(h * 0.5f, h * 0.5f);
    this->scrollBar =
        new tesraui::ScrollBarH(this->name + "/scrollbar", kavtypes::Rectangle(0.0f, h - 5.0f, w, 5.0f));
    this->dataset->registerObjects(this->scrollBar);
    this->itemContainer->addChild(this->scrollBar);
    this->scrollBar->setVisible(false);
    this->clickOverlay =
        new tesraui::ImageBox(this->name + "/click_overlay", kavtypes::Rectangle(0.0f, 0.0f, 100000.0f, h));
    this->dataset->registerObjects(this->clickOverlay);
    this->scrollArea->addChild(this->clickOverlay);
    this->clickOverlay->setImageByName("null");
    this->clickOverlay->setZOrder(200);
    this->clickOverlay->registerEvent("MouseDown",
                                      new tesraui::MemberCallbackEvent(&InventoryPane::onOverlayPress, this));
    this->clickOverlay->registerEvent(
        "Click", new tesraui::MemberCallbackEvent(&InventoryPane::onOverlayRelease, this));
    this->layout();
}

float InventoryPane::getPageWidth() const
{
    if (this->cellSize <= 0.0f)
    {
        return 0.0f;
    }
    const float ratio = this->rect.w / this->cellSize;
    float count = std::floor(ratio);
    if (ratio - count > 0.8f)
    {
        count += 1.0f;
    }
    return count * this->cellSize;
}

void InventoryPane::layout()
{
    if (this->itemContainer == nullptr)
    {
        return;
    }
    const float pageWidth = this->getPageWidth();
    this->itemContainer->setWidth(pageWidth);
    this->itemContainer->setX((this->rect.w - pageWidth) * 0.5f);
    this->rebuildCells(VariableDictionary::getGlobal().exists("items")
                           ? VariableDictionary::getGlobal().get("items").value()
                           : hstring());
    this->scrollBar->setGridSize(pageWidth);
    if (pageWidth > 0.0f)
    {
        this->scrollArea->setX(std::round(this->scrollArea->getX() / pageWidth) * pageWidth);
    }
}

int InventoryPane::scriptCount(const hstring& item)
{
    const hstring function = "item_" + item + "_count";
    if (!Inventory::isGlobalFunction(function))
    {
        return 1;
    }
    harray<hstring> results;
    try
    {
        LuaInterface::executeWithReturnValues(
            ObjectTexts::callForResults(function, Inventory::isIdentifier(function)), "", results);
    }
    catch (const quortypes::exception& e)
    {
        quortypes::Log::error(Session::logTag, "Error executing " + function + "(): " + e.getMessage());
        return 1;
    }
    return results.size() == 1 ? results[0].toInt() : 1;
}

void InventoryPane::rebuildCells(const hstring& items)
{
    if (this->scrollArea == nullptr || this->dataset == nullptr)
    {
        return;
    }
    // The cells: "/item" and a number.
    const hstring prefix = this->name + "/item";
    harray<tesraui::Object*> children = this->scrollArea->getChildren();
    for (tesraui::Object* child : children)
    {
        if (child->getName().startsWith(prefix) && child->getName().subString(prefix.size()).isNumber())
        {
            this->dataset->destroyObject(child);
        }
    }
    this->cells.clear();
    this->cellItems.clear();
    const float pageWidth = this->getPageWidth();
    harray<hstring> distinct;
    harray<int> counts;
    for (const hstring& item : Inventory::splitItems(items))
    {
        const int at = indexIn(distinct, item);
        if (at >= 0)
        {
            ++counts[at];
        }
        else
        {
            distinct.push_back(item);
            counts.push_back(1);
        }
    }
    const float size = this->cellSize;
    // No cell fits: nothing to show, and nothing to divide by.
    if (pageWidth > 0.0f)
    {
        for (int i = 0; i < distinct.size(); ++i)
        {
            const hstring& item = distinct[i];
            if (!Inventory::hasItemImage(item))
            {
                continue;
            }
            const hstring cellName = prefix + hstring(cellCounter++);
            tesraui::ImageButton* cell = new tesraui::ImageButton(
                cellName, kavtypes::Rectangle(this->cells.size() * size, 0.0f, size, size));
            this->dataset->registerObjects(cell);
            this->scrollArea->addChild(cell);
            cell->setImageByName("items/" + item);
            cell->registerEvent("MouseDown",
                                new tesraui::MemberCallbackEvent(&InventoryPane::onCellMouseDown, this));
            cell->registerEvent("Click", new tesraui::MemberCallbackEvent(&InventoryPane::onCellClick, this));
            const int extra = this->scriptCount(item);
            if (counts[i] >= 2 || extra >= 2)
            {
                const kavtypes::Rectangle r = this->countLabelRect;
                tesraui::Label* label = new tesraui::Label(
                    cellName + "_cnt", kavtypes::Rectangle(r.x * size, r.y * size, r.w * size, r.h * size));
                this->dataset->registerObjects(label);
                cell->addChild(label);
                label->setClickThrough(true);
                label->setTextColor(tesra::Color(255, 255, 255, 255));
                label->setFont(this->font);
                label->setText(hstring(counts[i]) + (extra > 1 ? "/" + hstring(extra) : hstring()));
            }
            tesraui::Object* info =
                new tesraui::Object(cellName + "_info", kavtypes::Rectangle(0.0f, 0.0f, size, size));
            this->dataset->registerObjects(info);
            cell->addChild(info);
            info->setClickThrough(true);
            info->setVisible(false);
            this->cells.push_back(cell);
            this->cellItems.push_back(item);
        }
    }
    float width = this->cells.size() * size;
    if (pageWidth > 0.0f)
    {
        const float remainder = std::fmod(width, pageWidth);
        width -= remainder;
        if (remainder > size * 0.5f)
        {
            width += pageWidth;
        }
    }
    else
    {
        width = 0.0f;
    }
    this->scrollArea->setWidth(width);
    this->updateBullets();
}

int InventoryPane::getCurrentPage() const
{
    const float pageWidth = this->getPageWidth();
    if (this->scrollArea == nullptr || pageWidth <= 0.0f)
    {
        return 0;
    }
    return (int)std::round(-this->scrollArea->getX() / pageWidth);
}

int InventoryPane::getNumPages() const
{
    if (this->scrollArea == nullptr || this->itemContainer == nullptr ||
        this->itemContainer->getWidth() <= 0.0f)
    {
        return 0;
    }
    return (int)std::round(this->scrollArea->getWidth() / this->itemContainer->getWidth());
}

void InventoryPane::goToPage(int page)
{
    const float pageWidth = this->getPageWidth();
    if (this->scrollArea == nullptr || pageWidth <= 0.0f || this->scrollArea->isDragging() ||
        this->scrollArea->isScrolling())
    {
        return;
    }
    // The bar's scroll comes to rest exactly where it is sent, so whole pages land on the page.
    this->scrollBy((page - this->getCurrentPage()) * pageWidth);
}

// The bar's step (a page) would round a move to a page boundary: moves here go exactly as far as asked.
void InventoryPane::scrollBy(float distance)
{
    const float step = this->scrollBar->getGridSize();
    this->scrollBar->setGridSize(0.0f);
    this->scrollBar->addScrollValue(distance);
    this->scrollBar->setGridSize(step);
}

tesraui::ImageButton* InventoryPane::getCell(const hstring& item) const
{
    const int at = indexIn(this->cellItems, item);
    return at >= 0 ? this->cells[at] : nullptr;
}

void InventoryPane::showItemPage(const hstring& item)
{
    tesraui::ImageButton* cell = this->getCell(item);
    const float pageWidth = this->getPageWidth();
    if (cell == nullptr || pageWidth <= 0.0f)
    {
        return;
    }
    const int page = (int)(cell->getX() / pageWidth);
    if (page != this->getCurrentPage())
    {
        this->goToPage(page);
    }
}

hstring InventoryPane::itemOf(tesraui::Object* cell) const
{
    const int at = indexIn(this->cells, static_cast<tesraui::ImageButton*>(cell));
    return at >= 0 ? this->cellItems[at] : hstring();
}

hstring InventoryPane::heldItem() const
{
    return getGameUiHost().getSelectedItem();
}

int InventoryPane::cellUnderCursor() const
{
    if (this->scrollArea == nullptr || this->cellSize <= 0.0f || !this->itemContainer->isCursorInside())
    {
        return -1;
    }
    const kavtypes::Vector2 local = this->scrollArea->transformToLocalSpace(tesraui::getCursorPosition());
    if (local.x < 0.0f || local.y < 0.0f || local.y >= this->cellSize)
    {
        return -1;
    }
    const int index = (int)(local.x / this->cellSize);
    return index < this->cells.size() ? index : -1;
}

void InventoryPane::playClick()
{
    if (yim::manager != nullptr && yim::manager->hasSound("ui.click"))
    {
        yim::manager->play("ui.click", 0.0f, false, 1.0f);
    }
}

bool InventoryPane::isCellUsable(tesraui::Object* cell) const
{
    return cell != nullptr && indexIn(this->cells, static_cast<tesraui::ImageButton*>(cell)) >= 0 &&
           cell->getDerivedAlpha() >= 250;
}

void InventoryPane::onUseItem(tesraui::EventArgs* args)
{
    Inventory::useItem(args->extra);
}

void InventoryPane::onCombineItems(tesraui::EventArgs* args)
{
    hstring a;
    hstring b;
    if (!args->extra.split(",", a, b))
    {
        return;
    }
    Inventory::combineItems(a, b);
    getGameUiHost().selectItem("");
}

void InventoryPane::onCellClick(tesraui::EventArgs* args)
{
    tesraui::Object* cell = args->object;
    if (args->keyCode != 1 || Session::isTransitionRunning() || Session::isSceneLocked() ||
        !this->isCellUsable(cell))
    {
        return;
    }
    if (this->consumedCell == cell->getName())
    {
        this->consumedCell = "";
        return;
    }
    if (isNothing(this->heldItem()))
    {
        this->playClick();
        this->triggerEvent("UseItem", 1, this->itemOf(cell));
        return;
    }
    this->combinationRule(cell, (int)args->keyCode);
}

void InventoryPane::onCellMouseDown(tesraui::EventArgs* args)
{
    this->combinationRule(args->object, (int)args->keyCode);
}

void InventoryPane::combinationRule(tesraui::Object* cell, int button)
{
    if (button != 1 || Session::isTransitionRunning() || !this->isCellUsable(cell))
    {
        return;
    }
    this->playClick();
    const hstring item = this->itemOf(cell);
    const hstring held = this->heldItem();
    if (this->dragTimer == 0.0f && item == held)
    {
        if (!isIdiomPC() && this->dragAmount > this->rect.h)
        {
            Inventory::selectItem("");
        }
        return;
    }
    if (Session::isSceneLocked())
    {
        return;
    }
    if (!isNothing(held) && this->allowItemCombination)
    {
        if (item == held)
        {
            getGameUiHost().selectItem("");
            this->triggerEvent("UseItem", 1, held);
        }
        else
        {
            this->triggerEvent("CombineItems", 1, held + "," + item);
        }
        this->consumedCell = cell->getName();
        if (this->rolloverLabel != nullptr)
        {
            this->rolloverLabel->setText("");
            this->rolloverLabel->setAlpha(0);
        }
        return;
    }
    getGameUiHost().selectItem(item != held ? item : hstring());
}

void InventoryPane::onOverlayPress(tesraui::EventArgs*)
{
    const hstring held = this->heldItem();
    const int under = this->cellUnderCursor();
    this->consumedCell = "";
    if (!this->allowItemCombination || isNothing(held) || (under >= 0 && this->cellItems[under] == held))
    {
        this->dragTimer = this->dragAndDropDelay;
        this->dragAmount = 0.0f;
    }
    this->pressPosition = tesraui::getCursorPosition();
    this->pressed = true;
}

// What lies under the cursor changed with the overlay: every object on the way finds it anew.
void InventoryPane::clearCursorCaches()
{
    tesraui::Dataset* uiDataset = getGameUiHost().getDataset();
    if (uiDataset != nullptr)
    {
        uiDataset->clearChildUnderCursorCaches();
    }
    if (this->dataset != nullptr && this->dataset != uiDataset)
    {
        this->dataset->clearChildUnderCursorCaches();
    }
}

// The overlay steps aside so that the press reaches the cell beneath it. From here on the pointer
// carries the item, not the row: the press that reached the row again must not drag it along, and
// a row left pushed would swallow every edge scroll.
void InventoryPane::forwardPress()
{
    clickOverlay->setClickThrough(true);
    clearCursorCaches();
    onMouseDown(1);
    scrollArea->stopScrolling();
    clickOverlay->setClickThrough(false);
    clearCursorCaches();
}

void InventoryPane::onOverlayRelease(tesraui::EventArgs*)
{
    if (!this->pressed)
    {
        return;
    }
    if (this->dragTimer == 0.0f)
    {
        this->pressed = false;
        return;
    }
    this->clickOverlay->setClickThrough(true);
    this->clearCursorCaches();
    this->onMouseDown(1);
    if (this->dragTimer <= 0.0f)
    {
        this->scrollArea->stopScrolling();
    }
    this->onMouseUp(1);
    this->clickOverlay->setClickThrough(false);
    this->clearCursorCaches();
    this->pressed = false;
    if (this->dragTimer > 0.0f)
    {
        this->dragTimer = -1.0f;
    }
}

void InventoryPane::update(float timeDelta)
{
    ItemReceiver::update(timeDelta);
    if (this->scrollArea == nullptr)
    {
        return;
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
    this->updateItemIcon(under, held);
    this->scrollBusy = this->scrollArea->isDragging() || this->scrollArea->isScrolling();
    this->updateRollover(timeDelta);
    this->updateBullets();
}

// Over the cell under the pointer: what a click there would do, when the UI has a picture for it.
void InventoryPane::updateItemIcon(int under, const hstring& held)
{
    hstring image;
    float scale = 1.0f;
    if (under >= 0)
    {
        const hstring& item = this->cellItems[under];
        if (!isNothing(held) && held != item)
        {
            image = "InventoryPane/combine_item_icon";
        }
        else if (this->allowItemUseButton && Inventory::canUseItem(item))
        {
            image = "InventoryPane/use_item_icon";
            scale = (isPointerDown() ? 0.9f : (isIdiomPC() ? 1.1f : 1.0f));
        }
    }
    if (image == "" || !this->dataset->getImages().hasKey(image))
    {
        this->itemIcon->setVisible(false);
        return;
    }
    if (this->itemIconImage != image)
    {
        this->itemIcon->setImageByName(image);
        this->itemIconImage = image;
    }
    this->itemIcon->setX(this->cells[under]->getX());
    this->itemIcon->setScale(scale, scale);
    this->itemIcon->setVisible(true);
}

void InventoryPane::updateDrag(float timeDelta)
{
    if (this->dragTimer > 0.0f)
    {
        if (this->scrollArea->isDragging() && this->scrollArea->isScrollable())
        {
            this->dragTimer = -1.0f;
        }
        else
        {
            this->dragTimer -= timeDelta;
            if (this->dragTimer <= 0.0f)
            {
                this->dragTimer = 0.0f;
                this->forwardPress();
            }
        }
    }
    if (!isPointerDown())
    {
        this->dragTimer = -1.0f;
        this->panning = false;
    }
    if (this->dragTimer != 0.0f)
    {
        this->edgeTimer = 0.0f;
        return;
    }
    const kavtypes::Vector2 cursor = tesraui::getCursorPosition();
    this->dragAmount += (cursor - this->pressPosition).length();
    this->pressPosition = cursor;
    const kavtypes::Vector2 local = transformToLocalSpace(cursor);
    const float edge = cellSize * 0.75f;
    // Beside the row, or past its end: an item carried up over the scene is meant for the scene.
    const bool alongRow = (local.y >= 0.0f && local.y <= rect.h);
    const bool nearLeft = (alongRow && local.x < edge);
    const bool nearRight = (alongRow && local.x > rect.w - edge);
    if ((nearLeft || nearRight) && !panning && allowItemCombination)
    {
        edgeTimer += timeDelta;
        if (edgeTimer >= 0.5f)
        {
            edgeTimer = 0.0f;
            scrollByCell(nearLeft ? -1.0f : 1.0f);
        }
    }
    else
    {
        edgeTimer = 0.0f;
    }
    panning = panScene(timeDelta);
}

// Near an edge of a zoomed-in scene the carried item pans it, the faster the nearer the edge; over the
// pane itself the item is still meant for the row.
bool InventoryPane::panScene(float timeDelta)
{
    GameUiHost& host = getGameUiHost();
    if (!host.hasZoom() || isCursorInside() || host.getMaxZoomScale() <= 1.0f)
    {
        return false;
    }
    const kavtypes::Vector2 at = host.getZoomCursorFraction();
    if (at.x < 0.0f || at.x > 1.0f || at.y < 0.0f || at.y > 1.0f)
    {
        return false;
    }
    const float left = panningThresholds[0];
    const float top = panningThresholds[1];
    const float right = panningThresholds[2];
    const float bottom = panningThresholds[3];
    // How deep into each edge's band the pointer is, 0 outside it to 1 at the edge; toward the scene's
    // hidden side, so a left band moves the scene right.
    kavtypes::Vector2 depth;
    if (at.x < left)
    {
        depth.x = (left - at.x) / left;
    }
    else if (at.x > 1.0f - right)
    {
        depth.x = -(at.x - (1.0f - right)) / right;
    }
    if (at.y < top)
    {
        depth.y = (top - at.y) / top;
    }
    else if (at.y > 1.0f - bottom)
    {
        depth.y = -(at.y - (1.0f - bottom)) / bottom;
    }
    if (depth.x == 0.0f && depth.y == 0.0f)
    {
        return false;
    }
    return host.panZoom(depth * (dragPanSpeed * timeDelta));
}

void InventoryPane::updateRollover(float timeDelta)
{
    tesraui::Label* label = this->rolloverLabel;
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
        label->setText(formatTwo(texts->getText("USE_A_WITH_B"), texts->getText("obj_" + item),
                                 texts->getText("obj_" + held)));
    }
    else
    {
        label->setText(texts->getText("obj_" + item));
    }
}

void InventoryPane::setBulletPane(const hstring& name)
{
    this->bulletPane = this->dataset->getObject(name);
    const hstring prefix = this->bulletPane->getName();
    for (const char* arrow : {"/left", "/right"})
    {
        tesraui::Object* object = this->dataset->tryGetObject(prefix + arrow);
        if (object != nullptr)
        {
            object->registerEvent("Click",
                                  new tesraui::MemberCallbackEvent(&InventoryPane::onArrowClick, this));
        }
    }
    if (isIdiomPC())
    {
        for (int i = 0;; ++i)
        {
            tesraui::Object* bullet = this->dataset->tryGetObject(prefix + "/bullet" + hstring(i));
            if (bullet == nullptr)
            {
                break;
            }
            bullet->registerEvent("Click",
                                  new tesraui::MemberCallbackEvent(&InventoryPane::onBulletClick, this));
        }
    }
    tesraui::ImageButton* first =
        dynamic_cast<tesraui::ImageButton*>(this->dataset->tryGetObject(prefix + "/bullet0"));
    if (first != nullptr)
    {
        this->bulletImage = first->getImageName();
        this->bulletPushedImage = first->getPushedImageName();
    }
    else
    {
        this->bulletImage = "0xFFFF00";
        this->bulletPushedImage = "0xFF7F00";
    }
    this->updateBullets();
}

void InventoryPane::updateBullets()
{
    if (this->bulletPane == nullptr || this->itemContainer == nullptr)
    {
        return;
    }
    const hstring prefix = this->bulletPane->getName();
    int pages = this->getNumPages();
    if (pages == 1)
    {
        pages = 0;
    }
    const int current = this->getCurrentPage();
    float width = 0.0f;
    for (int i = 0;; ++i)
    {
        tesraui::Object* object = this->dataset->tryGetObject(prefix + "/bullet" + hstring(i));
        if (object == nullptr)
        {
            break;
        }
        object->setVisible(i < pages);
        tesraui::ImageButton* bullet = dynamic_cast<tesraui::ImageButton*>(object);
        if (bullet != nullptr && this->bulletImage != "")
        {
            const hstring& image = (i == current ? this->bulletImage : this->bulletPushedImage);
            const hstring& pushed = (i == current ? this->bulletPushedImage : this->bulletImage);
            try
            {
                if (bullet->getImageName() != image)
                {
                    bullet->setImageByName(image);
                }
                if (bullet->getPushedImageName() != pushed)
                {
                    bullet->setPushedImageByName(pushed);
                }
            }
            catch (const quortypes::exception& e)
            {
                quortypes::Log::warn(Session::logTag, e.getMessage());
                this->bulletImage = "";
            }
        }
        if (i < pages)
        {
            width = std::max(width, object->getX() + object->getWidth());
        }
    }
    this->bulletPane->setWidth(width);
    this->bulletPane->setX((this->itemContainer->getWidth() - width) * 0.5f + this->itemContainer->getX() +
                           this->bulletPaneOffset);
    tesraui::Object* left = this->dataset->tryGetObject(prefix + "/left");
    tesraui::Object* right = this->dataset->tryGetObject(prefix + "/right");
    if (isIdiomPC())
    {
        const float offset = -this->scrollArea->getX();
        const float tenth = this->cellSize * 0.1f;
        const float end = this->scrollArea->getWidth() - this->itemContainer->getWidth() - tenth;
        const bool leftOpen = (offset > tenth);
        const bool rightOpen = (offset < end);
        for (auto side : {std::make_pair(left, std::make_pair(leftOpen, rightOpen)),
                          std::make_pair(right, std::make_pair(rightOpen, leftOpen))})
        {
            if (side.first != nullptr)
            {
                side.first->setVisible(true);
                side.first->setAlpha(side.second.first ? 255 : (side.second.second ? 90 : 0));
            }
        }
    }
    else if (left != nullptr && left->isVisible())
    {
        left->setVisible(false);
        if (right != nullptr)
        {
            right->setVisible(false);
        }
    }
}

void InventoryPane::onBulletClick(tesraui::EventArgs* args)
{
    if (args->keyCode != 1 || !isIdiomPC() || args->object == nullptr)
    {
        return;
    }
    const hstring& name = args->object->getName();
    const int page = name[name.size() - 1] - '0';
    if (page < 0 || page > 9 || page == this->getCurrentPage())
    {
        return;
    }
    this->playClick();
    this->goToPage(page);
}

void InventoryPane::onArrowClick(tesraui::EventArgs* args)
{
    if (args->keyCode != 1 || args->object == nullptr || args->object->getAlpha() < 200 ||
        this->scrollArea == nullptr || this->cellSize <= 0.0f)
    {
        return;
    }
    this->playClick();
    scrollByCell(args->object->getName().endsWith("/left") ? -1.0f : 1.0f);
}

// A moving row already heads for a cell boundary; one at rest goes from the boundary nearest to it, so
// that each step ends on one.
void InventoryPane::scrollByCell(float direction)
{
    if (cellSize <= 0.0f)
    {
        return;
    }
    if (scrollArea->isScrolling())
    {
        scrollBy(direction * cellSize);
        return;
    }
    const float offset = -scrollArea->getX();
    const float nearest = std::round(offset / cellSize) * cellSize;
    scrollBy(nearest + direction * cellSize - offset);
}

harray<PropertyInfo> InventoryPane::getPropertyDescriptions() const
{
    harray<PropertyInfo> result = ItemReceiver::getPropertyDescriptions();
    const harray<PropertyInfo> own = {
        PropertyInfo("scrollarea", PropertyInfo::STRING),
        PropertyInfo("bullet_pane", PropertyInfo::STRING),
        PropertyInfo("bulletPaneOffset", PropertyInfo::FLOAT),
        PropertyInfo("itemContainer", PropertyInfo::STRING),
        PropertyInfo("allowItemCombination", PropertyInfo::BOOL),
        PropertyInfo("allowItemUseButton", PropertyInfo::BOOL),
        PropertyInfo("rollover_label", PropertyInfo::STRING),
        PropertyInfo("font", PropertyInfo::STRING),
        PropertyInfo("countLabelRect", PropertyInfo::STRING),
        PropertyInfo("selector", PropertyInfo::STRING),
        PropertyInfo("selected_selector", PropertyInfo::STRING),
        PropertyInfo("dragAndDropActive", PropertyInfo::BOOL),
        PropertyInfo("dragAndDropPanningEnabled", PropertyInfo::BOOL),
        PropertyInfo("dragAndDropDelay", PropertyInfo::FLOAT),
        PropertyInfo("dragAndDropPanningTreshold", PropertyInfo::FLOAT),
        PropertyInfo("dragAndDropPanningTresholdLeft", PropertyInfo::FLOAT),
        PropertyInfo("dragAndDropPanningTresholdRight", PropertyInfo::FLOAT),
        PropertyInfo("dragAndDropPanningTresholdTop", PropertyInfo::FLOAT),
        PropertyInfo("dragAndDropPanningTresholdBottom", PropertyInfo::FLOAT),
        PropertyInfo("currentPage", PropertyInfo::STRING),
        PropertyInfo("numPages", PropertyInfo::STRING),
        PropertyInfo("itemObject:%", PropertyInfo::STRING),
        PropertyInfo("itemPage:%", PropertyInfo::STRING),
    };
    result.insert(result.end(), own.begin(), own.end());
    return result;
}

namespace
{
    const char* const thresholdNames[4] = {"dragAndDropPanningTresholdLeft", "dragAndDropPanningTresholdTop",
                                           "dragAndDropPanningTresholdRight",
                                           "dragAndDropPanningTresholdBottom"};

    hstring nameOf(tesraui::Object* object)
    {
        return object != nullptr ? object->getName() : hstring();
    }

    hstring flag(bool value)
    {
        return value ? "1" : "0";
    }
} // namespace

hstring InventoryPane::getProperty(const hstring& name)
{
    if (name == "scrollarea")
    {
        return nameOf(this->scrollArea);
    }
    if (name == "bullet_pane")
    {
        return nameOf(this->bulletPane);
    }
    if (name == "bulletPaneOffset")
    {
        return hstring(this->bulletPaneOffset);
    }
    if (name == "itemContainer")
    {
        return nameOf(this->itemContainer);
    }
    if (name == "allowItemCombination")
    {
        return flag(this->allowItemCombination);
    }
    if (name == "allowItemUseButton")
    {
        return flag(this->allowItemUseButton);
    }
    if (name == "rollover_label")
    {
        return nameOf(this->rolloverLabel);
    }
    if (name == "font")
    {
        return this->font;
    }
    if (name == "countLabelRect")
    {
        const kavtypes::Rectangle& r = this->countLabelRect;
        return formatString("%f,%f,%f,%f", r.x, r.y, r.w, r.h);
    }
    if (name == "selector")
    {
        return nameOf(this->selector);
    }
    if (name == "selected_selector")
    {
        return nameOf(this->selectedSelector);
    }
    if (name == "dragAndDropActive")
    {
        return flag(this->dragTimer == 0.0f);
    }
    if (name == "dragAndDropPanningEnabled")
    {
        return flag(this->panning);
    }
    if (name == "dragAndDropPanningTreshold")
    {
        const float* t = this->panningThresholds;
        return hstring((t[0] + t[1] + t[2] + t[3]) / 4.0f);
    }
    for (int i = 0; i < 4; ++i)
    {
        if (name == thresholdNames[i])
        {
            return hstring(this->panningThresholds[i]);
        }
    }
    if (name == "currentPage")
    {
        return hstring(this->getCurrentPage());
    }
    if (name == "numPages")
    {
        return hstring(this->getNumPages());
    }
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
        return hstring((int)(cell->getX() / width));
    }
    return ItemReceiver::getProperty(name);
}

bool InventoryPane::setProperty(const hstring& name, const hstring& value)
{
    if (name == "bullet_pane")
    {
        this->setBulletPane(value);
    }
    else if (name == "bulletPaneOffset")
    {
        this->bulletPaneOffset = value.toFloat();
    }
    else if (name == "allowItemCombination")
    {
        this->allowItemCombination = value.toBool();
    }
    else if (name == "allowItemUseButton")
    {
        const bool allow = value.toBool();
        if (allow != this->allowItemUseButton)
        {
            this->allowItemUseButton = allow;
            this->layout();
        }
    }
    else if (name == "rollover_label")
    {
        this->rolloverLabel = dynamic_cast<tesraui::Label*>(this->dataset->getObject(value));
    }
    else if (name == "font")
    {
        this->font = value;
    }
    else if (name == "countLabelRect")
    {
        const harray<hstring> parts = value.split(",", -1, false);
        if (parts.size() != 4)
        {
            throw quortypes::exception(
                "InventoryPane: invalid countLabelRect property format, expecting '%f,%f,%f,%f', got: " +
                    value,
                "src\\objects\\ObjectInventoryPane", 870);
        }
        this->countLabelRect = kavtypes::Rectangle(parts[0].toFloat(), parts[1].toFloat(), parts[2].toFloat(),
                                                   parts[3].toFloat());
    }
    else if (name == "selector" || name == "selected_selector")
    {
        tesraui::ImageBox* box = (name == "selector" ? this->selector : this->selectedSelector);
        if (box != nullptr)
        {
            box->setImageByName(value);
        }
    }
    else if (name == "dragAndDropDelay")
    {
        this->dragAndDropDelay = value.toFloat();
    }
    else if (name == "dragAndDropPanningTreshold")
    {
        const float threshold = value.toFloat();
        if (threshold >= 0.0f && threshold <= 1.0f)
        {
            for (float& t : this->panningThresholds)
            {
                t = threshold;
            }
        }
    }
    else if (name == "currentPage")
    {
        const int page = value.toInt();
        if (page >= 0 && page < this->getNumPages())
        {
            this->goToPage(page);
        }
    }
    else
    {
        for (int i = 0; i < 4; ++i)
        {
            if (name == thresholdNames[i])
            {
                const float threshold = value.toFloat();
                if (threshold >= 0.0f && threshold <= 1.0f)
                {
                    this->panningThresholds[i] = threshold;
                }
                return true;
            }
        }
        return ItemReceiver::setProperty(name, value);
    }
    return true;
}
