// A main window on the offscreen platform whose drawing area presents into memory, with the
// frame timer stopped so that a test runs every frame itself.
#pragma once

#include "display/drawarea.h"
#include "display/frametimer.h"
#include "ui/mainwindow.h"

#include <QTest>

#include <memory>

namespace vantrel::testing {

class MemoryPresenter : public Presenter {
  public:
    bool initialize(QString&) override { return true; }
    void present(const BackBuffer&, bool waitForVBlank) override {
        ++presents;
        if (waitForVBlank)
            ++framePresents;
    }
    // A loss lasts until a restore succeeds, as with a real surface.
    bool lost() override {
        if (loseNext)
            lost_ = true;
        loseNext = false;
        return lost_;
    }
    bool restore() override {
        ++restores;
        if (restoreFails)
            return false;
        lost_ = false;
        return true;
    }

    inline static int presents = 0;
    inline static int framePresents = 0;
    inline static int restores = 0;
    inline static bool loseNext = false;
    inline static bool restoreFails = false;

  private:
    bool lost_ = false;
};

// Drawing areas set up from now on present into memory; the counters start afresh.
inline void useMemoryPresenter() {
    MemoryPresenter::presents = 0;
    MemoryPresenter::framePresents = 0;
    MemoryPresenter::restores = 0;
    MemoryPresenter::loseNext = false;
    MemoryPresenter::restoreFails = false;
    TDXDraw::setPresenterFactory([](TDXDraw*) { return std::make_unique<MemoryPresenter>(); });
}

// With a clock given, the frame timer reads it from before the first showing on, so that no
// tick of the real clock (made while the window comes up) enters its rate measurement.
inline std::unique_ptr<TForm1> makeForm(TDXTimer::Clock clock = {}) {
    useMemoryPresenter();
    auto form = std::make_unique<TForm1>();
    Form1 = form.get();
    form->DXTimer1->OnTimer = nullptr; // frames only when the test asks
    if (clock) {
        form->DXTimer1->setEnabled(false);
        form->DXTimer1->setClock(std::move(clock));
        form->DXTimer1->setEnabled(true); // armed on the new clock
    }
    form->show();
    form->activateWindow();
    if (!QTest::qWaitForWindowExposed(form.get()))
        return nullptr;
    form->DXTimer1->setEnabled(false);
    return form;
}

// Runs n frames as the frame timer would, one tick each.
inline void runFrames(TForm1& form, int n = 1) {
    for (int i = 0; i < n; ++i)
        form.DXTimer1Timer(form.DXTimer1, 1);
}

} // namespace vantrel::testing
