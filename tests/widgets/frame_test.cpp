// Whole frames as they land in the back buffer, the motion from frame to frame, the step taken
// from the measured frame rate, and the frames the drawing area is not ready for.
// Expected frames are composed here pixel by pixel from the stored pictures, independently of
// the blits the program uses; a few pixels are also pinned by hand so that a wrong picture
// cannot agree with itself.
#include "formfixture.h"

#include "assets/pictures.h"
#include "display/picturelist.h"
#include "ui/controls.h"

#include <QGuiApplication>

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

using namespace vantrel;

namespace {

constexpr int AreaWidth = 640;                  // pixels
constexpr int AreaHeight = 480;                 // pixels
constexpr int FloorY = 430;                     // pixels: top of the marquee strip
constexpr std::uint32_t BlackPixel = 0x000000;  // 0x00RRGGBB
constexpr std::uint32_t WhitePixel = 0xFFFFFF;  // 0x00RRGGBB
constexpr std::uint32_t RimPixel = 0x010101;    // 0x00RRGGBB
constexpr std::uint32_t SilverPixel = 0xC0C0C0; // 0x00RRGGBB
constexpr std::uint32_t RedPixel = 0xFF0000;    // 0x00RRGGBB

using Rgb = std::array<int, 3>;

// N(v) in the default rounding mode: nearest, halves to the even neighbour.
int nearest(double v) {
    return static_cast<int>(std::nearbyint(v));
}

bool transparentPicture(int index) {
    return index == Laufschrift || index == Scala;
}

QString hex(std::uint32_t pixel) {
    return QStringLiteral("0x%1").arg(pixel, 6, 16, QLatin1Char('0'));
}

// The frame a correct drawing area holds, built one pixel at a time.
class ExpectedFrame {
  public:
    explicit ExpectedFrame(std::uint32_t background)
        : pixels_(static_cast<std::size_t>(AreaWidth) * AreaHeight, background) {}

    void block(int left, int top, int width, int height, std::uint32_t colour) {
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x)
                set(x, y, colour);
    }

    void picture(const TDXImageList& list, int index, int left, int top) {
        const Image& image = list.image(index);
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                const std::uint32_t pixel = image.at(x, y) & 0xFFFFFFu;
                if (!(transparentPicture(index) && pixel == BlackPixel))
                    set(left + x, top + y, pixel);
            }
        }
    }

    // Empty when the buffer holds this frame, else where the first difference lies.
    QString differenceTo(const BackBuffer& buffer) const {
        if (buffer.width() != AreaWidth || buffer.height() != AreaHeight)
            return QStringLiteral("back buffer is %1 x %2")
                .arg(buffer.width())
                .arg(buffer.height());
        for (int y = 0; y < AreaHeight; ++y) {
            for (int x = 0; x < AreaWidth; ++x) {
                const std::uint32_t want = pixels_[static_cast<std::size_t>(y) * AreaWidth + x];
                if (buffer.at(x, y) != want)
                    return QStringLiteral("first difference at (%1, %2): %3 in the back buffer, "
                                          "%4 expected")
                        .arg(x)
                        .arg(y)
                        .arg(hex(buffer.at(x, y)), hex(want));
            }
        }
        return {};
    }

  private:
    void set(int x, int y, std::uint32_t colour) {
        if (x >= 0 && x < AreaWidth && y >= 0 && y < AreaHeight)
            pixels_[static_cast<std::size_t>(y) * AreaWidth + x] = colour;
    }

    std::vector<std::uint32_t> pixels_;
};

struct Pin {
    int x = 0;
    int y = 0;
    std::uint32_t pixel = 0; // 0x00RRGGBB
    const char* what = "";
};

} // namespace

class FrameTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TForm1> form;
    std::uint32_t now = 0; // milliseconds on the frame timer's clock

    void setColours(Rgb background, Rgb foreground) {
        TUpDown* const spins[6] = {form->UpDown3, form->UpDown4, form->UpDown5,
                                   form->UpDown6, form->UpDown7, form->UpDown8};
        for (int i = 0; i < 3; ++i) {
            spins[i]->setPosition(background[static_cast<std::size_t>(i)]);
            spins[i + 3]->setPosition(foreground[static_cast<std::size_t>(i)]);
        }
    }

    ExpectedFrame scaleFrame(int x, int distance, std::uint32_t background,
                             std::uint32_t foreground, bool muster, bool kontrast) const {
        ExpectedFrame frame(background);
        frame.picture(*form->DXImageList1, Scala, 0, 10);
        frame.block(x - 100 - distance, 40, 100, 80, WhitePixel);
        frame.block(x, 40, 100, 80, foreground);
        if (muster) {
            frame.picture(*form->DXImageList1, Scala, 0, 134);
            frame.picture(*form->DXImageList1, Muster, x, 164);
        }
        if (kontrast)
            frame.picture(*form->DXImageList1, Kontrastbild, 0, 300);
        return frame;
    }

    // Free mode as drawn from the motion state the form holds now.
    ExpectedFrame freeFrame(std::uint32_t background, std::uint32_t foreground) const {
        ExpectedFrame frame(background);
        frame.block(nearest(form->blockX()), nearest(form->blockY()), 100, 80, foreground);
        frame.picture(*form->DXImageList1, Laufschrift, nearest(form->tickerX()), FloorY);
        return frame;
    }

    QString differenceTo(const ExpectedFrame& expected) const {
        return expected.differenceTo(form->DXDraw1->Surface());
    }

    std::uint32_t pixel(int x, int y) const { return form->DXDraw1->Surface().at(x, y); }

    void checkPins(std::initializer_list<Pin> pins) const {
        for (const Pin& pin : pins) {
            QVERIFY2(pixel(pin.x, pin.y) == pin.pixel,
                     qPrintable(QStringLiteral("%1 at (%2, %3): %4, expected %5")
                                    .arg(QString::fromUtf8(pin.what))
                                    .arg(pin.x)
                                    .arg(pin.y)
                                    .arg(hex(pixel(pin.x, pin.y)), hex(pin.pixel))));
        }
    }

    void switchToFreeMode() {
        QTest::mouseClick(form->CheckBox3, Qt::LeftButton);
        QVERIFY(!form->CheckBox3->isChecked());
        QCOMPARE(form->blockX(), 10.0); // the mode switch has reset the block
        QCOMPARE(form->blockY(), 1.0);
    }

  private slots:
    void init() {
        now = 0;
        form = testing::makeForm([this] { return now; });
        QVERIFY(form);
    }
    void cleanup() {
        form.reset();
        Form1 = nullptr;
    }

    void firstFrameAtDefaults() {
        testing::runFrames(*form);
        QCOMPARE(form->blockX(), 20.0); // 600 px/s divided by 60 until a rate is measured
        QCOMPARE(form->Label15->caption(), QStringLiteral("(125 ms)"));
        QCOMPARE(form->Label7->caption(), QStringLiteral("0"));
        QCOMPARE(form->lastFrameRate(), 0);
        QCOMPARE(testing::MemoryPresenter::framePresents, 1);
        QCOMPARE(testing::MemoryPresenter::presents, 1);
        checkPins({
            {0, 0, BlackPixel, "background above the ruler"},
            {25, 28, WhitePixel, "ruler baseline (row 10 + 18)"},
            {19, 28, BlackPixel, "left of the baseline"},
            {621, 28, BlackPixel, "right of the baseline"},
            {30, 32, WhitePixel, "minor tick at column 30, last row"},
            {30, 33, BlackPixel, "below the minor tick"},
            {31, 30, BlackPixel, "between ticks"},
            {120, 26, WhitePixel, "major tick at column 120, first row"},
            {120, 38, WhitePixel, "major tick at column 120, last row"},
            {120, 39, BlackPixel, "below the major tick"},
            {20, 40, WhitePixel, "block, top-left"},
            {119, 119, WhitePixel, "block, bottom-right"},
            {120, 80, BlackPixel, "right of the block"},
            {19, 80, BlackPixel, "reference block wholly left of the area"},
            {20, 120, BlackPixel, "below the block"},
            {30, 340, 0x050505, "first contrast patch, top-left"},
            {110, 445, 0x050505, "first contrast patch, bottom-right"},
            {29, 340, BlackPixel, "left of the first patch"},
            {129, 340, 0x0A0A0A, "second contrast patch"},
            {600, 400, 0x1E1E1E, "sixth contrast patch"},
            {0, 479, BlackPixel, "contrast strip, last row"},
        });
        const QString diff = differenceTo(scaleFrame(20, 75, BlackPixel, WhitePixel, false, true));
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }

    void scaleFrameColoursAndOptions_data() {
        QTest::addColumn<Rgb>("background");
        QTest::addColumn<Rgb>("foreground");
        QTest::addColumn<uint>("backgroundPixel");
        QTest::addColumn<uint>("foregroundPixel");
        QTest::addColumn<bool>("muster");
        QTest::addColumn<bool>("kontrast");
        QTest::newRow("slate background, yellow block")
            << Rgb{50, 50, 100} << Rgb{255, 255, 0} << 0x323264u << 0xFFFF00u << false << true;
        QTest::newRow("component order: red background, (2,1,7) block")
            << Rgb{255, 0, 0} << Rgb{2, 1, 7} << 0xFF0000u << 0x020107u << false << true;
        QTest::newRow("Muster and second ruler, no contrast strip")
            << Rgb{0, 150, 0} << Rgb{0, 0, 200} << 0x009600u << 0x0000C8u << true << false;
        QTest::newRow("Muster and contrast strip")
            << Rgb{67, 69, 68} << Rgb{183, 17, 29} << 0x434544u << 0xB7111Du << true << true;
        QTest::newRow("neither") << Rgb{10, 20, 30} << Rgb{40, 50, 60} << 0x0A141Eu << 0x28323Cu
                                 << false << false;
    }
    void scaleFrameColoursAndOptions() {
        QFETCH(Rgb, background);
        QFETCH(Rgb, foreground);
        QFETCH(uint, backgroundPixel);
        QFETCH(uint, foregroundPixel);
        QFETCH(bool, muster);
        QFETCH(bool, kontrast);
        setColours(background, foreground);
        form->CheckBox1->setChecked(muster);
        form->CheckBox2->setChecked(kontrast);
        testing::runFrames(*form);

        checkPins({
            {0, 0, backgroundPixel, "background"},
            {19, 28, backgroundPixel, "ruler black lets the background through"},
            {25, 28, WhitePixel, "ruler baseline"},
            {20, 40, foregroundPixel, "block, top-left"},
            {119, 119, foregroundPixel, "block, bottom-right"},
            {120, 80, backgroundPixel, "right of the block"},
        });
        if (muster) {
            checkPins({
                {25, 152, WhitePixel, "second ruler baseline (row 134 + 18)"},
                {25, 151, backgroundPixel, "above the second baseline"},
                {20, 164, SilverPixel, "Muster (0, 0)"},
                {21, 164, SilverPixel, "Muster (1, 0)"},
                {22, 164, WhitePixel, "Muster (2, 0)"},
                {119, 243, WhitePixel, "Muster (99, 79)"},
                {120, 200, backgroundPixel, "right of Muster"},
            });
        } else {
            checkPins({{25, 152, backgroundPixel, "no second ruler"},
                       {20, 164, backgroundPixel, "no Muster"}});
        }
        if (kontrast) {
            checkPins({{30, 340, 0x050505, "first contrast patch"},
                       {29, 340, BlackPixel, "contrast strip black is drawn"}});
        } else {
            checkPins({{30, 340, backgroundPixel, "no contrast strip"},
                       {0, 479, backgroundPixel, "no contrast strip, last row"}});
        }
        const QString diff =
            differenceTo(scaleFrame(20, 75, backgroundPixel, foregroundPixel, muster, kontrast));
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }

    // The block runs 10 px per frame from 10 to the last x within distance + 740, then jumps
    // to -100 and enters again.
    void blocksRunAndWrap_data() {
        QTest::addColumn<int>("distance");
        QTest::addColumn<int>("lastBeforeWrap");
        QTest::newRow("distance 75: 810, then 820 > 815 wraps") << 75 << 810;
        QTest::newRow("distance 70: 810 equals the limit and stays") << 70 << 810;
        QTest::newRow("distance 100: limit 840") << 100 << 840;
        QTest::newRow("distance 0: limit 740, blocks touch") << 0 << 740;
    }
    void blocksRunAndWrap() {
        QFETCH(int, distance);
        QFETCH(int, lastBeforeWrap);
        form->UpDown1->setPosition(distance);
        setColours({0, 0, 0}, {255, 0, 0}); // red, to tell the block from the white reference
        std::vector<int> run;
        for (int x = 20; x <= lastBeforeWrap; x += 10)
            run.push_back(x);
        run.push_back(-100);
        run.push_back(-90);

        for (std::size_t frame = 0; frame < run.size(); ++frame) {
            testing::runFrames(*form);
            const int x = run[frame];
            const QString where = QStringLiteral("frame %1, x %2: ").arg(frame + 1).arg(x);
            QVERIFY2(form->blockX() == x,
                     qPrintable(where + QStringLiteral("BlockX %1").arg(form->blockX())));
            const QString diff =
                differenceTo(scaleFrame(x, distance, BlackPixel, RedPixel, false, true));
            QVERIFY2(diff.isEmpty(), qPrintable(where + diff));
            if (x == 300) {
                checkPins({
                    {300, 80, RedPixel, "block's left edge"},
                    {299 - distance, 80, WhitePixel, "reference block's right edge"},
                    {200 - distance, 80, WhitePixel, "reference block's left edge"},
                    {199 - distance, 80, BlackPixel, "left of the reference block"},
                });
                if (distance > 0)
                    checkPins({{300 - distance, 80, BlackPixel, "gap after the reference"},
                               {299, 80, BlackPixel, "gap before the block"}});
            }
        }
        checkPins({{9, 80, RedPixel, "last 10 columns of the entering block"},
                   {10, 80, BlackPixel, "right of the entering block"}});
    }

    void halfPixelPositions_data() {
        QTest::addColumn<int>("frames");
        QTest::addColumn<double>("blockX");
        QTest::addColumn<int>("drawnAt");
        QTest::newRow("10.5 is drawn at 10") << 1 << 10.5 << 10;
        QTest::newRow("11.5 is drawn at 12") << 3 << 11.5 << 12;
    }
    void halfPixelPositions() {
        QFETCH(int, frames);
        QFETCH(double, blockX);
        QFETCH(int, drawnAt);
        form->UpDown2->setPosition(30); // 0.5 px per frame at 60 frames per second
        setColours({0, 0, 0}, {255, 0, 0});
        testing::runFrames(*form, frames);
        QVERIFY2(form->blockX() == blockX, qPrintable(QString::number(form->blockX(), 'g', 17)));
        checkPins({{drawnAt, 80, RedPixel, "block's left edge"},
                   {drawnAt - 1, 80, BlackPixel, "left of the block"}});
        const QString diff =
            differenceTo(scaleFrame(drawnAt, 75, BlackPixel, RedPixel, false, true));
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }

    void distanceAsTime_data() {
        QTest::addColumn<int>("distance");
        QTest::addColumn<int>("speed");
        QTest::addColumn<QString>("caption");
        QTest::newRow("75 px at 600 px/s") << 75 << 600 << "(125 ms)";
        QTest::newRow("62.5 rounds to the even 62") << 1 << 16 << "(62 ms)";
        QTest::newRow("187.5 rounds to the even 188") << 3 << 16 << "(188 ms)";
        QTest::newRow("distance 0") << 0 << 700 << "(0 ms)";
        QTest::newRow("largest: 100 px at 1 px/s") << 100 << 1 << "(100000 ms)";
        QTest::newRow("0.67 rounds to 1") << 1 << 1500 << "(1 ms)";
    }
    void distanceAsTime() {
        QFETCH(int, distance);
        QFETCH(int, speed);
        QFETCH(QString, caption);
        form->UpDown1->setPosition(distance);
        form->UpDown2->setPosition(speed);
        testing::runFrames(*form);
        QCOMPARE(form->Label15->caption(), caption);
    }

    // The real timer on a fake clock drives the frames: ticks spread evenly over the first
    // one-second window, then the frames after it take their step from the measured rate.
    void stepFollowsMeasuredRate_data() {
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("ticksPerSecond");
        QTest::addColumn<double>("stepAfter");
        QTest::addColumn<QString>("label7");
        QTest::newRow("600 px/s at 75 Hz: 8 px") << 600 << 75 << 8.0 << "75";
        QTest::newRow("600 px/s at 59 Hz: taken as 60, 10 px") << 600 << 59 << 10.0 << "59";
        QTest::newRow("600 px/s at 50 Hz: taken as 60, 10 px") << 600 << 50 << 10.0 << "50";
        QTest::newRow("300 px/s at 120 Hz: 2.5 px") << 300 << 120 << 2.5 << "120";
    }
    void stepFollowsMeasuredRate() {
        QFETCH(int, speed);
        QFETCH(int, ticksPerSecond);
        QFETCH(double, stepAfter);
        QFETCH(QString, label7);
        QTRY_COMPARE(QGuiApplication::applicationState(), Qt::ApplicationActive);
        form->UpDown2->setPosition(speed);
        TForm1* const f = form.get();
        form->DXTimer1->OnTimer = [f](QObject* sender, int lag) { f->DXTimer1Timer(sender, lag); };
        constexpr std::uint32_t armedAt = 5000; // ms
        now = armedAt;
        form->DXTimer1->setEnabled(true);

        const double firstStep = speed / 60.0; // exact for 300 and 600
        for (int k = 1; k <= ticksPerSecond; ++k) {
            const double before = form->blockX();
            now = armedAt + static_cast<std::uint32_t>(k * 1000 / ticksPerSecond);
            QVERIFY2(form->DXTimer1->DoIdle(), qPrintable(QStringLiteral("no tick at %1").arg(k)));
            QVERIFY2(
                form->blockX() - before == firstStep,
                qPrintable(QStringLiteral("tick %1: step %2").arg(k).arg(form->blockX() - before)));
            if (k < ticksPerSecond)
                QCOMPARE(form->Label7->caption(), QStringLiteral("0"));
        }
        // The frame that closed the window shows the rate and keeps it for the next frame.
        QCOMPARE(form->Label7->caption(), label7);
        QCOMPARE(form->lastFrameRate(), ticksPerSecond);

        for (int k = 1; k <= 2; ++k) {
            const double before = form->blockX();
            now += 1000 / static_cast<std::uint32_t>(ticksPerSecond);
            QVERIFY(form->DXTimer1->DoIdle());
            QVERIFY2(form->blockX() - before == stepAfter,
                     qPrintable(QStringLiteral("step %1").arg(form->blockX() - before)));
            QCOMPARE(form->Label7->caption(), label7);
        }
        QCOMPARE(testing::MemoryPresenter::framePresents, ticksPerSecond + 2);
    }

    void freeModeFirstFrame() {
        constexpr std::uint32_t background = 0x000080; // navy, so that transparency shows
        constexpr std::uint32_t foreground = 0xFFFF00;
        setColours({0, 0, 128}, {255, 255, 0});
        testing::runFrames(*form, 3);
        QCOMPARE(form->Label15->caption(), QStringLiteral("(125 ms)"));
        switchToFreeMode();
        form->UpDown1->setPosition(3); // not shown in free mode
        testing::runFrames(*form);

        QCOMPARE(form->blockX(), 20.0);
        QCOMPARE(form->blockY(), 11.0);
        QCOMPARE(form->tickerX(), 490.0);
        QCOMPARE(form->Label15->caption(), QStringLiteral("(125 ms)"));
        checkPins({
            {20, 11, foreground, "block, top-left"},
            {119, 90, foreground, "block, bottom-right"},
            {19, 11, background, "left of the block"},
            {20, 10, background, "above the block"},
            {120, 90, background, "right of the block"},
            {20, 91, background, "below the block"},
            {200, 28, background, "no ruler (its baseline row)"},
            {30, 340, background, "no contrast strip"},
            {490, 430, background, "marquee black is transparent"},
        });
        // One pixel of each kind of the marquee, looked up in the picture, in its visible part.
        const Image& marquee = form->DXImageList1->image(Laufschrift);
        for (const std::uint32_t kind : {RimPixel, WhitePixel}) {
            bool found = false;
            for (int y = 0; y < marquee.height && !found; ++y) {
                for (int x = 0; x < AreaWidth - 490 && !found; ++x) {
                    if (marquee.at(x, y) == kind) {
                        found = true;
                        QCOMPARE(hex(pixel(490 + x, FloorY + y)), hex(kind));
                    }
                }
            }
            QVERIFY2(found, qPrintable(hex(kind)));
        }
        const QString diff = differenceTo(freeFrame(background, foreground));
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }

    // Each direction turns after the move of its frame: the block is drawn once past its bound
    // and comes back from the next frame on.
    void freeModeBounce() {
        constexpr std::uint32_t background = 0x000080;
        constexpr std::uint32_t foreground = 0xFFFF00;
        setColours({0, 0, 128}, {255, 255, 0});
        switchToFreeMode();
        struct State {
            int frame;
            double blockX;
            double blockY;
            int dirX;
            int dirY;
            double tickerX;
        };
        const State states[] = {
            {1, 20, 11, 1, 1, 490},      // first frame in free mode
            {34, 350, 341, 1, 1, 160},   // bottom 421: no turn yet
            {35, 360, 351, 1, -1, 150},  // bottom 431 > 430: turns, drawn into the strip
            {36, 370, 341, 1, -1, 140},  // on its way up
            {53, 540, 171, 1, -1, -30},  // right edge exactly 640: no turn
            {54, 550, 161, -1, -1, -40}, // right edge 650 > 640: turns, drawn cut at 640
            {55, 540, 151, -1, -1, -50}, // on its way left
            {70, 390, 1, -1, -1, -200},  // top 1 > 0: no turn
            {71, 380, -9, -1, 1, -210},  // top -9: turns, drawn above the area
            {72, 370, 1, -1, 1, -220},   // on its way down
            {80, 290, 81, -1, 1, -300},  // marquee's right edge at 0: gone, not yet moved
            {81, 280, 91, -1, 1, 640},   // -310 < -300: marquee back at 640, out of sight
            {82, 270, 101, -1, 1, 630},  // marquee entering
            {108, 10, 341, -1, -1, 370}, // left edge 10: no turn
            {109, 0, 331, 1, -1, 360},   // left edge 0 is not > 0: turns
            {110, 10, 321, 1, -1, 350},  // on its way right
        };
        const State* next = states;
        for (int frame = 1; frame <= 110; ++frame) {
            testing::runFrames(*form);
            const QString where = QStringLiteral("frame %1: ").arg(frame);
            const QString diff = differenceTo(freeFrame(background, foreground));
            QVERIFY2(diff.isEmpty(), qPrintable(where + diff));
            if (frame != next->frame)
                continue;
            const QString state = QStringLiteral("(%1, %2) dir (%3, %4) marquee %5")
                                      .arg(form->blockX())
                                      .arg(form->blockY())
                                      .arg(form->dirX())
                                      .arg(form->dirY())
                                      .arg(form->tickerX());
            QVERIFY2(form->blockX() == next->blockX && form->blockY() == next->blockY &&
                         form->dirX() == next->dirX && form->dirY() == next->dirY &&
                         form->tickerX() == next->tickerX,
                     qPrintable(where + state));
            ++next;
        }
        QCOMPARE(next, std::end(states));
    }

    // At 1470 px/s the steps are 24.5 px: positions at halves, and the block reaches deep
    // enough into the strip for the marquee's letters to cover it.
    void marqueeCoversBlock() {
        constexpr std::uint32_t background = 0x000080;
        constexpr std::uint32_t foreground = 0xFFFF00;
        setColours({0, 0, 128}, {255, 255, 0});
        form->UpDown2->setPosition(1470);
        switchToFreeMode();
        for (int frame = 1; frame <= 15; ++frame) {
            testing::runFrames(*form);
            const QString diff = differenceTo(freeFrame(background, foreground));
            QVERIFY2(diff.isEmpty(),
                     qPrintable(QStringLiteral("frame %1: %2").arg(frame).arg(diff)));
        }
        const int left = nearest(form->blockX());
        const int top = nearest(form->blockY());
        int covered = 0;
        for (int y = top; y < std::min(top + 80, AreaHeight); ++y)
            for (int x = left; x < std::min(left + 100, AreaWidth); ++x)
                if (pixel(x, y) == WhitePixel || pixel(x, y) == RimPixel)
                    ++covered;
        QVERIFY2(covered > 0, "the marquee does not reach into the block in this frame");
    }

    void nothingBeforeTheDrawingAreaIsSetUp() {
        form.reset();
        Form1 = nullptr;
        testing::useMemoryPresenter();
        TForm1 hidden; // never shown: its drawing area is not set up
        QVERIFY(!hidden.DXDraw1->Initialized());
        // Values the preset tracking would react to, had it run.
        const std::pair<TUpDown*, int> settings[] = {{hidden.UpDown3, 50},  {hidden.UpDown4, 50},
                                                     {hidden.UpDown5, 100}, {hidden.UpDown6, 255},
                                                     {hidden.UpDown7, 255}, {hidden.UpDown8, 0},
                                                     {hidden.UpDown1, 80}};
        for (const auto& [spin, value] : settings)
            spin->setPosition(value);

        hidden.DXTimer1Timer(hidden.DXTimer1, 1);

        QCOMPARE(hidden.Label7->caption(), QStringLiteral("Label7"));
        QCOMPARE(hidden.Label15->caption(), QStringLiteral("= 125 ms"));
        QCOMPARE(hidden.Label11->caption(), QStringLiteral("75"));
        QCOMPARE(hidden.blockX(), 10.0);
        QCOMPARE(hidden.lastFrameRate(), 0);
        QCOMPARE(hidden.DXDraw1->Surface().at(0, 0), BlackPixel);
        QCOMPARE(testing::MemoryPresenter::presents, 0);
    }

    void lostSurfaceIsRestored() {
        form->CheckBox1->setChecked(true);
        testing::runFrames(*form);
        testing::MemoryPresenter::loseNext = true;
        testing::runFrames(*form);
        QCOMPARE(testing::MemoryPresenter::restores, 1);
        QCOMPARE(testing::MemoryPresenter::framePresents, 2);
        QCOMPARE(form->blockX(), 30.0);
        QString diff = differenceTo(scaleFrame(30, 75, BlackPixel, WhitePixel, true, true));
        QVERIFY2(diff.isEmpty(), qPrintable(diff));

        setColours({0, 0, 128}, {255, 255, 0});
        switchToFreeMode();
        testing::MemoryPresenter::loseNext = true;
        testing::runFrames(*form);
        QCOMPARE(testing::MemoryPresenter::restores, 2);
        QCOMPARE(testing::MemoryPresenter::framePresents, 3);
        diff = differenceTo(freeFrame(0x000080, 0xFFFF00));
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }

    void failedRestoreSkipsTheFrame() {
        testing::runFrames(*form);
        setColours({0, 0, 128}, {255, 0, 0});
        testing::MemoryPresenter::loseNext = true;
        testing::MemoryPresenter::restoreFails = true;
        testing::runFrames(*form, 2); // every tick tries again
        QCOMPARE(testing::MemoryPresenter::restores, 2);
        QCOMPARE(testing::MemoryPresenter::framePresents, 1);
        QCOMPARE(form->blockX(), 20.0);
        QCOMPARE(pixel(0, 0), BlackPixel); // not even the background fill

        testing::MemoryPresenter::restoreFails = false;
        testing::runFrames(*form);
        QCOMPARE(testing::MemoryPresenter::restores, 3);
        QCOMPARE(testing::MemoryPresenter::framePresents, 2);
        QCOMPARE(form->blockX(), 30.0);
        const QString diff = differenceTo(scaleFrame(30, 75, 0x000080, RedPixel, false, true));
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }

    // Setting up the drawing area arms the frame timer, finalising it stops the timer.
    void timerFollowsDrawingArea() {
        form.reset();
        Form1 = nullptr;
        testing::useMemoryPresenter();
        TForm1 other;
        other.DXTimer1->OnTimer = nullptr;
        other.DXTimer1->setEnabled(false);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QVERIFY(other.DXDraw1->Initialized());
        QVERIFY(other.DXTimer1->Enabled());
        other.DXDraw1->Finalize();
        QVERIFY(!other.DXTimer1->Enabled());
    }
};

QTEST_MAIN(FrameTest)
#include "frame_test.moc"
