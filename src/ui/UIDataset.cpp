#include "UIDataset.h"

#include "objects/ColorImage.h"

tesraui::Image* UIDataset::getImage(const hstring& name)
{
    vumo::ColorImage::registerIfColorName(this, name);
    return tesraui::Dataset::getImage(name);
}
