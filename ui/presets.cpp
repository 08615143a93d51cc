// The three colour presets: applying one, and marking the one whose values are current.
#include "ui/mainwindow.h"

#include "ui/controls.h"

#include <array>

namespace vantrel {
namespace {

constexpr int PresetSpeed = 600; // pixels per second, the same for all three presets

struct Preset {
    std::array<int, 3> background; // red, green, blue
    std::array<int, 3> foreground; // red, green, blue
};

constexpr std::array<Preset, 3> Presets = {{
    {{50, 50, 100}, {255, 255, 0}},
    {{67, 69, 68}, {183, 17, 29}},
    {{0, 150, 0}, {0, 0, 200}},
}};

} // namespace

void TForm1::ApplyPreset(int index) {
    const Preset& preset = Presets[static_cast<std::size_t>(index)];
    UpDown3->setPosition(preset.background[0]);
    UpDown4->setPosition(preset.background[1]);
    UpDown5->setPosition(preset.background[2]);
    UpDown6->setPosition(preset.foreground[0]);
    UpDown7->setPosition(preset.foreground[1]);
    UpDown8->setPosition(preset.foreground[2]);
    UpDown2->setPosition(PresetSpeed);
    // The remembered distance lives only in the caption, as decimal text.
    UpDown1->setPosition(presetDistanceLabel(index)->caption().toInt());
}

void TForm1::SpeedButton3Click(QObject*) {
    ApplyPreset(0);
}

void TForm1::SpeedButton4Click(QObject*) {
    ApplyPreset(1);
}

void TForm1::SpeedButton5Click(QObject*) {
    ApplyPreset(2);
}

TLabel* TForm1::presetDistanceLabel(int index) const {
    TLabel* const labels[3] = {Label11, Label12, Label13};
    return labels[index];
}

void TForm1::TrackPresets() {
    TSpeedButton* const buttons[3] = {SpeedButton3, SpeedButton4, SpeedButton5};
    TLabel* const times[3] = {Label18, Label19, Label20};
    const QColor normal = palette().color(QPalette::WindowText);
    for (int k = 0; k < 3; ++k) {
        const Preset& preset = Presets[static_cast<std::size_t>(k)];
        const bool matches = UpDown2->position() == PresetSpeed &&
                             UpDown3->position() == preset.background[0] &&
                             UpDown4->position() == preset.background[1] &&
                             UpDown5->position() == preset.background[2] &&
                             UpDown6->position() == preset.foreground[0] &&
                             UpDown7->position() == preset.foreground[1] &&
                             UpDown8->position() == preset.foreground[2];
        if (!matches) {
            buttons[k]->setFontColor(normal);
            continue;
        }
        buttons[k]->setFontColor(Qt::red);
        TLabel* distance = presetDistanceLabel(k);
        distance->setCaption(QString::number(UpDown1->position()));
        const int remembered = distance->caption().toInt();
        times[k]->setCaption(TimeCaption(remembered, PresetSpeed));
    }
}

} // namespace vantrel
