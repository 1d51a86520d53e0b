// The stand-in's font service as the renderer uses it, against the GL recorder: which lists
// wglUseFontBitmapsA compiles, what each glyph bitmap carries, and the per-DC selection.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <set>

#include "demo_requests.h"
#include "platform/core/core.h"
#include "platform/core/font_objects.h"
#include "trace.h"

namespace {

HDC MadeUpDc(std::uintptr_t value) { return reinterpret_cast<HDC>(value); }

struct Glyph {
    bool hasBitmap = false;
    GlCall bitmap{};
};

// Builds the lists for codes 32..254 at list 1000 and reads back one entry per list.
std::map<DWORD, Glyph> BuildLists(HDC dc) {
    recorder::SetRecording(true);
    recorder::Reset();
    EXPECT_TRUE(wglUseFontBitmapsA(dc, 32, 223, 1000));
    const Trace t = TakeTrace();
    EXPECT_EQ(recorder::Dropped(), 0);
    std::map<DWORD, Glyph> glyphs;
    EXPECT_EQ(t.front().fn, Gl::PushClientAttrib);
    EXPECT_EQ(t.back().fn, Gl::PopClientAttrib);
    EXPECT_EQ(Count(t, Gl::NewList), 223);
    EXPECT_EQ(Count(t, Gl::EndList), 223);
    DWORD code = 32;
    for (int i = Find(t, Gl::NewList); i >= 0; i = Find(t, Gl::NewList, i + 1), ++code) {
        EXPECT_EQ(t[i].arg[0], 1000.0 + (code - 32)) << code;
        EXPECT_EQ(t[i].arg[1], double(GL_COMPILE));
        Glyph g;
        if (t[i + 1].fn == Gl::Bitmap) {
            g.hasBitmap = true;
            g.bitmap = t[i + 1];
            EXPECT_EQ(t[i + 2].fn, Gl::EndList) << code;
        } else {
            EXPECT_EQ(t[i + 1].fn, Gl::EndList) << code;
        }
        glyphs[code] = g;
    }
    EXPECT_EQ(code, 255u);
    return glyphs;
}

// Arial Bold's advance widths in font units of a 2048 em (Liberation Sans Bold keeps them),
// at the 20 px em height the demo asks for, rounded to whole pixels.
double ArialAdvance(int units) { return units * 20.0 / 2048.0; }

TEST(GlyphLists, ArialBoldAt20PixelsGivesOneBitmapListPerCode) {
    const HDC dc = MadeUpDc(0xA1);
    const HFONT font = DemoFont();
    ASSERT_NE(font, nullptr);
    const HGDIOBJ previous = SelectObject(dc, font);
    EXPECT_NE(previous, nullptr);
    const std::map<DWORD, Glyph> glyphs = BuildLists(dc);

    const struct {
        DWORD code;
        int units;
    } advances[] = {{'A', 1479}, {'i', 569}, {'W', 1933}, {' ', 569}, {'#', 1139}, {'0', 1139}};
    for (const auto& a : advances) {
        const Glyph& g = glyphs.at(a.code);
        ASSERT_TRUE(g.hasBitmap) << a.code;
        EXPECT_NEAR(g.bitmap.arg[4], ArialAdvance(a.units), 0.5) << "advance of " << char(a.code);
        EXPECT_EQ(g.bitmap.arg[5], 0.0);
    }
    // A space advances without setting a pixel; letters set some.
    EXPECT_EQ(glyphs.at(' ').bitmap.arg[6], 0.0);
    EXPECT_GT(glyphs.at('A').bitmap.arg[6], 30.0);

    // 'H' stands on the baseline: origin at its bottom row, about a cap height (0.716 em) tall.
    const GlCall& h = glyphs.at('H').bitmap;
    EXPECT_NEAR(h.arg[1], 0.716 * 20, 1.5);
    EXPECT_EQ(h.arg[3], 0.0);
    // 'g' hangs below it: the origin lies above the bitmap's bottom.
    EXPECT_GT(glyphs.at('g').bitmap.arg[3], 2.0);

    // Windows-1252: 0x80 is the euro sign and 0xE9 e acute, both in the face; 0x81 is a hole.
    EXPECT_TRUE(glyphs.at(0x80).hasBitmap);
    EXPECT_GT(glyphs.at(0x80).bitmap.arg[6], 10.0);
    EXPECT_TRUE(glyphs.at(0xE9).hasBitmap);
    EXPECT_FALSE(glyphs.at(0x81).hasBitmap);

    EXPECT_EQ(SelectObject(dc, previous), font);
    EXPECT_TRUE(DeleteObject(font));
}

TEST(GlyphLists, ADcWithoutTheFontGetsListsThatDrawNothing) {
    const std::map<DWORD, Glyph> glyphs = BuildLists(MadeUpDc(0xB2));
    for (const auto& [code, glyph] : glyphs) {
        EXPECT_FALSE(glyph.hasBitmap) << code;
    }
}

TEST(GlyphLists, SelectionsAreKeptPerDcAndDeletionLeavesNoDanglingFont) {
    const HDC first = MadeUpDc(0xC3);
    const HDC second = MadeUpDc(0xC4);
    const HFONT font = DemoFont();
    const HGDIOBJ stock = SelectObject(first, font);
    EXPECT_EQ(SelectObject(second, font), stock) << "a fresh DC starts with the stock font";
    EXPECT_EQ(SelectObject(second, stock), font);
    EXPECT_EQ(SelectObject(first, font), font);
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_FALSE(DeleteObject(font)) << "already gone";
    EXPECT_EQ(SelectObject(first, font), nullptr) << "a deleted font cannot be selected";
    EXPECT_FALSE(BuildLists(first).at('A').hasBitmap);
    EXPECT_FALSE(DeleteObject(nullptr));
}

// GetCharWidth32A reports for each code what its list advances by, the codes without a glyph
// included; it fills one entry a code and fails on a reversed range or a missing buffer.
TEST(GlyphLists, CharacterWidthsAreTheListsAdvances) {
    const HDC dc = MadeUpDc(0xD5);
    const HFONT font = DemoFont();
    const HGDIOBJ previous = SelectObject(dc, font);
    const std::map<DWORD, Glyph> glyphs = BuildLists(dc);
    INT widths[223];
    ASSERT_TRUE(GetCharWidth32A(dc, 32, 254, widths));
    for (const auto& [code, glyph] : glyphs) {
        const double advance = glyph.hasBitmap ? glyph.bitmap.arg[4] : 0.0;
        EXPECT_EQ(widths[code - 32], advance) << code;
    }
    EXPECT_GT(widths['A' - 32], 0);
    EXPECT_EQ(widths[0x81 - 32], 0) << "a hole of the code page has no glyph";

    INT sentinel[3] = {-1, -1, -1};
    ASSERT_TRUE(GetCharWidth32A(dc, 'W', 'W', sentinel));
    EXPECT_EQ(sentinel[0], widths['W' - 32]);
    EXPECT_EQ(sentinel[1], -1) << "one entry for one code";
    EXPECT_FALSE(GetCharWidth32A(dc, 'B', 'A', sentinel));
    EXPECT_FALSE(GetCharWidth32A(dc, 'A', 'B', nullptr));

    // The stock font has no glyphs here, so nothing in it has a width.
    EXPECT_EQ(SelectObject(dc, previous), font);
    ASSERT_TRUE(GetCharWidth32A(dc, 'A', 'A', sentinel));
    EXPECT_EQ(sentinel[0], 0);
    EXPECT_TRUE(DeleteObject(font));
}

// The window layer forgets a DC when its window dies: the next DC with that value (or a test
// reusing it) starts over with the stock font, and no table fills up however many come.
TEST(GlyphLists, AForgottenDcStartsOverWithTheStockFontAndDcsNeverRunOut) {
    const HFONT font = DemoFont();
    const HDC dc = MadeUpDc(0xD5);
    const HGDIOBJ stock = SelectObject(dc, font);
    ASSERT_NE(stock, nullptr);
    standin::ForgetDeviceContext(dc);
    EXPECT_FALSE(BuildLists(dc).at('A').hasBitmap) << "the selection went with the DC";
    EXPECT_EQ(SelectObject(dc, font), stock);
    standin::ForgetDeviceContext(dc);
    for (std::uintptr_t n = 0; n < 10000; ++n) {
        const HDC fresh = MadeUpDc(0x100000 + n * 4);
        ASSERT_EQ(SelectObject(fresh, font), stock) << "DC number " << n;
        standin::ForgetDeviceContext(fresh);
    }
    const HDC last = MadeUpDc(0xE6);
    SelectObject(last, font);
    EXPECT_TRUE(BuildLists(last).at('A').hasBitmap);
    SelectObject(last, stock);
    EXPECT_TRUE(DeleteObject(font));
}

TEST(GlyphLists, ADeletedFontsHandleNeverStandsForALaterFont) {
    const HDC dc = MadeUpDc(0xF7);
    const HFONT first = DemoFont();
    EXPECT_TRUE(DeleteObject(first));
    for (int n = 0; n < 1000; ++n) {
        const HFONT later = DemoFont();
        ASSERT_NE(later, first);
        EXPECT_EQ(SelectObject(dc, first), nullptr);
        EXPECT_TRUE(DeleteObject(later));
    }
    EXPECT_FALSE(DeleteObject(first));
}

// Fonts take their handles from the allocator that gives windows, device contexts and GL
// contexts theirs: each F1 switch makes one of each, and however long the demo runs no font
// may ever share a number with a window or a DC.
TEST(Handles, NoTwoHandlesOfAnyKindAreEverEqual) {
    std::set<std::uintptr_t> seen{standin::kStockFont};
    for (int n = 0; n < 100000; ++n) {
        std::uintptr_t handle = 0;
        if (n % 100 == 0) {
            const HFONT font = DemoFont();
            handle = reinterpret_cast<std::uintptr_t>(font);
            EXPECT_TRUE(DeleteObject(font));
        } else {
            handle = standin::NewHandle();  // as a window, a DC or a context gets it
        }
        ASSERT_TRUE(seen.insert(handle).second) << "handle number " << n << " is " << handle;
    }
}

}  // namespace
