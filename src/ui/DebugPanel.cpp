#include <algorithm>

#include <fintu/Renderer.h>
#include <quortypes/Dir.h>
#include <quortypes/File.h>
#include <quortypes/FileBytes.h>
#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>
#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/Event.h>
#include <tesraui/EventArgs.h>
#include <tesraui/ImageBox.h>
#include <tesraui/TextImageButton.h>

#include "DebugNames.h"
#include "EngineObjects.h"
#include "Inventory.h"
#include "Scene.h"
#include "Session.h"
#include "ScriptTexts.h"
#include "Variables.h"
#include "GameUiHost.h"
#include "ui/DebugCommon.h"
#include "ui/DebugUI.h"

namespace vumo
{
    namespace
    {
        const char* const windowName = "debugui_window";
        const char* const panelRootName = "debugui_root";
        const char* const itemPrefix = "debugui_inv_button_";
        const char* const varPrefix = "debugui_var_button_";
        const char* const slotPrefix = "debugui_slot_";
        const char* const savePrefix = "debugui_slot_save_";
        const char* const loadPrefix = "debugui_slot_load_";

        // The names the panel's buttons stand for, as they were when it was built.
        harray<hstring> panelItems;
        harray<hstring> panelVars;

        // The place of the clicked button among buttons; -1 when it is none of them.
        int indexOf(tesraui::EventArgs* args,
                    const harray<tesraui::Watched<tesraui::TextImageButton>>& buttons)
        {
            if (args == nullptr || args->object == nullptr)
            {
                return -1;
            }
            for (int i = 0; i < buttons.size(); ++i)
            {
                if (buttons[i].get() == args->object)
                {
                    return i;
                }
            }
            return -1;
        }

        hstring slotNumber(int slot)
        {
            return formatString("%02d", slot);
        }

        hstring slotFilePrefix(int slot)
        {
            return "_slot" + slotNumber(slot) + "_";
        }

        // At the next frame's start, as a script's reset: the panel's click is still being handled.
        void resetActiveScene()
        {
            Scene* scene = Session::getActiveScene();
            if (scene != nullptr)
            {
                Session::queueScript(ObjectTexts::queuedSceneReset(scene->getFullName()), true);
            }
        }
    } // namespace

    bool DebugUI::isPanelVisible() const
    {
        tesraui::Object* window = this->debugWindow.get();
        return (window != nullptr && window->isVisible());
    }

    void DebugUI::hidePanel()
    {
        if (this->isPanelVisible())
        {
            this->debugWindow.get()->setVisible(false);
        }
    }

    void DebugUI::showPanel()
    {
        tesraui::Object* root = this->ui.getRootObject();
        tesraui::Dataset* dataset = this->ui.getDataset();
        if (root == nullptr || dataset == nullptr)
        {
            return;
        }
        DebugCommon::createFont();
        tesraui::Object* window = this->debugWindow.get();
        if (window == nullptr)
        {
            window =
                new tesraui::Container(EngineObjects::freeName(dataset, windowName),
                                       kavtypes::Rectangle(0.0f, 0.0f, root->getWidth(), root->getHeight()));
            window->setOutsideHolder("the debug UI");
            window->setZOrder(9000);
            window->setAnchors(true, true, true, true);
            EngineObjects::attach(window, root, dataset);
            this->debugWindow = tesraui::Watched<tesraui::Object>(window);
        }
        this->buildPanel();
        window->setVisible(true);
        this->panelTimer = 0.0f;
    }

    void DebugUI::buildPanel()
    {
        tesraui::Dataset* dataset = this->ui.getDataset();
        tesraui::Object* window = this->debugWindow.get();
        if (window == nullptr || dataset == nullptr)
        {
            return;
        }
        if (tesraui::Object* old = this->panelRoot.get())
        {
            dataset->destroyObject(old);
        }
        for (auto* buttons : {&this->itemButtons, &this->varButtons, &this->slotButtons, &this->saveButtons,
                              &this->loadButtons})
        {
            buttons->clear();
        }
        const float w = window->getWidth();
        const float h = window->getHeight();
        tesraui::ImageBox* panel =
            EngineObjects::attachPart(new tesraui::ImageBox(EngineObjects::freeName(dataset, panelRootName),
                                                            kavtypes::Rectangle(0.0f, 0.0f, w, h)),
                                      window, dataset);
        this->panelRoot = tesraui::Watched<tesraui::Object>(panel);
        panel->setImageByName("0x00000060");
        panel->setAnchors(true, true, true, true);
        const float gap = this->margin;
        const int columns = std::max(this->columns, 1);
        const float buttonWidth =
            std::min(this->panelWidth, (w - gap * (float)(columns + 1)) / (float)columns);
        const float buttonHeight = this->lineHeight;
        const hstring font =
            hstring(DebugCommon::fontName) + ":" + hstring(DebugCommon::textScale(this->lineHeight));
        int cell = 0;
        float rowY = gap;
        auto makeButton = [&](harray<tesraui::Watched<tesraui::TextImageButton>>& buttons,
                              const hstring& name, const hstring& text, float x, float y, float width)
        {
            tesraui::TextImageButton* button = EngineObjects::attachPart(
                new tesraui::TextImageButton(EngineObjects::freeName(dataset, name),
                                             kavtypes::Rectangle(x, y, width, buttonHeight)),
                panel, dataset);
            buttons.push_back(tesraui::Watched<tesraui::TextImageButton>(button));
            button->setImageByName("0x303030DF");
            button->setHoverImageByName("0xAFAFAF7F");
            button->setPushedImageByName("0xFFFFFF7F");
            button->setFont(font);
            button->setHorzFormatting(fintu::CENTER);
            button->setText(text);
            return button;
        };
        auto nextCell = [&]()
        {
            const kavtypes::Vector2 at(gap + (float)(cell % columns) * (buttonWidth + gap),
                                       rowY + (float)(cell / columns) * (buttonHeight + gap));
            ++cell;
            return at;
        };
        auto endRows = [&]()
        {
            if (cell > 0)
            {
                rowY += (float)((cell + columns - 1) / columns) * (buttonHeight + gap);
            }
            cell = 0;
        };
        panelItems = DebugNames::getItemNames();
        panelVars = DebugNames::getVarNames();
        for (int i = 0; i < panelItems.size(); ++i)
        {
            const kavtypes::Vector2 at = nextCell();
            makeButton(this->itemButtons, itemPrefix + hstring(i),
                       "[item] " + DebugCommon::escapeTags(panelItems[i]), at.x, at.y, buttonWidth)
                ->registerEvent("Click",
                                std::make_shared<tesraui::MemberCallbackEvent>(&DebugUI::onItemButton, this));
        }
        endRows();
        for (int i = 0; i < panelVars.size(); ++i)
        {
            const kavtypes::Vector2 at = nextCell();
            makeButton(this->varButtons, varPrefix + hstring(i),
                       "[var] " + DebugCommon::escapeTags(panelVars[i]), at.x, at.y, buttonWidth)
                ->registerEvent("Click",
                                std::make_shared<tesraui::MemberCallbackEvent>(&DebugUI::onVarButton, this));
        }
        endRows();
        const float half = buttonWidth * 0.75f * 0.5f;
        for (int slot = 1; slot <= slotCount; ++slot)
        {
            const float y = rowY + (float)(slot - 1) * (buttonHeight + gap);
            makeButton(this->slotButtons, slotPrefix + slotNumber(slot), "", gap, y, buttonWidth);
            makeButton(this->saveButtons, savePrefix + slotNumber(slot), "Save", 2.0f * gap + buttonWidth, y,
                       half)
                ->registerEvent("Click",
                                std::make_shared<tesraui::MemberCallbackEvent>(&DebugUI::onSlotSave, this));
            makeButton(this->loadButtons, loadPrefix + slotNumber(slot), "Load",
                       3.0f * gap + buttonWidth + half, y, half)
                ->registerEvent("Click",
                                std::make_shared<tesraui::MemberCallbackEvent>(&DebugUI::onSlotLoad, this));
        }
        this->refreshPanel();
    }

    void DebugUI::refreshPanel()
    {
        // Reading values here must not register names while the list is shown.
        DebugNames::setRegistrationOff(true);
        VariableDictionary& variables = VariableDictionary::getGlobal();
        for (int i = 0; i < panelVars.size() && i < this->varButtons.size(); ++i)
        {
            tesraui::TextImageButton* button = this->varButtons[i].get();
            if (button != nullptr)
            {
                const hstring value =
                    (variables.exists(panelVars[i]) ? variables.get(panelVars[i]).value() : hstring());
                button->setText(DebugCommon::escapeTags(panelVars[i]) + ": [c:FFFF00]" +
                                DebugCommon::escapeTags(value) + "[/c]");
            }
        }
        DebugNames::setRegistrationOff(false);
        this->refreshSlots();
    }

    void DebugUI::onItemButton(tesraui::EventArgs* args)
    {
        const int index = indexOf(args, this->itemButtons);
        if (index < 0 || index >= panelItems.size())
        {
            return;
        }
        const hstring item = panelItems[index];
        try
        {
            if (this->shiftPressed || !Inventory::hasItem(item))
            {
                Inventory::addItem(item);
            }
            else
            {
                Inventory::removeItem(item);
            }
        }
        catch (const quortypes::exception& e)
        {
            quortypes::Log::error("DebugUI", e.getMessage());
            return;
        }
        resetActiveScene();
    }

    void DebugUI::onVarButton(tesraui::EventArgs* args)
    {
        const int index = indexOf(args, this->varButtons);
        if (index < 0 || index >= panelVars.size())
        {
            return;
        }
        VariableDictionary& variables = VariableDictionary::getGlobal();
        if (!variables.exists(panelVars[index]))
        {
            return;
        }
        variables.get(panelVars[index]).increment(this->ctrlPressed && !this->shiftPressed ? -1 : 1);
        this->refreshPanel();
        resetActiveScene();
    }

    void DebugUI::onSlotSave(tesraui::EventArgs* args)
    {
        const int index = indexOf(args, this->saveButtons);
        if (index >= 0)
        {
            this->saveSlot(index + 1);
        }
    }

    void DebugUI::onSlotLoad(tesraui::EventArgs* args)
    {
        const int index = indexOf(args, this->loadButtons);
        if (index >= 0)
        {
            this->loadSlot(index + 1);
        }
    }

    hstring DebugUI::getSlotPath()
    {
        const hstring prefix = quortypes::Resource::getPrefix();
        return (prefix != "" ? prefix : hstring("."));
    }

    hstring DebugUI::findSlotFile(int slot)
    {
        const hstring start = slotFilePrefix(slot);
        harray<hstring> files = quortypes::Dir::files(getSlotPath());
        std::sort(files.begin(), files.end());
        for (const hstring& file : files)
        {
            if (file.startsWith(start) && file.endsWith(".vars") && file.size() > start.size() + 5)
            {
                return file;
            }
        }
        return "";
    }

    bool DebugUI::saveSlot(int slot)
    {
        Scene* scene = Session::getActiveScene();
        if (slot < 0 || slot > 99 || scene == nullptr)
        {
            return false;
        }
        const hstring folder = getSlotPath();
        const hstring start = slotFilePrefix(slot);
        const hstring name = start + scene->getFullName() + ".vars";
        try
        {
            // The new file first: until it is safely written the old slot stays.
            VariableDictionary::getGlobal().saveDiff(folder + "/" + name);
        }
        catch (const quortypes::exception& e)
        {
            quortypes::Log::error("DebugUI", e.getMessage());
            return false;
        }
        for (const hstring& file : quortypes::Dir::files(folder))
        {
            if (file != name && file.startsWith(start) && file.endsWith(".vars"))
            {
                quortypes::File::remove(folder + "/" + file);
            }
        }
        quortypes::Log::write("DebugUI", "Slot " + slotNumber(slot) + " saved!");
        this->refreshSlots();
        return true;
    }

    bool DebugUI::loadSlot(int slot)
    {
        const hstring file = findSlotFile(slot);
        if (file == "")
        {
            return false;
        }
        const hstring path = getSlotPath() + "/" + file;
        hstring bytes;
        try
        {
            // Within what a save writes, as a profile's diff is read.
            bytes = readFileBytes(path, false, quortypes::maxPlayerFileBytes);
        }
        catch (const quortypes::exception& e)
        {
            quortypes::Log::error("DebugUI", e.getMessage());
            return false;
        }
        // A refused file must leave the game as it was, so it is checked before anything is emptied.
        if (!VariableDictionary::diffCrcMatches(bytes))
        {
            quortypes::Log::error("DebugUI", "Slot " + slotNumber(slot) + " not loaded, the file '" + path +
                                                 "' is damaged (CRC mismatch).");
            return false;
        }
        const hstring start = slotFilePrefix(slot);
        const hstring sceneName = file.subString((int)start.size(), (int)file.size() - (int)start.size() - 5);
        try
        {
            Inventory::clear();
            // The slot may come from another profile: the active one keeps its name and folder, or its next
            // save would name another profile's.
            VariableDictionary& variables = VariableDictionary::getGlobal();
            const hstring name = variables["profile_name"].value();
            const hstring dir = variables["profile_dir"].value();
            variables.applyDiff(bytes, path, true, false, true);
            variables["profile_name"].setValue(name, true);
            variables["profile_dir"].setValue(dir, true);
            Session::changeScene(sceneName, 0.0f, "");
        }
        catch (const quortypes::exception& e)
        {
            quortypes::Log::error("DebugUI", e.getMessage());
            return false;
        }
        quortypes::Log::write("DebugUI", "Slot " + slotNumber(slot) + " loaded!");
        return true;
    }

    void DebugUI::refreshSlots()
    {
        for (int slot = 1; slot <= this->slotButtons.size(); ++slot)
        {
            tesraui::TextImageButton* button = this->slotButtons[slot - 1].get();
            if (button == nullptr)
            {
                continue;
            }
            const hstring file = findSlotFile(slot);
            const hstring start = slotFilePrefix(slot);
            button->setText(file != ""
                                ? file.subString((int)start.size(), (int)file.size() - (int)start.size() - 5)
                                : "slot_" + slotNumber(slot) + " empty");
        }
    }
} // namespace vumo
