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
    bool lost() override {
        const bool wasLost = loseNext;
        loseNext = false;
        return wasLost;
    }
    bool restore() override { return true; }

    inline static int presents = 0;
    inline static int framePresents = 0;
    inline static bool loseNext = false;
};

inline std::unique_ptr<TForm1> makeForm() {
    MemoryPresenter::presents = 0;
    MemoryPresenter::framePresents = 0;
    MemoryPresenter::loseNext = false;
    TDXDraw::setPresenterFactory([](TDXDraw*) { return std::make_unique<MemoryPresenter>(); });
    auto form = std::make_unique<TForm1>();
    Form1 = form.get();
    form->DXTimer1->OnTimer = nullptr; // frames only when the test asks
    form->show();
    form->activateWindow();
    if (!QTest::qWaitForWindowExposed(form.get()))
        return nullptr;
    form->DXTimer1->setEnabled(false);
    return form;
}

} // namespace vantrel::testing
