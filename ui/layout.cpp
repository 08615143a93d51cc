// Building the window from its layout: every control at its place with its default.
// Positions are pixels at 96 dpi, relative to the client area below the menu bar, or to the
// group box's top-left corner for the controls inside a group box.
#include "ui/mainwindow.h"

#include "display/drawarea.h"
#include "display/frametimer.h"
#include "display/picturelist.h"
#include "ui/accesskeys.h"
#include "ui/controls.h"

#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>

#include <string>
#include <utility>
#include <vector>

namespace vantrel {
namespace {

constexpr int PresetRightEdge = 818; // pixels: right edge of the remembered distances

TLabel* label(QWidget* parent, const char* caption, int left, int top) {
    auto* l = new TLabel(QString::fromUtf8(caption), parent);
    l->move(left, top);
    return l;
}

TEdit* edit(QWidget* parent, const char* text, int left, int top, int width) {
    auto* e = new TEdit(QString::fromUtf8(text), parent);
    e->setGeometry(left, top, width, 21);
    return e;
}

TUpDown* upDown(QWidget* parent, TEdit* buddy, int minimum, int maximum, int increment,
                int position, int width) {
    auto* u = new TUpDown(minimum, maximum, increment, position, parent);
    // Flush against the edit box's right edge: together they form one spin box.
    u->setGeometry(buddy->x() + buddy->width(), buddy->y(), width, 21);
    u->setAssociate(buddy);
    return u;
}

QGroupBox* groupBox(QWidget* parent, const char* caption, int left, int top, int width,
                    int height) {
    auto* g = new QGroupBox(QString::fromUtf8(caption), parent);
    g->setGeometry(left, top, width, height);
    return g;
}

TCheckBox* checkBox(QWidget* parent, const char* caption, bool checked, int left, int top,
                    int width) {
    auto* c = new TCheckBox(QString::fromUtf8(caption), checked, parent);
    c->setGeometry(left, top, width, 17);
    return c;
}

TSpeedButton* speedButton(QWidget* parent, const char* caption, int left, int top, int width,
                          int height) {
    auto* b = new TSpeedButton(QString::fromUtf8(caption), parent);
    b->setGeometry(left, top, width, height);
    return b;
}

// The three rows red, green and blue of a colour box, stored into the window's members.
struct ColourRow {
    TEdit** edit;
    TUpDown** upDown;
    TLabel** label;
};

void colourRows(QGroupBox* box, int columnShift, int value, const ColourRow (&rows)[3]) {
    static const char* const captions[3] = {"Rot", "Grün", "Blau"};
    const QByteArray text = QByteArray::number(value);
    for (int row = 0; row < 3; ++row) {
        const int top = 24 + 32 * row; // pixels
        TEdit* e = edit(box, text.constData(), 16 + columnShift, top, 41);
        *rows[row].edit = e;
        *rows[row].upDown = upDown(box, e, 0, 255, 5, value, 16);
        *rows[row].label = label(box, captions[row], 80 + columnShift, top + 8);
    }
}

} // namespace

void TForm1::CreateComponents() {
    auto* client = new QWidget(this);
    client->setFixedSize(ClientWidth, ClientHeight);
    setCentralWidget(client);

    DXImageList1 = new TDXImageList;
    DXDraw1 = new TDXDraw(client);
    DXDraw1->setGeometry(16, 16, TDXDraw::SurfaceWidth, TDXDraw::SurfaceHeight);
    DXDraw1->setImageList(DXImageList1);
    DXTimer1 = new TDXTimer(this);

    GroupBox3 = groupBox(client, "Geschwindigkeit", 672, 16, 225, 65);
    Edit2 = edit(GroupBox3, "600", 18, 28, 39);
    UpDown2 = upDown(GroupBox3, Edit2, 1, 1500, 5, 600, 17);
    Label2 = label(GroupBox3, "Pixel/Sekunde", 81, 36);

    SpeedButton2 = speedButton(client, "TAVORIN öffnen", 672, 96, 137, 33);
    CheckBox2 = checkBox(client, "Kontrastleiste", true, 816, 104, 89);

    GroupBox2 = groupBox(client, "Schlierenpixel-Test", 672, 144, 225, 89);
    CheckBox3 = checkBox(GroupBox2, "Pixel-Scala", true, 16, 24, 81);
    CheckBox1 = checkBox(GroupBox2, "Muster", false, 144, 24, 57);
    Edit1 = edit(GroupBox2, "75", 16, 52, 41);
    UpDown1 = upDown(GroupBox2, Edit1, 0, 100, 1, 75, 16);
    Label1 = label(GroupBox2, "Pixelabstand", 80, 56);
    Label15 = label(GroupBox2, "= 125 ms", 160, 56);

    SpeedButton3 = speedButton(client, "Farbkombination 1", 672, 248, 121, 25);
    SpeedButton4 = speedButton(client, "Farbkombination 2", 672, 272, 121, 25);
    SpeedButton5 = speedButton(client, "Farbkombination 3", 672, 296, 121, 25);
    TLabel** distances[3] = {&Label11, &Label12, &Label13};
    TLabel** units[3] = {&Label14, &Label16, &Label17};
    TLabel** times[3] = {&Label18, &Label19, &Label20};
    for (int row = 0; row < 3; ++row) {
        const int top = 256 + 24 * row;
        *distances[row] = label(client, "75", 806, top);
        (*distances[row])->setRightAligned(PresetRightEdge);
        *units[row] = label(client, "Pixel", 824, top);
        *times[row] = label(client, "(125 ms)", 856, top);
    }

    GroupBox4 = groupBox(client, "Vordergrundfarbe", 672, 336, 113, 121);
    GroupBox1 = groupBox(client, "Hintergrundfarbe", 781, 336, 116, 121);
    colourRows(
        GroupBox4, 0, 255,
        {{&Edit6, &UpDown6, &Label8}, {&Edit7, &UpDown7, &Label9}, {&Edit8, &UpDown8, &Label10}});
    // The background columns stand 3 pixels further right.
    colourRows(
        GroupBox1, 3, 0,
        {{&Edit3, &UpDown3, &Label3}, {&Edit4, &UpDown4, &Label4}, {&Edit5, &UpDown5, &Label5}});

    Label6 = label(client, "Bilder/Sek: ", 672, 480);
    Label7 = label(client, "Label7", 728, 480);

    NameComponents();

    // Only edit boxes and check boxes take the focus, in this order and round again.
    QWidget* const tabOrder[] = {Edit2, CheckBox3, Edit1, CheckBox1, Edit6,    Edit7,
                                 Edit8, Edit3,     Edit4, Edit5,     CheckBox2};
    for (std::size_t i = 0; i + 1 < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i], tabOrder[i + 1]);
    Edit2->setFocus(Qt::OtherFocusReason);
}

void TForm1::NameComponents() {
    const std::pair<const char*, QWidget*> named[] = {
        {"DXDraw1", DXDraw1},
        {"Edit1", Edit1},
        {"Edit2", Edit2},
        {"Edit3", Edit3},
        {"Edit4", Edit4},
        {"Edit5", Edit5},
        {"Edit6", Edit6},
        {"Edit7", Edit7},
        {"Edit8", Edit8},
        {"UpDown1", UpDown1},
        {"UpDown2", UpDown2},
        {"UpDown3", UpDown3},
        {"UpDown4", UpDown4},
        {"UpDown5", UpDown5},
        {"UpDown6", UpDown6},
        {"UpDown7", UpDown7},
        {"UpDown8", UpDown8},
        {"Label1", Label1},
        {"Label2", Label2},
        {"Label3", Label3},
        {"Label4", Label4},
        {"Label5", Label5},
        {"Label6", Label6},
        {"Label7", Label7},
        {"Label8", Label8},
        {"Label9", Label9},
        {"Label10", Label10},
        {"Label11", Label11},
        {"Label12", Label12},
        {"Label13", Label13},
        {"Label14", Label14},
        {"Label15", Label15},
        {"Label16", Label16},
        {"Label17", Label17},
        {"Label18", Label18},
        {"Label19", Label19},
        {"Label20", Label20},
        {"GroupBox1", GroupBox1},
        {"GroupBox2", GroupBox2},
        {"GroupBox3", GroupBox3},
        {"GroupBox4", GroupBox4},
        {"CheckBox1", CheckBox1},
        {"CheckBox2", CheckBox2},
        {"CheckBox3", CheckBox3},
        {"SpeedButton2", SpeedButton2},
        {"SpeedButton3", SpeedButton3},
        {"SpeedButton4", SpeedButton4},
        {"SpeedButton5", SpeedButton5},
    };
    for (const auto& [name, widget] : named)
        widget->setObjectName(QString::fromLatin1(name));
}

void TForm1::CreateMenu() {
    MainMenu1 = menuBar();
    const std::vector<std::string> barCaptions = {"Datei", "Links", "Über"};
    const std::vector<int> barKeys = assignAccessKeys(barCaptions);
    auto title = [&](std::size_t i) {
        return QString::fromStdString(withAccessMark(barCaptions[i], barKeys[i]));
    };
    auto submenuItem = [](QMenu* menu, const std::string& caption) {
        const int key = assignAccessKeys({caption}).front();
        return menu->addAction(QString::fromStdString(withAccessMark(caption, key)));
    };

    Datei1 = MainMenu1->addMenu(title(0));
    Beenden1 = submenuItem(Datei1, "Beenden");
    Links = MainMenu1->addMenu(title(1));
    WebLink1 = submenuItem(Links, WebAddress);
    // A command directly on the bar, without a submenu.
    ueber1 = MainMenu1->addAction(title(2));
}

} // namespace vantrel
