// The drawing area: a 640 x 480 back buffer shown 1:1 in a native child window.
// In: fills and picture copies into the back buffer, present requests from the frame.
// Out: the back buffer on the screen, presented once per frame after the vertical blank;
//      OnInitializing at the start of the set-up, OnFinalize at the end of a successful one.
#pragma once

#include "display/backbuffer.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

namespace vantrel {

class TDXImageList;

// Puts the back buffer on the screen. The real one uses OpenGL; tests use one in memory.
class Presenter {
  public:
    virtual ~Presenter() = default;
    // Makes the surface ready; on failure fills `error` with a sentence for the user.
    virtual bool initialize(QString& error) = 0;
    // Whether the surface was lost since the last call (the owner then restores).
    virtual bool lost() { return false; }
    // Makes a lost surface usable again.
    virtual bool restore() { return true; }
    // Shows the buffer 1:1, centred; waits for the vertical blank first when asked to.
    virtual void present(const BackBuffer& buffer, bool waitForVBlank) = 0;
};

class TDXDraw : public QWidget {
  public:
    using PresenterFactory = std::function<std::unique_ptr<Presenter>(TDXDraw* area)>;
    using NotifyEvent = std::function<void(QObject* sender)>;

    static constexpr int SurfaceWidth = 640;  // pixels
    static constexpr int SurfaceHeight = 480; // pixels

    explicit TDXDraw(QWidget* parent = nullptr);
    ~TDXDraw() override;

    // Tests replace the OpenGL presenter with their own before the first showing.
    static void setPresenterFactory(PresenterFactory factory);

    NotifyEvent OnInitializing;
    NotifyEvent OnFinalize;
    void setImageList(TDXImageList* list) { imageList_ = list; }

    // Set-up as at the first showing; later calls do nothing. Failure is reported once.
    void Initialize();
    void Finalize();
    bool Initialized() const { return initialized_; }

    // Ready test: restores a lost surface first (black buffer, pictures prepared again).
    bool CanDraw();

    BackBuffer& Surface() { return buffer_; }
    const BackBuffer& Surface() const { return buffer_; }
    void Fill(std::uint32_t color);
    void FillRect(int left, int top, int right, int bottom, std::uint32_t color);
    void Flip();    // present at the vertical blank
    void Repaint(); // present again without waiting

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void prepareSurfaces();

    BackBuffer buffer_{SurfaceWidth, SurfaceHeight};
    std::unique_ptr<Presenter> presenter_;
    TDXImageList* imageList_ = nullptr;
    bool tried_ = false;
    bool initializing_ = false;
    bool initialized_ = false;
    QString error_;
};

} // namespace vantrel
