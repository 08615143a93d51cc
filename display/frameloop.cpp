// One frame per timer tick: move the test images by a constant step, compose them in the
// back buffer and present it at the vertical blank.
#include "ui/mainwindow.h"

#include "display/drawarea.h"
#include "display/frametimer.h"
#include "display/frametrace.h"
#include "display/motion.h"
#include "display/picturelist.h"
#include "ui/controls.h"

namespace vantrel {
namespace {

constexpr int BlockTop = 40;         // pixels: both blocks in scale mode
constexpr int ScalaTop = 10;         // pixels
constexpr int SecondScalaTop = 134;  // pixels
constexpr int MusterTop = 164;       // pixels
constexpr int KontrastbildTop = 300; // pixels

int drawn(double position) {
    return static_cast<int>(roundHalfEven(position));
}

} // namespace

void TForm1::DXTimer1Timer(QObject*, int) {
    if (!DXDraw1->CanDraw())
        return;
    TrackPresets();
    if (LastFrameRate < MinFrameRate)
        LastFrameRate = MinFrameRate;

    BackBuffer& surface = DXDraw1->Surface();
    const int speed = UpDown2->position();
    const std::uint32_t foreground =
        pixelValue(UpDown6->position(), UpDown7->position(), UpDown8->position());
    DXDraw1->Fill(pixelValue(UpDown3->position(), UpDown4->position(), UpDown5->position()));

    if (CheckBox3->isChecked()) {
        const int distance = UpDown1->position();
        advanceScale(BlockX, speed, distance, LastFrameRate);
        DXImageList1->draw(surface, Scala, 0, ScalaTop);
        const int x = drawn(BlockX);
        DrawBlock(x - BlockWidth - distance, BlockTop, BlockWidth, BlockHeight, White);
        DrawBlock(x, BlockTop, BlockWidth, BlockHeight, foreground);
        if (CheckBox1->isChecked()) {
            DXImageList1->draw(surface, Scala, 0, SecondScalaTop);
            DXImageList1->draw(surface, Muster, x, MusterTop);
        }
        if (CheckBox2->isChecked())
            DXImageList1->draw(surface, Kontrastbild, 0, KontrastbildTop);
        Label15->setCaption(TimeCaption(distance, speed));
    } else {
        const int floorY = TDXDraw::SurfaceHeight - DXImageList1->height(Laufschrift);
        advanceFree(BlockX, BlockY, DirX, DirY, speed, LastFrameRate, TDXDraw::SurfaceWidth,
                    floorY);
        DrawBlock(drawn(BlockX), drawn(BlockY), BlockWidth, BlockHeight, foreground);
        advanceTicker(TickerX, speed, LastFrameRate, DXImageList1->width(Laufschrift),
                      TDXDraw::SurfaceWidth);
        DXImageList1->draw(surface, Laufschrift, drawn(TickerX), floorY);
    }

    DXDraw1->Flip();
    frametrace::presented();
    LastFrameRate = DXTimer1->FrameRate();
    frametrace::rateMeasured(LastFrameRate);
    Label7->setCaption(QString::number(LastFrameRate));
}

void TForm1::DrawBlock(int X, int Y, int W, int H, std::uint32_t Color) {
    DXDraw1->FillRect(X, Y, X + W, Y + H, Color);
}

void TForm1::DXDraw1Initializing(QObject*) {
    DXTimer1->setEnabled(true);
}

void TForm1::DXDraw1Finalize(QObject*) {
    DXTimer1->setEnabled(false);
}

} // namespace vantrel
