// Renders the white ink of the marquee text "Laufschrift (Arial 20)" and writes it as C++ data
// (assets/laufschrift_mask.cpp), so that the program carries the text without needing a font.
//
// Usage: render_laufschrift OUTPUT.cpp [FONT.ttf]
//   FONT defaults to the installed Liberation Sans Regular, which has Arial's metrics.
//   Without a display, run it with QT_QPA_PLATFORM=offscreen (it sets that itself when unset).
//
// How the glyphs are made: the picture's text is Arial 20 pt at 96 dpi (27 pixels per em), one
// colour, no anti-aliasing, and the ink box of every glyph is fixed to the pixel (the table
// below: first and last ink column, top and bottom ink row). Liberation Sans rasterised at 27 px
// with its own hinting misses those boxes (2-pixel stems, a 15-row x-height), and unhinted it
// lands wherever the outline's fractional position puts it. So each glyph is rasterised on its
// own from the unhinted outline, and the tool searches the rendering closest to a plain 27
// pixels per em whose ink fits the glyph's box exactly:
//   - sub-pixel offsets of the outline, in eighths of a pixel, horizontally and vertically;
//   - a vertical size within 1 pixel per em of 27 (the rows must match: cap height 19 rows,
//     x-height 14, parentheses 24);
//   - a horizontal size that may differ from 27 by up to 8 pixels per em: most glyphs fit at
//     27 or within a fraction of it, a few ("a", "r", "f" and the parentheses) are wider or
//     narrower in the original than in Liberation Sans and are stretched or squeezed to fit.
// Glyphs with vertical stems must also show 3-pixel stems on row 27, and each "i" must have its
// dot on rows 15 and 16 only. The search takes the candidate with the smallest total departure
// from 27 pixels per em (then the smallest offsets), so the output is the same on every run.
// The chosen parameters of every glyph are written as a comment into the output file.
// The glyph's ink is then shifted by whole pixels so that its first ink column is the listed
// one; glyphs are combined by OR (the "f" and "t" of "schrift" touch, as in the original).

#include <QtCore/QFileInfo>
#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtGui/QRawFont>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int PictureWidth = 300; // pixels
constexpr int PictureHeight = 50; // pixels
constexpr int BaselineEdge = 34;  // pixel edge just below row 33, the letters' lowest row
constexpr int NominalPpem = 27;   // pixels per em: 20 pt at 96 dpi
constexpr int Eighths = 8;        // sub-steps per pixel and per pixel per em in the search
constexpr int MaxYPpemDeparture = 1 * Eighths; // eighths of a pixel per em
constexpr int MaxXPpemDeparture = 8 * Eighths; // eighths of a pixel per em
constexpr int StemProbeRow = 27;               // row through the middle of the x-height
constexpr int StemWidth = 3;                   // pixels
constexpr int ScratchSize = 64;                // pixels, holds any single glyph
constexpr int ScratchOriginX = 16;             // pixels

struct GlyphBox {
    char character;
    int firstColumn;
    int lastColumn;
    int topRow; // -1: whatever the outline gives ("t" has no row of its own)
    int bottomRow;
    bool stems; // every ink run on StemProbeRow is a stem of StemWidth
};

// "Laufschrift (Arial 20)" glyph by glyph; the spaces carry no ink.
constexpr std::array<GlyphBox, 20> Glyphs = {{
    {'L', 19, 31, 15, 33, true},    {'a', 35, 46, 20, 33, false},   {'u', 51, 62, 20, 33, true},
    {'f', 66, 74, 15, 33, true},    {'s', 76, 87, 20, 33, false},   {'c', 91, 101, 20, 33, false},
    {'h', 107, 118, 15, 33, true},  {'r', 124, 131, 20, 33, true},  {'i', 135, 137, 15, 33, true},
    {'f', 141, 149, 15, 33, true},  {'t', 150, 157, -1, 33, true},  {'(', 168, 172, 15, 38, false},
    {'A', 176, 193, 15, 33, false}, {'r', 197, 204, 20, 33, true},  {'i', 208, 210, 15, 33, true},
    {'a', 215, 226, 20, 33, false}, {'l', 231, 233, 15, 33, true},  {'2', 246, 257, 15, 33, false},
    {'0', 261, 272, 15, 33, false}, {')', 276, 281, 15, 38, false},
}};

struct Candidate {
    int xPpemEighths;
    int yPpemEighths;
    int dxEighths; // pixel eighths
    int dyEighths; // pixel eighths
};

struct Rendering {
    Candidate candidate;
    QImage ink;      // ScratchSize square, white ink on black
    int firstColumn; // of the ink in the scratch image
};

std::vector<Candidate> candidatesByDeparture() {
    std::vector<Candidate> candidates;
    for (int y = -MaxYPpemDeparture; y <= MaxYPpemDeparture; ++y) {
        for (int x = -MaxXPpemDeparture; x <= MaxXPpemDeparture; ++x) {
            for (int dy = 0; dy < Eighths; ++dy) {
                for (int dx = 0; dx < Eighths; ++dx) {
                    candidates.push_back(
                        {NominalPpem * Eighths + x, NominalPpem * Eighths + y, dx, dy});
                }
            }
        }
    }
    const int nominal = NominalPpem * Eighths;
    std::stable_sort(
        candidates.begin(), candidates.end(), [nominal](const Candidate& a, const Candidate& b) {
            const int da = std::abs(a.xPpemEighths - nominal) + std::abs(a.yPpemEighths - nominal);
            const int db = std::abs(b.xPpemEighths - nominal) + std::abs(b.yPpemEighths - nominal);
            if (da != db) {
                return da < db;
            }
            return a.dxEighths + a.dyEighths < b.dxEighths + b.dyEighths;
        });
    return candidates;
}

QImage rasterise(const QPainterPath& outline, qreal unitsPerEm, const Candidate& c) {
    QImage image(ScratchSize, ScratchSize, QImage::Format_Grayscale8);
    image.fill(0);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QTransform transform;
    transform.translate(ScratchOriginX + c.dxEighths / qreal(Eighths),
                        BaselineEdge + c.dyEighths / qreal(Eighths));
    transform.scale(c.xPpemEighths / (Eighths * unitsPerEm),
                    c.yPpemEighths / (Eighths * unitsPerEm));
    painter.fillPath(transform.map(outline), Qt::white);
    painter.end();
    return image;
}

bool ink(const QImage& image, int x, int y) {
    return image.constScanLine(y)[x] != 0;
}

// Checks a rasterised glyph against its box; on success returns its first ink column.
int fitsBox(const QImage& image, const GlyphBox& box) {
    int left = ScratchSize;
    int right = -1;
    int top = ScratchSize;
    int bottom = -1;
    for (int y = 0; y < ScratchSize; ++y) {
        for (int x = 0; x < ScratchSize; ++x) {
            if (ink(image, x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0 || right - left != box.lastColumn - box.firstColumn) {
        return -1;
    }
    if (bottom != box.bottomRow || (box.topRow >= 0 && top != box.topRow)) {
        return -1;
    }
    if (box.stems) {
        int run = 0;
        for (int x = 0; x <= ScratchSize; ++x) {
            if (x < ScratchSize && ink(image, x, StemProbeRow)) {
                ++run;
            } else {
                if (run != 0 && run != StemWidth) {
                    return -1;
                }
                run = 0;
            }
        }
    }
    if (box.character == 'i') {
        constexpr int DotBottom = 16; // row
        constexpr int StemTop = 20;   // row
        for (int y = DotBottom + 1; y < StemTop; ++y) {
            for (int x = 0; x < ScratchSize; ++x) {
                if (ink(image, x, y)) {
                    return -1;
                }
            }
        }
    }
    return left;
}

bool findRendering(const QRawFont& font, const GlyphBox& box,
                   const std::vector<Candidate>& candidates, Rendering& result) {
    const QList<quint32> indexes = font.glyphIndexesForString(QString(QChar(box.character)));
    if (indexes.size() != 1) {
        return false;
    }
    const QPainterPath outline = font.pathForGlyph(indexes.front());
    for (const Candidate& candidate : candidates) {
        QImage image = rasterise(outline, font.unitsPerEm(), candidate);
        const int left = fitsBox(image, box);
        if (left >= 0) {
            result = {candidate, image, left};
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: render_laufschrift OUTPUT.cpp [FONT.ttf]\n");
        return 2;
    }
    const QString fontFile =
        argc > 2
            ? QString::fromLocal8Bit(argv[2])
            : QStringLiteral("/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf");
    // The working copy is loaded at one pixel per font unit, so that its outlines come in
    // unscaled font units and unhinted; the probe only tells how many units make an em.
    const QRawFont probe(fontFile, 16);
    if (!probe.isValid()) {
        std::fprintf(stderr, "cannot load font %s\n", qPrintable(fontFile));
        return 1;
    }
    const QRawFont font(fontFile, probe.unitsPerEm(), QFont::PreferNoHinting);

    const std::vector<Candidate> candidates = candidatesByDeparture();
    std::vector<bool> white(static_cast<std::size_t>(PictureWidth) * PictureHeight, false);
    std::string choices;
    for (const GlyphBox& box : Glyphs) {
        Rendering rendering;
        if (!findRendering(font, box, candidates, rendering)) {
            std::fprintf(stderr, "no rendering of '%c' fits columns %d..%d\n", box.character,
                         box.firstColumn, box.lastColumn);
            return 1;
        }
        const int shift = box.firstColumn - rendering.firstColumn; // whole pixels
        for (int y = 0; y < PictureHeight && y < ScratchSize; ++y) {
            for (int x = 0; x < ScratchSize; ++x) {
                if (ink(rendering.ink, x, y)) {
                    white[static_cast<std::size_t>(y) * PictureWidth + x + shift] = true;
                }
            }
        }
        const Candidate& c = rendering.candidate;
        char line[160];
        std::snprintf(line, sizeof line,
                      "//   '%c' columns %3d..%3d: %6.3f x %6.3f px per em, offset %5.3f, "
                      "%5.3f px\n",
                      box.character, box.firstColumn, box.lastColumn,
                      c.xPpemEighths / double(Eighths), c.yPpemEighths / double(Eighths),
                      c.dxEighths / double(Eighths), c.dyEighths / double(Eighths));
        choices += line;
    }

    int left = PictureWidth;
    int right = -1;
    int top = PictureHeight;
    int bottom = -1;
    for (int y = 0; y < PictureHeight; ++y) {
        for (int x = 0; x < PictureWidth; ++x) {
            if (white[static_cast<std::size_t>(y) * PictureWidth + x]) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }

    std::ofstream out(argv[1]);
    out << "// Generated by tools/render_laufschrift from "
        << QFileInfo(fontFile).fileName().toStdString() << "; regenerate, do not edit.\n"
        << "// Size (horizontal x vertical) and sub-pixel offset chosen for each glyph:\n"
        << choices << "\n"
        << "#include \"assets/laufschrift_mask.h\"\n\n"
        << "namespace vantrel {\n\n"
        << "const int laufschriftMaskLeft = " << left << ";     // column, pixels\n"
        << "const int laufschriftMaskTop = " << top << ";      // row, pixels\n"
        << "const int laufschriftMaskWidth = " << right - left + 1 << ";   // pixels\n"
        << "const int laufschriftMaskRowCount = " << bottom - top + 1 << "; // pixels\n\n"
        << "// clang-format off\n"
        << "const char* const laufschriftMaskRows[] = {\n";
    for (int y = top; y <= bottom; ++y) {
        std::string row;
        for (int x = left; x <= right; ++x) {
            row += white[static_cast<std::size_t>(y) * PictureWidth + x] ? '#' : '.';
        }
        out << "    \"" << row << "\",\n";
    }
    out << "};\n// clang-format on\n\n} // namespace vantrel\n";
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    std::fputs(choices.c_str(), stdout);
    return 0;
}
