// The inventory pane's per-frame update holding 100 distinct items beside a plain container's update of
// the same cells (a scroll area of 100 image buttons): what the pane's own bookkeeping adds to a frame.
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/ImageButton.h>
#include <tesraui/ScrollArea.h>

#include "Compare.h"
#include "Config.h"
#include "BenchGame.h"
#include "Session.h"
#include "Variables.h"
#include "objects/InventoryPane.h"
#include "ui/UI.h"

using namespace vumo;

namespace
{
    const int itemCount = 100;

    void startGame()
    {
        benchgame::start("pane",
                         [](const std::filesystem::path& folder)
                         {
                             benchgame::put(folder, "cfg/vumo.cfg",
                                            "title: PaneBench\ntarget: pc\nwidth: 640\nheight: 480\n"
                                            "audio_mute: 1\n");
                             std::filesystem::create_directories(folder / "data/lib");
                             std::filesystem::create_directories(folder / "data/ui");
                             std::filesystem::copy_file(std::filesystem::path(VUMO_DEMO_DIR) /
                                                            "data/gfx/crate.png",
                                                        folder / "data/ui/items.png");
                             std::string images;
                             for (int i = 0; i < itemCount; ++i)
                             {
                                 images += "<Image name='i" + std::to_string(i) + "' rect='0,0,8,8'/>";
                             }
                             benchgame::put(folder, "data/ui/ui.dts",
                                            "<Dataset><Texture filename='items'>" + images +
                                                "</Texture><Object type='InventoryPane' name='pane' "
                                                "rect='0,0,500,100'/></Dataset>");
                         });
        static bool itemsSet = false;
        if (itemsSet)
        {
            return;
        }
        itemsSet = true;
        hstring items;
        for (int i = 0; i < itemCount; ++i)
        {
            items += (i > 0 ? ",i" : "i") + hstring(i);
        }
        VariableDictionary::getGlobal().get("items").set(items);
    }

    // The same cells in a plain container, outside the drawn tree; with withInfo each cell also has the
    // hidden "_info" child that the pane gives its cells.
    tesraui::Container* plainRow(bool withInfo)
    {
        const hstring prefix = (withInfo ? "info" : "plain");
        tesraui::Dataset* dataset = UI::getUIDataset();
        tesraui::Container* row = new tesraui::Container(prefix, kavtypes::Rectangle(0, 0, 500, 100));
        dataset->registerObjects(row);
        tesraui::ScrollArea* area =
            new tesraui::ScrollArea(prefix + "/area", kavtypes::Rectangle(0, 0, 500, 100));
        dataset->registerObjects(area);
        row->addChild(area);
        area->setAllowDrag(true);
        for (int i = 0; i < itemCount; ++i)
        {
            tesraui::ImageButton* cell = new tesraui::ImageButton(
                prefix + "/item" + hstring(i), kavtypes::Rectangle(i * 100.0f, 0, 100, 100));
            dataset->registerObjects(cell);
            area->addChild(cell);
            cell->setImageByName("items/i" + hstring(i));
            if (withInfo)
            {
                tesraui::Object* info =
                    new tesraui::Object(cell->getName() + "_info", kavtypes::Rectangle(0, 0, 100, 100));
                dataset->registerObjects(info);
                cell->addChild(info);
                info->setVisible(false);
            }
        }
        area->setWidth(itemCount * 100.0f);
        return row;
    }

    void PaneUpdateBesidePlainContainer(benchmark::State& state)
    {
        startGame();
        InventoryPane* pane = InventoryPane::getActive();
        static tesraui::Container* row = plainRow(false);
        benchcompare::Side ours{[pane] { pane->update(0.016f); }};
        benchcompare::Side reference{[] { row->update(0.016f); }};
        benchcompare::compare(state, ours, reference);
        int cells = 0;
        for (tesraui::Object* child : pane->getScrollArea()->getChildren())
        {
            cells += (child->getName().startsWith("pane/item") ? 1 : 0);
        }
        state.counters["cells"] = cells;
    }
    BENCHMARK(PaneUpdateBesidePlainContainer)->Iterations(1)->Unit(benchmark::kMicrosecond);

    // The same against cells that carry the same hidden child: what the pane's own work per frame costs.
    void PaneUpdateBesideTheSameTree(benchmark::State& state)
    {
        startGame();
        InventoryPane* pane = InventoryPane::getActive();
        static tesraui::Container* row = plainRow(true);
        benchcompare::Side ours{[pane] { pane->update(0.016f); }};
        benchcompare::Side reference{[] { row->update(0.016f); }};
        benchcompare::compare(state, ours, reference);
    }
    BENCHMARK(PaneUpdateBesideTheSameTree)->Iterations(1)->Unit(benchmark::kMicrosecond);
} // namespace
