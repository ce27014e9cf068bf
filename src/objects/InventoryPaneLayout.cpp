#include "InventoryPane.h"

#include <cmath>

#include <quortypes/Log.h>
#include <quortypes/util.h>
#include <quortypes/exception.h>
#include <tesraui/Dataset.h>
#include <tesraui/Event.h>
#include <tesraui/EventArgs.h>
#include <tesraui/ImageButton.h>
#include <tesraui/Label.h>
#include <tesraui/ScrollArea.h>
#include <tesraui/ScrollBarH.h>

#include "Inventory.h"
#include "Profile.h"
#include "Session.h"
#include "Variables.h"
#include "lua/LuaInterface.h"
#include "lua/ScriptErrorLog.h"
#include "ScriptTexts.h"
#include "objects/InventoryPaneHelpers.h"

namespace vumo
{
    using namespace inventorypane;

    namespace
    {
        int cellCounter = 0;
    } // namespace

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

    bool InventoryPane::layout()
    {
        if (this->itemContainer == nullptr)
        {
            return true;
        }
        const float pageWidth = this->getPageWidth();
        this->itemContainer->setWidth(pageWidth);
        this->itemContainer->setX((this->rect.w - pageWidth) * 0.5f);
        if (!this->rebuildCells(storedItems()))
        {
            return false;
        }
        this->scrollBar->setGridSize(pageWidth);
        if (pageWidth > 0.0f)
        {
            this->scrollArea->setX(std::round(this->scrollArea->getX() / pageWidth) * pageWidth);
        }
        return true;
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
            // Cut and counted as scripts' errors are: a pane asks again at every rebuild.
            ScriptErrorLog::write(Session::logTag, "Error executing " + function + "(): " + e.getMessage());
            return 1;
        }
        return results.size() == 1 ? results[0].toInt() : 1;
    }

    bool InventoryPane::rebuildCells(const hstring& items)
    {
        if (this->scrollArea == nullptr || this->dataset == nullptr)
        {
            return true;
        }
        if (this->rebuilding)
        {
            this->rebuildAsked = true;
            return true;
        }
        // Cleared on every way out while the pane stands, an exception's too.
        struct Rebuilding
        {
            InventoryPane* pane;
            tesraui::LifeToken::Watch alive;
            ~Rebuilding()
            {
                if (this->alive.isAlive())
                {
                    this->pane->rebuilding = false;
                }
            }
        } guard{this, this->watchLife()};
        hstring wanted = items;
        // The first pass and at most one follow-up; what is still asked after that waits for the next frame.
        for (int pass = 0; pass < 2; ++pass)
        {
            this->rebuilding = true;
            this->rebuildAsked = false;
            harray<hstring> distinct;
            harray<int> copies;
            harray<int> counts;
            // A count may resize the pane: the follow-up then lays the cells out for the new width.
            this->builtPageWidth = this->getPageWidth();
            bool deferred = false;
            if (!this->countItems(wanted, this->builtPageWidth > 0.0f, distinct, copies, counts, deferred))
            {
                return false;
            }
            this->replaceCells(distinct, copies, counts);
            this->builtItems = wanted;
            this->rebuilding = false;
            this->cellsBehind = deferred;
            if (!this->rebuildAsked)
            {
                return true;
            }
            wanted = storedItems();
            if (wanted == this->builtItems && this->getPageWidth() == this->builtPageWidth)
            {
                return true;
            }
        }
        this->cellsBehind = true;
        return true;
    }

    bool InventoryPane::mayAskCounts()
    {
        return !tesraui::Object::isLayoutUnderWay() && !Profile::isWorkUnderWay();
    }

    bool InventoryPane::countItems(const hstring& items, bool shown, harray<hstring>& distinct,
                                   harray<int>& copies, harray<int>& counts, bool& deferred)
    {
        for (const hstring& item : Inventory::splitItems(items))
        {
            const int at = indexIn(distinct, item);
            if (at >= 0)
            {
                ++copies[at];
            }
            else
            {
                distinct.push_back(item);
                copies.push_back(1);
            }
        }
        // Without a cell that fits, no cell is made and no count is asked.
        deferred = shown && !mayAskCounts();
        if (deferred)
        {
            for (const hstring& item : distinct)
            {
                counts.push_back(this->knownCounts.tryGet(item, 1));
            }
            return true;
        }
        const tesraui::LifeToken::Watch alive = this->watchLife();
        for (const hstring& item : distinct)
        {
            const bool asked = shown && Inventory::hasItemImage(item);
            counts.push_back(asked ? this->scriptCount(item) : 1);
            if (!alive.isAlive())
            {
                return false;
            }
            if (asked)
            {
                this->knownCounts[item] = counts.back();
            }
        }
        return true;
    }

    void InventoryPane::replaceCells(const harray<hstring>& distinct, const harray<int>& copies,
                                     const harray<int>& counts)
    {
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
                tesraui::ImageButton* cell = this->addPart(
                    this->scrollArea,
                    new tesraui::ImageButton(
                        cellName, kavtypes::Rectangle(this->cells.size() * size, 0.0f, size, size)));
                cell->setImageByName("items/" + item);
                cell->registerEvent("MouseDown", std::make_shared<tesraui::MemberCallbackEvent>(
                                                     &InventoryPane::onCellMouseDown, this));
                cell->registerEvent("Click", std::make_shared<tesraui::MemberCallbackEvent>(
                                                 &InventoryPane::onCellClick, this));
                const int extra = counts[i];
                if (copies[i] >= 2 || extra >= 2)
                {
                    const kavtypes::Rectangle r = this->countLabelRect;
                    tesraui::Label* label =
                        this->addPart(cell, new tesraui::Label(cellName + "_cnt",
                                                               kavtypes::Rectangle(r.x * size, r.y * size,
                                                                                   r.w * size, r.h * size)));
                    label->setClickThrough(true);
                    label->setTextColor(tesra::Color(255, 255, 255, 255));
                    label->setFont(this->font);
                    label->setText(hstring(copies[i]) + (extra > 1 ? "/" + hstring(extra) : hstring()));
                }
                tesraui::Object* info =
                    this->addPart(cell, new tesraui::Object(cellName + "_info",
                                                            kavtypes::Rectangle(0.0f, 0.0f, size, size)));
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
        return quortypes::truncateToInt(std::round(-this->scrollArea->getX() / pageWidth));
    }

    int InventoryPane::getNumPages() const
    {
        if (this->scrollArea == nullptr || this->itemContainer == nullptr ||
            this->itemContainer->getWidth() <= 0.0f)
        {
            return 0;
        }
        return quortypes::truncateToInt(
            std::round(this->scrollArea->getWidth() / this->itemContainer->getWidth()));
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
        const int page = quortypes::truncateToInt(cell->getX() / pageWidth);
        if (page != this->getCurrentPage())
        {
            this->goToPage(page);
        }
    }

    void InventoryPane::setBulletPane(const hstring& name)
    {
        tesraui::Object* pane = this->dataset->getObject(name);
        this->bulletPane = tesraui::Watched<tesraui::Object>(pane);
        const hstring prefix = pane->getName();
        for (const char* arrow : {"/left", "/right"})
        {
            tesraui::Object* object = this->dataset->tryGetObject(prefix + arrow);
            if (object != nullptr)
            {
                object->registerEvent("Click", std::make_shared<tesraui::MemberCallbackEvent>(
                                                   &InventoryPane::onArrowClick, this));
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
                bullet->registerEvent("Click", std::make_shared<tesraui::MemberCallbackEvent>(
                                                   &InventoryPane::onBulletClick, this));
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
        tesraui::Object* pane = this->bulletPane.get();
        if (pane == nullptr || this->itemContainer == nullptr)
        {
            return;
        }
        const hstring prefix = pane->getName();
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
        pane->setWidth(width);
        pane->setX((this->itemContainer->getWidth() - width) * 0.5f + this->itemContainer->getX() +
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
} // namespace vumo
