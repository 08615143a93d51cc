#include "ui/mainwindow.h"

#include "app/startup.h"
#include "display/drawarea.h"
#include "display/frametimer.h"
#include "display/motion.h"
#include "display/picturelist.h"
#include "ui/controls.h"

#include <QAction>
#include <QGuiApplication>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

namespace vantrel {

TForm1* Form1 = nullptr;

namespace {
constexpr int MinimumDepth = 24; // bits per pixel
}

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("Vantrel"));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11); // character height at 96 dpi
    setFont(font);
    CreateComponents();
    CreateMenu();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    WireEvents();
    // The timer runs from the moment the layout is loaded; frames wait for the drawing area.
    DXTimer1->setActiveOnly(true);
    DXTimer1->setEnabled(true);
    FormCreate(this);
}

TForm1::~TForm1() {
    DXDraw1->Finalize();
    delete DXImageList1;
    DXImageList1 = nullptr;
}

void TForm1::WireEvents() {
    DXTimer1->OnTimer = [this](QObject* sender, int lag) { DXTimer1Timer(sender, lag); };
    DXDraw1->OnInitializing = [this](QObject* sender) { DXDraw1Initializing(sender); };
    DXDraw1->OnFinalize = [this](QObject* sender) { DXDraw1Finalize(sender); };
    // clicked comes for every change the user makes, by mouse or space bar, never for ours.
    connect(CheckBox3, &QCheckBox::clicked, this, [this] { CheckBox3Click(CheckBox3); });
    connect(SpeedButton2, &QPushButton::clicked, this, [this] { SpeedButton2Click(SpeedButton2); });
    connect(SpeedButton3, &QPushButton::clicked, this, [this] { SpeedButton3Click(SpeedButton3); });
    connect(SpeedButton4, &QPushButton::clicked, this, [this] { SpeedButton4Click(SpeedButton4); });
    connect(SpeedButton5, &QPushButton::clicked, this, [this] { SpeedButton5Click(SpeedButton5); });
    connect(Beenden1, &QAction::triggered, this, [this] { Beenden1Click(Beenden1); });
    connect(WebLink1, &QAction::triggered, this, [this] { WebLink1Click(WebLink1); });
    connect(ueber1, &QAction::triggered, this, [this] { ueber1Click(ueber1); });
}

QString TForm1::TimeCaption(int distance, int speed) {
    return QStringLiteral("(%1 ms)").arg(distanceTimeMs(distance, speed));
}

int TForm1::DesktopBitsPerPixel() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 0;
}

void TForm1::FormCreate(QObject*) {
    if (DesktopBitsPerPixel() < MinimumDepth) {
        QMessageBox box(
            QMessageBox::NoIcon, QGuiApplication::applicationName(),
            QStringLiteral("Stellen Sie bitte die Desktop-Farbtiefe auf 24 oder 32Bit !"),
            QMessageBox::Ok);
        box.exec();
        Application::Terminate();
    }
    DirX = 1;
    DirY = 1;
    BlockX = 10.0;
    BlockY = 1.0;
    TickerX = 500.0;
}

void TForm1::centreOnDesktop() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect desktop = screen->virtualGeometry();
    const QSize outer = frameGeometry().size();
    const int x = std::max(0, (desktop.width() - outer.width()) / 2);
    const int y = std::max(0, (desktop.height() - outer.height()) / 2);
    move(x, y);
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (placement_ == Placement::None) {
        placement_ = Placement::Guessed;
        centreOnDesktop();
    }
}

bool TForm1::event(QEvent* event) {
    // The frame the window manager adds is known only once the window is up; the first
    // activation places the window again with its real outer size.
    if (event->type() == QEvent::WindowActivate && placement_ == Placement::Guessed) {
        placement_ = Placement::Final;
        centreOnDesktop();
    }
    return QMainWindow::event(event);
}

} // namespace vantrel
