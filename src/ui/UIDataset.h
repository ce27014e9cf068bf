#pragma once

#include <tesraui/Dataset.h>

// The UI's dataset until chapters exist: knows colour images by name and takes the UI's root object.
class UIDataset : public tesraui::Dataset
{
public:
    explicit UIDataset(const hstring& fileName) : tesraui::Dataset(fileName, "ui") {}
    tesraui::Image* getImage(const hstring& name) override;
    void setRoot(tesraui::Object* object) { this->root = object; }
};
