// Switching between scale mode and free mode.
#include "ui/mainwindow.h"

#include "ui/controls.h"

namespace vantrel {

void TForm1::CheckBox3Click(QObject*) {
    DirX = 1;
    DirY = 1;
    BlockX = 10.0;
    BlockY = 1.0;
    // Inverted rather than set from the box: they start enabled with the box checked, and
    // every change of the box runs this once, so they stay enabled exactly in scale mode.
    QWidget* const scaleOnly[] = {Edit1,   UpDown1, CheckBox1, CheckBox2, Label1,
                                  Label11, Label12, Label13,   Label14,   Label15,
                                  Label16, Label17, Label18,   Label19,   Label20};
    for (QWidget* control : scaleOnly)
        control->setEnabled(!control->isEnabled());
}

} // namespace vantrel
