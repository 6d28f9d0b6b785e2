// The gradient button's face: the pieces' geometry for the dialog's two sizes and for tiny faces,
// the gradient colours and rows, and the unfiltered stretch's choice of source pixels.
#include "shell/controls/button_face.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmoria {
namespace {

const FacePiece* Piece(const std::vector<FacePiece>& pieces, const std::string& name) {
    for (const FacePiece& piece : pieces) {
        if (name == piece.name) {
            return &piece;
        }
    }
    return nullptr;
}

TEST(FacePieces, DialogSizesInPaintingOrder) {
    struct Expected {
        const char* name;
        PieceRect source;
        PieceRect target;
    };
    // 1155 x 375 twips: 77 x 25 pixels.
    const Expected large[] = {
        {"top-left", {0, 0, 4, 4}, {0, 0, 4, 4}},
        {"top", {4, 0, 56, 4}, {4, 0, 69, 4}},
        {"top-right", {60, 0, 4, 4}, {73, 0, 4, 4}},
        {"right", {60, 4, 4, 17}, {73, 4, 4, 17}},
        {"bottom-right", {60, 21, 4, 4}, {73, 21, 4, 4}},
        {"bottom", {4, 21, 56, 4}, {4, 21, 69, 4}},
        {"bottom-left", {0, 21, 4, 4}, {0, 21, 4, 4}},
        {"left", {0, 4, 4, 17}, {0, 4, 4, 17}},
    };
    const std::vector<FacePiece> pieces = FacePieces(1155, 375);
    ASSERT_EQ(pieces.size(), 8u);
    for (size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_STREQ(pieces[i].name, large[i].name);
        EXPECT_EQ(pieces[i].source, large[i].source) << large[i].name;
        EXPECT_EQ(pieces[i].target, large[i].target) << large[i].name;
    }
    // 615 x 315 twips: 41 x 21 pixels, edges shrunk to 33 and 13.
    const std::vector<FacePiece> small = FacePieces(615, 315);
    EXPECT_EQ(Piece(small, "top")->target, (PieceRect{4, 0, 33, 4}));
    EXPECT_EQ(Piece(small, "bottom")->target, (PieceRect{4, 17, 33, 4}));
    EXPECT_EQ(Piece(small, "left")->target, (PieceRect{0, 4, 4, 13}));
    EXPECT_EQ(Piece(small, "right")->target, (PieceRect{37, 4, 4, 13}));
    EXPECT_EQ(Piece(small, "bottom-right")->target, (PieceRect{37, 17, 4, 4}));
}

TEST(FacePieces, TinyFacesKeepTheirCornersAndDropNonPositiveEdges) {
    // 8 pixels wide: the top and bottom edges come out at 0 and are left out.
    const std::vector<FacePiece> eight = FacePieces(120, 375);
    EXPECT_EQ(Piece(eight, "top"), nullptr);
    EXPECT_EQ(Piece(eight, "bottom"), nullptr);
    EXPECT_NE(Piece(eight, "left"), nullptr);
    EXPECT_EQ(Piece(eight, "top-right")->target, (PieceRect{4, 0, 4, 4}));
    // 3 x 2 pixels: four corners only, overlapping, never an edge of negative size.
    const std::vector<FacePiece> tiny = FacePieces(45, 30);
    ASSERT_EQ(tiny.size(), 4u);
    for (const FacePiece& piece : tiny) {
        EXPECT_EQ(piece.target.width, 4);
        EXPECT_EQ(piece.target.height, 4);
    }
    EXPECT_EQ(Piece(tiny, "bottom-right")->target, (PieceRect{-1, -2, 4, 4}));
}

// On a denser display the frame keeps its look: corners of 4 x ring pixels, edges stretched
// only along their length, the same source pieces.
TEST(FacePieces, DenserDisplaysWidenTheFrameByWholePixels) {
    struct Case {
        int dpi;
        int ring;
        int width, height;  // the 77 x 25 button at that scale
    };
    const Case cases[] = {
        {96, 1, 77, 25}, {120, 1, 96, 31}, {144, 2, 116, 38}, {168, 2, 135, 44}, {192, 2, 154, 50}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        ASSERT_EQ(FaceRing(c.dpi), c.ring);
        const std::vector<FacePiece> pieces = FacePiecesAt(c.width, c.height, c.ring);
        const std::vector<FacePiece> design = FacePieces(1155, 375);
        ASSERT_EQ(pieces.size(), 8u);
        const int corner = 4 * c.ring;
        for (size_t i = 0; i < pieces.size(); ++i) {
            EXPECT_EQ(pieces[i].source, design[i].source) << pieces[i].name;
        }
        EXPECT_EQ(Piece(pieces, "top-left")->target, (PieceRect{0, 0, corner, corner}));
        EXPECT_EQ(Piece(pieces, "top")->target,
                  (PieceRect{corner, 0, c.width - 2 * corner, corner}));
        EXPECT_EQ(Piece(pieces, "bottom-right")->target,
                  (PieceRect{c.width - corner, c.height - corner, corner, corner}));
        EXPECT_EQ(Piece(pieces, "left")->target,
                  (PieceRect{0, corner, corner, c.height - 2 * corner}));
    }
    // At one ring the pixel geometry is the twips geometry.
    for (const int widthTwips : {615, 1155, 1160, 45}) {
        const std::vector<FacePiece> twips = FacePieces(widthTwips, 375);
        const std::vector<FacePiece> pixels = FacePiecesAt(TwipsToPixels(widthTwips), 25, 1);
        ASSERT_EQ(twips.size(), pixels.size());
        for (size_t i = 0; i < twips.size(); ++i) {
            EXPECT_EQ(twips[i].target, pixels[i].target) << widthTwips << " " << twips[i].name;
        }
    }
    EXPECT_EQ(TwipsToPixelsAt(195, 96), 13);   // the caption's height
    EXPECT_EQ(TwipsToPixelsAt(195, 144), 20);  // 19.5, to the nearest
    EXPECT_EQ(TwipsToPixelsAt(72.5, 144), 7);
}

TEST(FaceGradient, ColourTextsReadAsRedGreenBluePairs) {
    Colour16 colour;
    ASSERT_TRUE(ParseGradientColourText("&HC6C5D7", colour));
    EXPECT_EQ(colour.red, 0xC600);
    EXPECT_EQ(colour.green, 0xC500);
    EXPECT_EQ(colour.blue, 0xD700);
    for (const char* bad : {"", "&H", "&HC6C5D", "&HC6C5D7F", "#C6C5D7", "&HC6C5DX", "HC6C5D7"}) {
        EXPECT_FALSE(ParseGradientColourText(bad, colour)) << bad;
    }
    const FaceGradient normal = FaceGradientColours(false);
    const FaceGradient reversed = FaceGradientColours(true);
    EXPECT_EQ(normal.top.red, 0xFF00);
    EXPECT_EQ(normal.bottom.blue, 0xD700);
    EXPECT_EQ(reversed.top.red, 0xC600);
    EXPECT_EQ(reversed.bottom.green, 0xFF00);
}

TEST(FaceGradient, RowsAsGradientFillComputesThem) {
    // Measured from GradientFill for a 25-pixel-high face (24 rows from vertex to vertex).
    const FaceGradient normal = FaceGradientColours(false);
    EXPECT_EQ(GradientRowColour(normal, 0, 24), 0xFFFFFFu);
    EXPECT_EQ(GradientRowColour(normal, 1, 24), 0xFCFCFDu);
    EXPECT_EQ(GradientRowColour(normal, 12, 24), 0xE2E2EBu);
    EXPECT_EQ(GradientRowColour(normal, 23, 24), 0xC8C7D8u);
    EXPECT_EQ(GradientRowColour(normal, 24, 24), 0xC6C5D7u);
    const FaceGradient reversed = FaceGradientColours(true);
    EXPECT_EQ(GradientRowColour(reversed, 0, 24), 0xC6C5D7u);
    EXPECT_EQ(GradientRowColour(reversed, 1, 2), 0xE2E2EBu);
}

TEST(StretchSourceIndices, AsGdiPicksThemForTheFaceEdges) {
    using V = std::vector<int>;
    // Measured from StretchBlt in COLORONCOLOR mode.
    EXPECT_EQ(StretchSourceIndices(3, 7, StretchAxis::Horizontal), (V{0, 0, 1, 1, 1, 2, 2}));
    EXPECT_EQ(StretchSourceIndices(17, 13, StretchAxis::Horizontal),
              (V{0, 2, 3, 4, 6, 7, 8, 9, 11, 12, 13, 15, 16}));
    EXPECT_EQ(StretchSourceIndices(17, 13, StretchAxis::Vertical),
              (V{0, 1, 3, 4, 5, 7, 8, 9, 10, 12, 13, 14, 16}));
    EXPECT_EQ(StretchSourceIndices(17, 11, StretchAxis::Vertical),
              (V{0, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15}));
    EXPECT_EQ(StretchSourceIndices(5, 1, StretchAxis::Horizontal), (V{3}));
    EXPECT_EQ(StretchSourceIndices(5, 1, StretchAxis::Vertical), (V{0}));
    EXPECT_EQ(StretchSourceIndices(4, 0, StretchAxis::Vertical), V{});
}

TEST(StretchSourceIndices, StayInsideTheSourceAndNeverGoBack) {
    for (const StretchAxis axis : {StretchAxis::Horizontal, StretchAxis::Vertical}) {
        for (int source = 1; source <= 70; ++source) {
            for (int target = 1; target <= 140; ++target) {
                const std::vector<int> indices = StretchSourceIndices(source, target, axis);
                ASSERT_EQ(indices.size(), static_cast<size_t>(target));
                for (size_t i = 0; i < indices.size(); ++i) {
                    ASSERT_GE(indices[i], 0);
                    ASSERT_LT(indices[i], source);
                    if (i > 0) {
                        ASSERT_GE(indices[i], indices[i - 1]) << source << " -> " << target;
                    }
                }
                if (target == source) {
                    EXPECT_EQ(indices.back(), source - 1);
                }
            }
        }
    }
}

}  // namespace
}  // namespace velmoria
