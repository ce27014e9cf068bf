#include <algorithm>
#include <cstdio>

#include <lua.hpp>

#include <fintu/Renderer.h>
#include <quortypes/AtomicFile.h>
#include <quortypes/File.h>
#include <quortypes/FileBytes.h>
#include <quortypes/Log.h>
#include <quortypes/exception.h>
#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/EditBox.h>
#include <tesraui/Event.h>
#include <tesraui/EventArgs.h>
#include <tesraui/ImageBox.h>
#include <tesraui/ScrollArea.h>
#include <tesraui/ScrollBarV.h>
#include <tesraui/TextImageButton.h>

#include "EngineObjects.h"
#include "Scene.h"
#include "Session.h"
#include "lua/LuaInterface.h"
#include "objects/ObjectDestructor.h"
#include "ui/DebugConsoleLog.h"
#include "GameUiHost.h"
#include "ui/DebugCommon.h"
#include "ui/DebugUI.h"

namespace vumo
{
    namespace
    {
        hstring historyPath()
        {
            return Session::getUserFolder() + DebugUI::historyFileName;
        }

        void trimFront(harray<hstring>& lines, int most)
        {
            if (lines.size() > most)
            {
                lines.erase(lines.begin(), lines.begin() + (lines.size() - most));
            }
        }
    } // namespace

    tesraui::Object* DebugUI::getConsoleObject() const
    {
        return this->console.get();
    }

    bool DebugUI::isConsoleOpen() const
    {
        return this->getConsoleObject() != nullptr;
    }

    void DebugUI::createConsole()
    {
        tesraui::Object* root = this->ui.getRootObject();
        tesraui::Dataset* dataset = this->ui.getDataset();
        if (root == nullptr || dataset == nullptr || this->isConsoleOpen())
        {
            return;
        }
        DebugCommon::createFont();
        // The history: one command a line, the last ones kept; a longer file is cut down to them.
        this->history.clear();
        this->historyUnreadable = false;
        const hstring path = historyPath();
        if (quortypes::File::exists(path))
        {
            try
            {
                harray<hstring> lines =
                    readFileBytes(path, false, quortypes::maxPlayerFileBytes).replaced("\r", "").split('\n');
                if (lines.size() > 0 && lines.back() == "")
                {
                    lines.pop_back();
                }
                const int count = lines.size();
                lines.erase(std::remove_if(lines.begin(), lines.end(),
                                           [](const hstring& line) { return line.size() > maxHistoryLine; }),
                            lines.end());
                const bool cut = (lines.size() != count || lines.size() > maxHistory);
                if (lines.size() > maxHistory)
                {
                    lines = lines.sub(lines.size() - maxHistory, maxHistory);
                }
                if (cut)
                {
                    quortypes::saveFileAtomically(path,
                                                  lines.size() > 0 ? lines.joined("\n") + "\n" : hstring());
                }
                this->history = lines;
            }
            catch (const quortypes::_file_not_readable& e)
            {
                // Not damaged: left as it is, and not added to.
                this->historyUnreadable = true;
                quortypes::Log::error("DebugUI", e.getMessage());
            }
            catch (const quortypes::exception& e)
            {
                // Larger than any history: kept aside unread, and the history starts afresh.
                quortypes::Log::error("DebugUI", e.getMessage());
                const hstring aside = path + ".damaged";
                if (std::rename(path.c_str(), aside.c_str()) == 0)
                {
                    quortypes::Log::warn("DebugUI",
                                         "'" + path + "' was damaged, kept aside as '" + aside + "'");
                }
                else
                {
                    this->historyUnreadable = true;
                }
            }
        }
        this->historyPosition = this->history.size();

        const float w = root->getWidth();
        const float h = root->getHeight();
        const float line = this->lineHeight;
        const float gap = this->margin;
        const hstring font =
            hstring(DebugCommon::fontName) + ":" + hstring(DebugCommon::textScale(this->lineHeight));
        tesraui::ImageBox* console = new tesraui::ImageBox(EngineObjects::freeName(dataset, consoleName),
                                                           kavtypes::Rectangle(0.0f, 0.0f, w, h));
        console->setOutsideHolder("the debug console");
        EngineObjects::attach(console, root, dataset);
        this->console = tesraui::Watched<tesraui::Object>(console);
        console->setImageByName("0x0000007F");
        console->setZOrder(10000);
        console->setAnchors(true, true, true, true);
        // The parts go only with the console.
        const hstring prefix = console->getName();
        const auto part = [dataset, &prefix](const char* name)
        { return EngineObjects::freeName(dataset, prefix + name); };
        const kavtypes::Rectangle logRect(gap, gap, w - 2.0f * gap, h - line - 3.0f * gap);
        tesraui::Container* container = EngineObjects::attachPart(
            new tesraui::Container(part("/log_container"), logRect), console, dataset);
        container->setAnchors(true, true, true, true);
        container->setClip(true);
        tesraui::ScrollArea* area = EngineObjects::attachPart(
            new tesraui::ScrollArea(part("/log_scrollarea"),
                                    kavtypes::Rectangle(0.0f, 0.0f, logRect.w, logRect.h)),
            container, dataset);
        area->setAllowDrag(true);
        DebugConsoleLog* log = EngineObjects::attachPart(
            new DebugConsoleLog(part("/log"), kavtypes::Rectangle(0.0f, 0.0f, logRect.w, logRect.h)), area,
            dataset);
        this->consoleLog = tesraui::Watched<DebugConsoleLog>(log);
        log->setFont(font);
        tesraui::ScrollBarV* bar = EngineObjects::attachPart(
            new tesraui::ScrollBarV(part("/log_scrollbar"),
                                    kavtypes::Rectangle(logRect.w - 5.0f, 0.0f, 5.0f, logRect.h)),
            container, dataset);
        bar->setProperty("color", "FFFFFF");
        const float buttonWidth = std::min(this->panelWidth * 0.4f, w * 0.25f);
        tesraui::EditBox* input = EngineObjects::attachPart(
            new tesraui::EditBox(
                part("/input"), kavtypes::Rectangle(gap, h - line - gap, w - 3.0f * gap - buttonWidth, line)),
            console, dataset);
        this->consoleInput = tesraui::Watched<tesraui::EditBox>(input);
        input->setFont(font);
        input->setAnchors(true, true, false, true);
        input->setBackgroundColor(tesra::Color("0000007F"));
        tesraui::TextImageButton* execute = EngineObjects::attachPart(
            new tesraui::TextImageButton(
                part("/execute"),
                kavtypes::Rectangle(w - gap - buttonWidth, h - line - gap, buttonWidth, line)),
            console, dataset);
        execute->setText("Execute");
        execute->setFont(font);
        execute->setBackgroundColor(tesra::Color("0000007F"));
        execute->setAnchors(false, true, false, true);
        input->registerEvent("Submit",
                             std::make_shared<tesraui::MemberCallbackEvent>(&DebugUI::onConsoleSubmit, this));
        execute->registerEvent(
            "Click", std::make_shared<tesraui::MemberCallbackEvent>(&DebugUI::onConsoleSubmit, this));
        dataset->focus(input);
        this->appendLog();
    }

    void DebugUI::closeConsole()
    {
        tesraui::Object* console = this->getConsoleObject();
        tesraui::Dataset* dataset = this->ui.getDataset();
        if (console == nullptr || dataset == nullptr)
        {
            return;
        }
        // A closing console is let go already: its destructor is on its way.
        if (console->getOutsideHolder() == nullptr || console->hasDynamicAnimators())
        {
            return;
        }
        if (dataset->getFocusedObject() != nullptr && dataset->getFocusedObject() == this->consoleInput.get())
        {
            dataset->removeFocus();
        }
        console->fadeAlpha(0, 3.0f);
        console->resizeY(0.0f, 3.0f);
        console->setOutsideHolder(nullptr);
        ObjectDestructor* destructor = new ObjectDestructor(
            EngineObjects::freeName(dataset, console->getName() + "/destructor"), kavtypes::Rectangle());
        destructor->setProperty("delay", "0.4");
        EngineObjects::attach(destructor, console, dataset);
    }

    void DebugUI::appendLog()
    {
        this->consoleLines.insert(this->consoleLines.end(), this->pendingLines.begin(),
                                  this->pendingLines.end());
        trimFront(this->consoleLines, maxLines);
        DebugConsoleLog* log = this->consoleLog.get();
        if (log == nullptr)
        {
            this->pendingLines.clear();
            return;
        }
        // A new view takes every kept line; after that only the new ones, so each line is laid out once.
        const harray<hstring>& added = (log->getLineCount() == 0 ? this->consoleLines : this->pendingLines);
        for (const hstring& line : added)
        {
            log->appendLine(line);
        }
        log->dropFront(log->getLineCount() - maxLines);
        this->pendingLines.clear();
        tesraui::Object* area = log->getParent();
        tesraui::Object* container = (area != nullptr ? area->getParent() : nullptr);
        if (area == nullptr || container == nullptr)
        {
            return;
        }
        const float height = std::max(log->getContentHeight(), container->getHeight());
        area->setHeight(height);
        log->setHeight(height);
        // Scrolled to the end.
        area->setY(container->getHeight() - height);
    }

    void DebugUI::onConsoleSubmit(tesraui::EventArgs*)
    {
        tesraui::EditBox* input = this->consoleInput.get();
        if (input == nullptr)
        {
            return;
        }
        const hstring line = input->getText().trimmed();
        if (line == "")
        {
            return;
        }
        this->pendingLines.push_back("[c:CCFF00][b]>>> " + DebugCommon::bracketsToAngles(line) + "[/b][/c]");
        if (line.size() <= maxHistoryLine && (this->history.size() == 0 || this->history.back() != line))
        {
            this->history.push_back(line);
            // The history is a convenience; the command runs regardless, also when what lies in the
            // history's place is no file (a named pipe would otherwise hold the frame). The file holds the
            // history's lines: one more is appended, and past the most it keeps it is written anew.
            if (this->history.size() > maxHistory)
            {
                trimFront(this->history, maxHistory);
                if (!this->historyUnreadable)
                {
                    try
                    {
                        quortypes::saveFileAtomically(historyPath(), this->history.joined("\n") + "\n",
                                                      quortypes::maxPlayerFileBytes);
                    }
                    catch (const quortypes::exception& e)
                    {
                        quortypes::Log::error("DebugUI", e.getMessage());
                    }
                }
            }
            else if (!this->historyUnreadable)
            {
                if (FILE* out = quortypes::openRegularFile(historyPath(), "ab"))
                {
                    const hstring entry = line + "\n";
                    std::fwrite(entry.data(), 1, entry.size(), out);
                    std::fclose(out);
                }
            }
        }
        this->historyPosition = this->history.size();
        this->pendingCommand = line;
        input->setText("");
    }

    void DebugUI::executeConsoleLine()
    {
        if (this->pendingCommand == "" || LuaInterface::state == nullptr)
        {
            return;
        }
        const hstring command = this->pendingCommand;
        this->pendingCommand = "";
        Scene* scene = Session::getActiveScene();
        const hstring environment = (scene != nullptr ? scene->getFullName() : hstring());
        // A line that is an expression (a function call too) runs as one, so that its values print; any
        // other line runs as a statement. The choice is made by compiling only, so nothing runs twice.
        lua_State* L = LuaInterface::state;
        const hstring expression = "return " + command;
        const bool isExpression = (luaL_loadbuffer(L, expression.c_str(), expression.size(), "console") == 0);
        lua_pop(L, 1);
        const hstring code = (isExpression ? expression : command);
        harray<hstring> results;
        try
        {
            LuaInterface::executeWithReturnValues(code, environment, results, "console");
            for (const hstring& result : results)
            {
                this->pendingLines.push_back("[c:FFFF00]" + DebugCommon::escapeTags(result) + "[/c]");
            }
        }
        catch (const quortypes::exception& e)
        {
            // Also in the log, where the developer looks for errors after the console has closed.
            quortypes::Log::error(consoleLogTag,
                                  "'" + quortypes::Log::quote(command) + "': " + e.getMessage());
            this->pendingLines.push_back("[c:FF3F00][b]" + DebugCommon::bracketsToAngles(e.getMessage()) +
                                         "[/b][/c]");
        }
        trimFront(this->pendingLines, maxLines);
    }

    void DebugUI::browseHistory(int step)
    {
        tesraui::EditBox* input = this->consoleInput.get();
        if (input == nullptr || this->history.size() == 0)
        {
            return;
        }
        this->historyPosition =
            std::min(std::max(this->historyPosition + step, 0), (int)this->history.size());
        input->setText(this->historyPosition < this->history.size() ? this->history[this->historyPosition]
                                                                    : hstring());
    }
} // namespace vumo
