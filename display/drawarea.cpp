#include "display/drawarea.h"

#include "display/glxsync.h"
#include "display/picturelist.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QOpenGLContext>
#include <QPointer>
#include <QSurfaceFormat>
#include <QTimer>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <QtGui/qopenglcontext_platform.h>

#include <GL/gl.h>

#include <cmath>

namespace vantrel {
namespace {

TDXDraw::PresenterFactory& presenterFactory() {
    static TDXDraw::PresenterFactory factory;
    return factory;
}

// The native child window the back buffer is shown in; it asks its owner to show the
// current buffer again whenever the window system exposes it.
class GlWindow : public QWindow {
  public:
    explicit GlWindow(std::function<void()> onExpose) : onExpose_(std::move(onExpose)) {
        setSurfaceType(QSurface::OpenGLSurface);
        setFlag(Qt::WindowTransparentForInput);
    }

  protected:
    void exposeEvent(QExposeEvent*) override {
        if (isExposed() && onExpose_)
            onExpose_();
    }

  private:
    std::function<void()> onExpose_;
};

class GlPresenter : public Presenter {
  public:
    explicit GlPresenter(TDXDraw* area) : area_(area) {}

    ~GlPresenter() override {
        if (context_)
            context_->doneCurrent();
        delete container_; // owns the window
    }

    bool initialize(QString& error) override {
        format_.setSwapInterval(1);
        format_.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
        format_.setRenderableType(QSurfaceFormat::OpenGL);
        if (!makeContext()) {
            error = QStringLiteral("Die Zeichenfläche konnte nicht eingerichtet werden: "
                                   "OpenGL steht nicht zur Verfügung.");
            return false;
        }
        window_ = new GlWindow([this] { area_->Repaint(); });
        window_->setFormat(format_);
        container_ = QWidget::createWindowContainer(window_, area_);
        container_->setFocusPolicy(Qt::NoFocus);
        container_->setGeometry(0, 0, area_->width(), area_->height());
        window_->create();
        if (!window_->handle() || !context_->makeCurrent(window_)) {
            error = QStringLiteral("Die Zeichenfläche konnte nicht eingerichtet werden: "
                                   "das OpenGL-Fenster lässt sich nicht verwenden.");
            return false;
        }
        windowPos_ = reinterpret_cast<WindowPos>(context_->getProcAddress("glWindowPos2i"));
        if (!windowPos_) {
            error = QStringLiteral("Die Zeichenfläche konnte nicht eingerichtet werden: "
                                   "der OpenGL-Treiber ist zu alt.");
            return false;
        }
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        if (x11 && context_->nativeInterface<QNativeInterface::QGLXContext>()) {
            display_ = x11->display();
            oml_ = glx::omlAvailable(display_);
        }
        container_->show();
        return true;
    }

    bool lost() override { return !context_ || !context_->isValid(); }

    bool restore() override { return makeContext() && context_->makeCurrent(window_); }

    void present(const BackBuffer& buffer, bool waitForVBlank) override {
        if (!context_ || !window_ || !context_->makeCurrent(window_))
            return;
        const qreal ratio = window_->devicePixelRatio();
        const int w = static_cast<int>(std::lround(window_->width() * ratio));
        const int h = static_cast<int>(std::lround(window_->height() * ratio));
        glViewport(0, 0, w, h);
        if (w != buffer.width() || h != buffer.height()) {
            const QColor face = area_->palette().color(QPalette::Button);
            glClearColor(face.redF(), face.greenF(), face.blueF(), 1.0F);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        // One back-buffer pixel per device pixel, centred, never scaled; rows go downwards
        // from the raster position at the top-left corner.
        const int left = (w - buffer.width()) / 2;
        const int top = (h - buffer.height()) / 2;
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glPixelZoom(1.0F, -1.0F);
        windowPos_(left, h - top);
        glDrawPixels(buffer.width(), buffer.height(), GL_BGRA, GL_UNSIGNED_BYTE, buffer.data());
        if (waitForVBlank && oml_ && glx::swapAtNextVBlank(display_, window_->winId()))
            return;
        context_->swapBuffers(window_);
        if (waitForVBlank) {
            // Some drivers return from the swap at once and block on the next call instead;
            // finishing here keeps the wait inside the present.
            glFinish();
        }
    }

  private:
    using WindowPos = void (*)(GLint, GLint);

    bool makeContext() {
        context_ = std::make_unique<QOpenGLContext>();
        context_->setFormat(format_);
        return context_->create() && !context_->isOpenGLES();
    }

    TDXDraw* area_ = nullptr;
    QSurfaceFormat format_;
    std::unique_ptr<QOpenGLContext> context_;
    GlWindow* window_ = nullptr;
    QWidget* container_ = nullptr;
    WindowPos windowPos_ = nullptr;
    void* display_ = nullptr;
    bool oml_ = false;
};

} // namespace

TDXDraw::TDXDraw(QWidget* parent) : QWidget(parent) {
    // Until the set-up succeeds the area shows the window's button face.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
}

TDXDraw::~TDXDraw() {
    OnFinalize = nullptr;
    Finalize();
}

void TDXDraw::setPresenterFactory(PresenterFactory factory) {
    presenterFactory() = std::move(factory);
}

void TDXDraw::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!tried_)
        Initialize();
}

void TDXDraw::Initialize() {
    if (tried_)
        return;
    tried_ = true;
    initializing_ = true;
    if (OnInitializing)
        OnInitializing(this);
    presenter_ =
        presenterFactory() ? presenterFactory()(this) : std::make_unique<GlPresenter>(this);
    QString error;
    if (!presenter_ || !presenter_->initialize(error)) {
        presenter_.reset();
        initializing_ = false;
        error_ = error.isEmpty()
                     ? QStringLiteral("Die Zeichenfläche konnte nicht eingerichtet werden.")
                     : error;
        // Reported once the window is on the screen, so the box has a window to stand over.
        QPointer<TDXDraw> self(this);
        QTimer::singleShot(0, this, [self] {
            if (self)
                QMessageBox::critical(self->window(), QGuiApplication::applicationDisplayName(),
                                      self->error_);
        });
        return;
    }
    buffer_.fill(0);
    prepareSurfaces();
    initializing_ = false;
    initialized_ = true;
}

void TDXDraw::Finalize() {
    if (!initialized_)
        return;
    if (OnFinalize)
        OnFinalize(this);
    initialized_ = false;
    if (imageList_)
        imageList_->release();
    presenter_.reset();
}

void TDXDraw::prepareSurfaces() {
    if (imageList_)
        imageList_->prepare();
}

bool TDXDraw::CanDraw() {
    if (!initialized_ || initializing_ || !presenter_)
        return false;
    if (presenter_->lost()) {
        initializing_ = true;
        const bool restored = presenter_->restore();
        if (restored) {
            buffer_.fill(0);
            prepareSurfaces();
        }
        initializing_ = false;
        return restored;
    }
    return true;
}

void TDXDraw::Fill(std::uint32_t color) {
    buffer_.fill(color);
}

void TDXDraw::FillRect(int left, int top, int right, int bottom, std::uint32_t color) {
    buffer_.fillRect(left, top, right, bottom, color);
}

void TDXDraw::Flip() {
    if (initialized_ && presenter_)
        presenter_->present(buffer_, true);
}

void TDXDraw::Repaint() {
    if (initialized_ && presenter_)
        presenter_->present(buffer_, false);
}

} // namespace vantrel
