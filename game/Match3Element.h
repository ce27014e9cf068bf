#pragma once

#include <functional>

#include <tesraui/ImageBox.h>

// What a cell asks of the board it stands on as it draws, for a cell under parent of a height: the band of
// parent's y the board's rows cover, false when parent holds no rows of a board.
typedef std::function<bool(const tesraui::Object* parent, float cellHeight, float& top, float& bottom)>
    Match3RowBand;

// One cell of the board; its image names its tile type. A cell that falls in from beyond the board's rows
// shows only the part of it that has come onto the board.
class Match3Element : public tesraui::ImageBox
{
public:
    Match3Element(const hstring& name, kavtypes::Rectangle rect, Match3RowBand rowBand);
    hstring getClassName() const override { return "Match3Element"; }
    void _draw() override;

private:
    Match3RowBand rowBand;
};
