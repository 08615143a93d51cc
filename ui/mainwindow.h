// The main window: every control of the test panel, the drawing area, the picture list,
// the frame timer and the menu.
// In: user input on the controls and menu; frame timer ticks.
// Out: test parameters (spin positions, check states) read by every frame; frames on the
//      drawing area; the captions the frame and the presets write.
#pragma once

#include <QMainWindow>

#include <cstdint>

class QGroupBox;
class QMenu;
class QAction;

namespace vantrel {

class TDXDraw;
class TDXImageList;
class TDXTimer;
class TEdit;
class TUpDown;
class TLabel;
class TCheckBox;
class TSpeedButton;

class TForm1 : public QMainWindow {
  public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Components, named as in the layout.
    TDXDraw* DXDraw1 = nullptr;
    TDXImageList* DXImageList1 = nullptr;
    TDXTimer* DXTimer1 = nullptr;
    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;
    TEdit* Edit3 = nullptr;
    TEdit* Edit4 = nullptr;
    TEdit* Edit5 = nullptr;
    TEdit* Edit6 = nullptr;
    TEdit* Edit7 = nullptr;
    TEdit* Edit8 = nullptr;
    TUpDown* UpDown1 = nullptr;
    TUpDown* UpDown2 = nullptr;
    TUpDown* UpDown3 = nullptr;
    TUpDown* UpDown4 = nullptr;
    TUpDown* UpDown5 = nullptr;
    TUpDown* UpDown6 = nullptr;
    TUpDown* UpDown7 = nullptr;
    TUpDown* UpDown8 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TLabel* Label4 = nullptr;
    TLabel* Label5 = nullptr;
    TLabel* Label6 = nullptr;
    TLabel* Label7 = nullptr;
    TLabel* Label8 = nullptr;
    TLabel* Label9 = nullptr;
    TLabel* Label10 = nullptr;
    TLabel* Label11 = nullptr;
    TLabel* Label12 = nullptr;
    TLabel* Label13 = nullptr;
    TLabel* Label15 = nullptr;
    TLabel* Label14 = nullptr;
    TLabel* Label16 = nullptr;
    TLabel* Label17 = nullptr;
    TLabel* Label18 = nullptr;
    TLabel* Label19 = nullptr;
    TLabel* Label20 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    TCheckBox* CheckBox3 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    TSpeedButton* SpeedButton2 = nullptr;
    TSpeedButton* SpeedButton3 = nullptr;
    TSpeedButton* SpeedButton4 = nullptr;
    TSpeedButton* SpeedButton5 = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TCheckBox* CheckBox2 = nullptr;
    QMenuBar* MainMenu1 = nullptr;
    QMenu* Datei1 = nullptr;
    QAction* Beenden1 = nullptr;
    QAction* ueber1 = nullptr;
    QMenu* Links = nullptr;
    QAction* WebLink1 = nullptr;

    // Event handlers.
    void FormCreate(QObject* Sender);
    void DXTimer1Timer(QObject* Sender, int LagCount);
    void DXDraw1Finalize(QObject* Sender);
    void DXDraw1Initializing(QObject* Sender);
    void SpeedButton2Click(QObject* Sender);
    void SpeedButton3Click(QObject* Sender);
    void SpeedButton4Click(QObject* Sender);
    void SpeedButton5Click(QObject* Sender);
    void CheckBox3Click(QObject* Sender);
    void Beenden1Click(QObject* Sender);
    void ueber1Click(QObject* Sender);
    void WebLink1Click(QObject* Sender);

    // The colour depth of the desktop in bits per pixel.
    static int DesktopBitsPerPixel();

    // The web address of the "Links" menu, also the address it opens.
    static constexpr const char* WebAddress = "www.orlisk.example";
    static constexpr int ClientWidth = 912;  // pixels, below the menu bar
    static constexpr int ClientHeight = 507; // pixels

    // Motion state, read by tests.
    double blockX() const { return BlockX; }
    double blockY() const { return BlockY; }
    double tickerX() const { return TickerX; }
    std::int32_t dirX() const { return DirX; }
    std::int32_t dirY() const { return DirY; }
    std::int32_t lastFrameRate() const { return LastFrameRate; }

  protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void centreOnDesktop();
    void CreateComponents();
    void CreateMenu();
    void NameComponents();
    void WireEvents();
    void DrawBlock(int X, int Y, int W, int H, std::uint32_t Color);
    void TrackPresets();
    void ApplyPreset(int index);
    // "(t ms)": the time the block needs for `distance` pixels at `speed` pixels per second.
    static QString TimeCaption(int distance, int speed);
    TLabel* presetDistanceLabel(int index) const;

    double BlockX = 0.0;            // pixels
    double BlockY = 0.0;            // pixels
    double TickerX = 0.0;           // pixels
    std::int32_t DirX = 0;          // +1 or -1
    std::int32_t DirY = 0;          // +1 or -1
    std::int32_t LastFrameRate = 0; // frames per second
    enum class Placement { None, Guessed, Final };
    Placement placement_ = Placement::None;
};

// The one main window, set when the application creates it.
extern TForm1* Form1;

} // namespace vantrel
