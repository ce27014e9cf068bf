#include "ErrorOverlay.h"

#include <algorithm>

#include <quortypes/Log.h>
#include <tesra/SystemInfo.h>
#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/Event.h>
#include <tesraui/ImageBox.h>
#include <tesraui/Label.h>
#include <tesraui/ScrollArea.h>
#include <tesraui/ScrollBarV.h>
#include <tesraui/TextImageButton.h>
#include <fintu/Renderer.h>

#include "EngineObjects.h"
#include "ScriptTexts.h"
#include "lua/LuaInterface.h"
#include "lua/ScriptErrorLog.h"
#include "ui/DebugCommon.h"
#include "ui/UI.h"

namespace vumo
{
    namespace ErrorOverlay
    {
        const char* const backgroundName = "vumo_ui_error_bg";

        namespace
        {
            const char* const warningMark = "WARNING: ";
            const char* const traceMark = "\nstack traceback:\n";
            const char* const contextMark = "Context: ";
            const char* const rule = "[c:00FF00]-----------------[/c]";
        } // namespace

        bool isWarning(const hstring& message)
        {
            return message.contains(warningMark);
        }

        hstring formatMessage(const hstring& original)
        {
            // The label reads square brackets as formatting tags; engine messages start with "[file:line]".
            const hstring message = DebugCommon::bracketsToAngles(original);
            hstring text = message;
            const int trace = message.find(traceMark);
            if (trace >= 0)
            {
                const hstring error = message.subString(0, trace);
                hstring stack = message.subString(trace + (int)hstring(traceMark).size());
                hstring context;
                const int at = stack.find(contextMark);
                if (at >= 0)
                {
                    context = stack.subString(at + (int)hstring(contextMark).size());
                    stack = stack.subString(0, at);
                }
                text = "[x:1.3]" + error + "[/x]\n\n[c:00FF00]STACK TRACE[/c]\n" + stack + rule +
                       "\nContext: " + context;
            }
            text = text.replaced("Context:", "[c:FFFF00]Context:[/c]")
                       .replaced("C++ file:", "[c:FFFF00]C++ file:[/c]");
            if (isWarning(message))
            {
                text = text.replaced(warningMark, "");
                text += "\n" + hstring(rule) +
                        "\n[c:00FFFF]This is a 'Warning Error'. It's not a critical issue so it won't show "
                        "up in a "
                        "Release build, however you should treat it as seriously as any other error.[/c]";
            }
            return text;
        }
    } // namespace ErrorOverlay

    bool UI::isErrorOverlayShown() const
    {
        return this->errorOverlay.get() != nullptr;
    }

    void UI::showErrorOverlay(const hstring& message)
    {
        const bool warning = ErrorOverlay::isWarning(message);
        ScriptErrorLog::write("scripting", warning ? message : "Scripting Error: " + message, false);
        if (this->dataset == nullptr || this->rootObject == nullptr || fintu::renderer == nullptr ||
            this->isErrorOverlayShown())
        {
            return;
        }
        DebugCommon::createFont();
        const float w = this->rootObject->getWidth();
        const float h = this->rootObject->getHeight();
        fintu::Font* font = fintu::renderer->getFont(DebugCommon::fontName);
        const float dpi = tesra::getSystemInfo().displayDpi;
        const float scaleY = this->rootObject->getScaleY();
        const float textScale = (font != nullptr && font->getHeight() > 0.0f && scaleY > 0.0f && dpi > 0.0f
                                     ? 0.2f / (scaleY * font->getHeight() / dpi)
                                     : 1.0f);
        const hstring textFont = hstring(DebugCommon::fontName) + ":" + hstring(textScale);
        const float buttonWidth =
            std::min(1.5f * fintu::renderer->getTextWidth(textFont, "Quit Game"), 0.45f * w);
        const float buttonHeight =
            std::min(1.5f * fintu::renderer->getTextHeight(textFont, "Quit Game", 1000000.0f), 0.17f * h);

        tesraui::Dataset* dataset = this->dataset.get();
        tesraui::ImageBox* background =
            new tesraui::ImageBox(EngineObjects::freeName(dataset, ErrorOverlay::backgroundName),
                                  kavtypes::Rectangle(0.0f, 0.0f, w, h));
        background->setOutsideHolder("the error overlay");
        EngineObjects::attach(background, this->rootObject, dataset);
        this->errorOverlay = tesraui::Watched<tesraui::Object>(background);
        background->setImageByName("0x000000AF");
        background->setZOrder(5000);
        background->setAnchors(true, true, true, true);

        // The parts go only with the background.
        const hstring prefix = background->getName() + "/";
        const auto part = [dataset, &prefix](const char* name)
        { return EngineObjects::freeName(dataset, prefix + name); };
        tesraui::Label* title = EngineObjects::attachPart(
            new tesraui::Label(part("title"), kavtypes::Rectangle(0.0f, 0.0f, w, 0.17f * h)), background,
            dataset);
        title->setFont(hstring(DebugCommon::fontName) + ":" + hstring(1.5f * textScale));
        title->setHorzFormatting(fintu::CENTER_WRAPPED);
        title->setTextColor(tesra::Color(warning ? "0x00FFFF" : "0xFFFF00"));
        title->setText(warning ? "Warning!" : "Scripting Error!");

        const hstring text = ErrorOverlay::formatMessage(ScriptErrorLog::shortened(message));
        const kavtypes::Rectangle labelRect(0.05f * w, 0.175f * h, 0.9f * w, 0.82f * h - 1.5f * buttonHeight);
        tesraui::Label* label = new tesraui::Label(part("label"), labelRect);
        label->setFont(textFont);
        label->setHorzFormatting(fintu::LEFT_WRAPPED);
        const float textHeight = fintu::renderer->getTextHeight(textFont, text, labelRect.w);
        if (textHeight > labelRect.h)
        {
            tesraui::Container* container = EngineObjects::attachPart(
                new tesraui::Container(part("container"), labelRect), background, dataset);
            tesraui::ScrollArea* area = EngineObjects::attachPart(
                new tesraui::ScrollArea(part("scrollarea"),
                                        kavtypes::Rectangle(0.0f, 0.0f, labelRect.w, textHeight)),
                container, dataset);
            area->setAllowDrag(true);
            label->setRect(kavtypes::Rectangle(0.0f, 0.0f, labelRect.w, textHeight));
            EngineObjects::attachPart(label, area, dataset);
            tesraui::ScrollBarV* bar = EngineObjects::attachPart(
                new tesraui::ScrollBarV(part("scrollbar"),
                                        kavtypes::Rectangle(labelRect.w, 0.0f, 0.01f * w, labelRect.h)),
                container, dataset);
            bar->setProperty("color", "FFFFFF");
        }
        else
        {
            EngineObjects::attachPart(label, background, dataset);
        }
        label->setText(text);

        tesraui::TextImageButton* quit = EngineObjects::attachPart(
            new tesraui::TextImageButton(part("quit"),
                                         kavtypes::Rectangle(0.48f * w - buttonWidth, h - 1.5f * buttonHeight,
                                                             buttonWidth, buttonHeight)),
            background, dataset);
        tesraui::TextImageButton* goOn = EngineObjects::attachPart(
            new tesraui::TextImageButton(
                part("continue"),
                kavtypes::Rectangle(0.52f * w, h - 1.5f * buttonHeight, buttonWidth, buttonHeight)),
            background, dataset);
        quit->setText("Quit Game");
        goOn->setText("Continue");
        for (tesraui::TextImageButton* button : {quit, goOn})
        {
            button->setFont(textFont);
            button->setBackgroundColor(tesra::Color("0000007F"));
        }
        quit->registerEvent("Click", std::make_shared<tesraui::MemberCallbackEvent>(&UI::onErrorQuit, this));
        goOn->registerEvent("Click",
                            std::make_shared<tesraui::MemberCallbackEvent>(&UI::onErrorContinue, this));
    }

    void UI::onErrorQuit(tesraui::EventArgs*)
    {
        try
        {
            LuaInterface::execute(HookTexts::endProgram());
        }
        catch (const quortypes::exception& e)
        {
            quortypes::Log::error("scripting", e.getMessage());
        }
    }

    void UI::onErrorContinue(tesraui::EventArgs*)
    {
        if (tesraui::Object* background = this->errorOverlay.get())
        {
            this->errorOverlay = tesraui::Watched<tesraui::Object>();
            background->getDataset()->destroyObject(background);
        }
    }
} // namespace vumo
