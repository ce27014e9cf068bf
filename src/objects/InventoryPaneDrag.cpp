#include <cmath>

#include "InventoryPane.h"

#include <quortypes/util.h>
#include <tesraui/Dataset.h>
#include <tesraui/EventArgs.h>
#include <tesraui/ImageButton.h>
#include <tesraui/Label.h>
#include <tesraui/ScrollArea.h>
#include <tesraui/tesraui.h>
#include <yim/AudioManager.h>
#include <yim/yim.h>

#include "GameUiHost.h"
#include "Inventory.h"
#include "Session.h"
#include "objects/InventoryPaneHelpers.h"

namespace vumo
{
    using namespace inventorypane;

    namespace
    {
        // How far a carried item pans a zoomed scene in a second, in viewport sizes, at the very edge.
        const float dragPanSpeed = 0.5f;
    } // namespace

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
        const int index = quortypes::truncateToInt(local.x / this->cellSize);
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
            if (tesraui::Label* label = this->rolloverLabel.get())
            {
                label->setText("");
                label->setAlpha(0);
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
        this->pressedItem = (under >= 0 ? this->cellItems[under] : hstring());
        this->pressScrollX = this->scrollArea->getScrollOffsetX();
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

    void InventoryPane::beginDrag()
    {
        this->dragTimer = 0.0f;
        const int under = this->cellUnderCursor();
        if (this->pressedItem == "" || (under >= 0 && this->cellItems[under] == this->pressedItem))
        {
            this->forwardPress();
            return;
        }
        // The pointer has left the cell it pressed: the item pressed is the one it carries, and a row that
        // began to follow the pointer goes back.
        this->scrollArea->stopScrolling();
        if (this->scrollArea->getScrollOffsetX() != this->pressScrollX)
        {
            this->scrollArea->setScrollOffset(this->pressScrollX, this->scrollArea->getScrollOffsetY());
        }
        if (tesraui::ImageButton* cell = this->getCell(this->pressedItem))
        {
            this->combinationRule(cell, 1);
        }
    }

    bool InventoryPane::isQuickDrag() const
    {
        const kavtypes::Vector2 travel = tesraui::getCursorPosition() - this->pressPosition;
        if (!isPointerDown() || travel.length() < this->scrollArea->getDragThreshold())
        {
            return false;
        }
        const bool alongRow = std::fabs(travel.x) >= std::fabs(travel.y);
        return !(alongRow && this->scrollArea->isScrollable());
    }

    void InventoryPane::dropOnCell()
    {
        const int under = this->cellUnderCursor();
        const hstring held = this->heldItem();
        if (under >= 0 && !isNothing(held) && this->cellItems[under] != held)
        {
            this->combinationRule(this->cells[under], 1);
        }
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
            this->dropOnCell();
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

    void InventoryPane::updateDrag(float timeDelta)
    {
        if (this->dragTimer > 0.0f)
        {
            // A quick drag out of the row carries the item at once: the delay only tells a press held still
            // from a click.
            if (this->isQuickDrag())
            {
                this->beginDrag();
            }
            else if (this->scrollArea->isDragging() && this->scrollArea->isScrollable())
            {
                this->dragTimer = -1.0f;
            }
            else
            {
                this->dragTimer -= timeDelta;
                if (this->dragTimer <= 0.0f)
                {
                    this->beginDrag();
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
        GameUiZoom& host = getGameUiHost();
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
} // namespace vumo
