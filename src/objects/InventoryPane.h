#pragma once

#include <kavtypes/Rectangle.h>
#include <kavtypes/Vector2.h>
#include <quortypes/PropertyTable.h>
#include <quortypes/harray.h>
#include <quortypes/hdict.h>
#include <quortypes/hstring.h>
#include <tesraui/Dataset.h>
#include <tesraui/LifeToken.h>

#include "objects/ItemReceiver.h"

namespace tesraui
{
    class EventArgs;
    class ImageBox;
    class ImageButton;
    class Label;
    class ScrollArea;
    class ScrollBarH;
} // namespace tesraui

namespace vumo
{
    class Variable;

    // The on-screen inventory bar: the carried items as a row of square cells split into pages, with a count
    // on items carried more than once. It follows the variable "items" by itself; one pane is the active one.
    class InventoryPane : public ItemReceiver
    {
    public:
        InventoryPane(const hstring& name, kavtypes::Rectangle rect);
        ~InventoryPane() override;
        static tesraui::Object* createInstance(const hstring& name, kavtypes::Rectangle rect);
        static InventoryPane* getActive();

        void notifyEvent(const hstring& type, void* args) override;
        hstring getClassName() const override { return "InventoryPane"; }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        void update(float timeDelta) override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;

        float getCellSize() const { return this->cellSize; }
        // The cells side by side on one page; 0 when not even one cell fits.
        float getPageWidth() const;
        int getCurrentPage() const;
        int getNumPages() const;
        // Null when the item has no cell.
        tesraui::ImageButton* getCell(const hstring& item) const;
        tesraui::ScrollArea* getScrollArea() const { return this->scrollArea; }
        tesraui::Container* getItemContainer() const { return this->itemContainer; }
        bool isDragActive() const { return this->dragTimer == 0.0f; }
        // Goes to the page unless the row is being dragged or still moving.
        void goToPage(int page);

    protected:
        bool pressed = false;
        bool scrollBusy = false;
        bool allowItemCombination = true;
        bool allowItemUseButton = true;
        float dragTimer = -1.0f;
        float edgeTimer = 0.0f;
        float dragAndDropDelay = 0.35f;
        float dragAmount = 0.0f;
        kavtypes::Vector2 pressPosition;
        float cellSize = 0.0f;
        float rolloverTime = 0.0f;
        // The item texts the rollover label found missing, each logged once: the label shows the error
        // text on screen every frame the pointer rests there.
        harray<hstring> missingTexts;
        float bulletPaneOffset = 0.0f;
        hstring bulletImage;
        hstring bulletPushedImage;
        hstring font;
        bool panning = false;
        float panningThresholds[4] = {0.1f, 0.1f, 0.1f, 0.1f};
        tesraui::ScrollArea* scrollArea = nullptr;
        tesraui::ImageBox* selector = nullptr;
        tesraui::ImageBox* selectedSelector = nullptr;
        tesraui::ImageBox* clickOverlay = nullptr;
        // Shows "InventoryPane/use_item_icon" or "InventoryPane/combine_item_icon" over the cell under the
        // pointer.
        tesraui::ImageBox* itemIcon = nullptr;
        hstring itemIconImage;
        tesraui::ScrollBarH* scrollBar = nullptr;
        // Other objects of the dataset, which a script may destroy before the pane.
        tesraui::Watched<tesraui::Object> bulletPane;
        tesraui::Watched<tesraui::Label> rolloverLabel;
        tesraui::Container* itemContainer = nullptr;
        // In cells: multiplied by the cell size where it is used, so it survives a pane not yet built.
        kavtypes::Rectangle countLabelRect = kavtypes::Rectangle(0.0f, 0.6f, 1.0f, 0.4f);
        harray<tesraui::ImageButton*> cells;
        harray<hstring> cellItems;
        // The cell whose press already queued a use or a combination: its click of the same press adds none.
        hstring consumedCell;
        // The item of the cell a press began on, and where the row stood then: a drag that begins once the
        // pointer has moved away carries that item, and the row goes back to where it was.
        hstring pressedItem;
        float pressScrollX = 0.0f;
        // Set while the cells are rebuilt. The item counts asked then run scripts, which may change the items
        // (asking for another rebuild) or destroy the pane.
        bool rebuilding = false;
        bool rebuildAsked = false;
        // The items the cells show, and the page width they were laid out for.
        hstring builtItems;
        float builtPageWidth = 0.0f;
        // The items changed again while the last rebuild's follow-up ran, or the cells were made with the
        // counts of before because no script could run then: the next update catches up.
        bool cellsBehind = false;
        // Each item's count as last asked (the game's items are few); a rebuild where no script may run shows
        // these (1 for an item never asked) until the next update asks again.
        hdict<int> knownCounts;

        static void onItemsChanged(Variable* variable, const hstring& value, const hstring& previous);

        // Registers part in the pane's dataset and hangs it under parent, as a part that goes only with the
        // pane.
        template <class T> T* addPart(tesraui::Object* parent, T* part)
        {
            this->dataset->registerObjects(part);
            parent->addChild(part);
            part->setHeldPart(true);
            return part;
        }
        // These return false when a script they ran destroyed the pane: nothing of it may be touched then.
        bool buildChildren();
        bool layout();
        // Asks the scripts' counts first, then replaces the cells. A rebuild asked meanwhile (a count that
        // changes the items or resizes the pane) is not run inside this one but once after it, for the items
        // stored then.
        bool rebuildCells(const hstring& items);
        // The distinct items, their carried copies and their script counts (asked for the items with a
        // picture when they are shown); false when the pane went while a count was asked. Inside a parent's
        // layout or the engine's work on a profile no script is asked: the known counts stand in, and
        // deferred says so.
        bool countItems(const hstring& items, bool shown, harray<hstring>& distinct, harray<int>& copies,
                        harray<int>& counts, bool& deferred);
        // Whether a count script may run now: not while a parent lays out its children (the script could
        // free what that walk holds) nor while a profile is loaded, saved or changed (it would act on a
        // profile half made).
        static bool mayAskCounts();
        void replaceCells(const harray<hstring>& distinct, const harray<int>& copies,
                          const harray<int>& counts);
        void itemsChanged(const hstring& newValue, const hstring& oldValue);
        void showItemPage(const hstring& item);
        int scriptCount(const hstring& item);
        hstring itemOf(tesraui::Object* cell) const;
        hstring heldItem() const;
        // The index of the cell under the pointer; -1 for none.
        int cellUnderCursor() const;
        void playClick();
        void scrollBy(float distance);
        // One cell toward the end (1) or the start (-1).
        void scrollByCell(float direction);
        bool isCellUsable(tesraui::Object* cell) const;
        void forwardPress();
        // The drag begins with the item pressed, wherever the pointer has gone since.
        void beginDrag();
        // Whether the pointer, still pressed, has gone so far from the press that it carries the item out:
        // any way but along a row that scrolls, which the row follows instead.
        bool isQuickDrag() const;
        // An item carried onto another one of the row and let go there: combined as a click on it combines.
        void dropOnCell();
        void clearCursorCaches();
        void setBulletPane(const hstring& name);
        void updateBullets();
        void updateRollover(float timeDelta);
        // The dataset's text of the key; a missing one is logged the first time.
        hstring rolloverText(tesraui::Dataset* texts, const hstring& key);
        void updateDrag(float timeDelta);
        // Pans a zoomed-in scene while the carried item is near its edge; true while it does.
        bool panScene(float timeDelta);
        // False when the pane went meanwhile: the lookup of an item's function may run a script.
        bool updateItemIcon(int under, const hstring& held);

        void onUseItem(tesraui::EventArgs* args);
        void onCombineItems(tesraui::EventArgs* args);
        void onCellMouseDown(tesraui::EventArgs* args);
        void onCellClick(tesraui::EventArgs* args);
        void onOverlayPress(tesraui::EventArgs* args);
        void onOverlayRelease(tesraui::EventArgs* args);
        void onBulletClick(tesraui::EventArgs* args);
        void onArrowClick(tesraui::EventArgs* args);
        void combinationRule(tesraui::Object* cell, int button);

    private:
        static const PropertyTable<InventoryPane>& _properties();
        // The names with an item after their ":".
        hstring _getPatternProperty(const hstring& name);
    };
} // namespace vumo
