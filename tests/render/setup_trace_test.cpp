// The GL calls of the projection, the fixed render state, the font build and the printer.
#include <gtest/gtest.h>

#include <string>

#include "common/demo_state.h"
#include "render/render.h"
#include "trace.h"

namespace {

class SetupTrace : public ::testing::Test {
protected:
    void SetUp() override {
        recorder::SetRecording(true);
        recorder::Reset();
    }
};

void ExpectProjection(const Trace& t, double width, double height, double aspect) {
    ASSERT_EQ(t.size(), 6u);
    EXPECT_EQ(t[0].fn, Gl::Viewport);
    EXPECT_EQ(t[0].arg[0], 0.0);
    EXPECT_EQ(t[0].arg[1], 0.0);
    EXPECT_EQ(t[0].arg[2], width);
    EXPECT_EQ(t[0].arg[3], height);
    EXPECT_EQ(t[1].fn, Gl::MatrixMode);
    EXPECT_EQ(t[1].arg[0], double(GL_PROJECTION));
    EXPECT_EQ(t[2].fn, Gl::LoadIdentity);
    EXPECT_EQ(t[3].fn, Gl::GluPerspective);
    EXPECT_EQ(t[3].arg[0], 45.0);
    EXPECT_DOUBLE_EQ(t[3].arg[1], aspect);
    EXPECT_EQ(t[3].arg[2], double(0.1f));
    EXPECT_EQ(t[3].arg[3], 100.0);
    EXPECT_EQ(t[4].fn, Gl::MatrixMode);
    EXPECT_EQ(t[4].arg[0], double(GL_MODELVIEW));
    EXPECT_EQ(t[5].fn, Gl::LoadIdentity);
}

TEST_F(SetupTrace, ResizeViewportSetsViewportAndPerspective) {
    ResizeViewport(640, 480);
    ExpectProjection(TakeTrace(), 640, 480, 4.0 / 3.0);

    recorder::Reset();
    ResizeViewport(800, 0);  // a collapsed window: one pixel high, aspect = width
    ExpectProjection(TakeTrace(), 800, 1, 800.0);

    recorder::Reset();
    ResizeViewport(0, 300);  // only the height is guarded
    ExpectProjection(TakeTrace(), 0, 300, 0.0);
}

TEST_F(SetupTrace, InitRenderStateSetsTheFixedStateThenBuildsTheFont) {
    EXPECT_TRUE(InitRenderState());
    const Trace t = TakeTrace();
    ASSERT_GE(t.size(), 7u);
    EXPECT_EQ(t[0].fn, Gl::ShadeModel);
    EXPECT_EQ(t[0].arg[0], double(GL_SMOOTH));
    EXPECT_EQ(t[1].fn, Gl::ClearColor);
    EXPECT_EQ(F(t[1].arg[0]), 0.0f);
    EXPECT_EQ(F(t[1].arg[1]), 0.0f);
    EXPECT_EQ(F(t[1].arg[2]), 0.0f);
    EXPECT_EQ(F(t[1].arg[3]), 0.5f);
    EXPECT_EQ(t[2].fn, Gl::ClearDepth);
    EXPECT_EQ(t[2].arg[0], 1.0);
    EXPECT_EQ(t[3].fn, Gl::Enable);
    EXPECT_EQ(t[3].arg[0], double(GL_DEPTH_TEST));
    EXPECT_EQ(t[4].fn, Gl::DepthFunc);
    EXPECT_EQ(t[4].arg[0], double(GL_LEQUAL));
    EXPECT_EQ(t[5].fn, Gl::Hint);
    EXPECT_EQ(t[5].arg[0], double(GL_PERSPECTIVE_CORRECTION_HINT));
    EXPECT_EQ(t[5].arg[1], double(GL_NICEST));
    EXPECT_EQ(t[6].fn, Gl::GenLists);
    // The model-view matrix mode left by ResizeViewport stays selected.
    EXPECT_EQ(Count(t, Gl::MatrixMode), 0);
}

TEST_F(SetupTrace, BuildTextFontReservesEveryListItFills) {
    demoState.deviceContext = reinterpret_cast<HDC>(std::uintptr_t{0xD0C});
    const GLuint taken = glGenLists(5);  // somebody else's lists come first
    recorder::Reset();
    BuildTextFont();
    const Trace t = TakeTrace();
    ASSERT_EQ(t.size(), 6u);

    EXPECT_EQ(t[0].fn, Gl::GenLists);
    EXPECT_EQ(t[0].arg[0], 254.0 - 32.0 + 1.0);
    EXPECT_EQ(demoState.fontListBase, taken + 5);

    const GlCall& font = t[1];
    EXPECT_EQ(font.fn, Gl::CreateFont);
    const double expected[13] = {
        -20, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 4, CLIP_DEFAULT_PRECIS, 4, 0};
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(font.arg[i], expected[i]) << "argument " << i + 1;
    }
    EXPECT_EQ(std::string(font.text), "Arial");
    const double handle = font.arg[13];

    const double dc = double(0xD0C);
    EXPECT_EQ(t[2].fn, Gl::SelectObject);
    EXPECT_EQ(t[2].arg[0], dc);
    EXPECT_EQ(t[2].arg[1], handle);
    EXPECT_EQ(t[3].fn, Gl::UseFontBitmaps);
    EXPECT_EQ(t[3].arg[0], dc);
    EXPECT_EQ(t[3].arg[1], 32.0);
    EXPECT_EQ(t[3].arg[2], 223.0);
    EXPECT_EQ(t[3].arg[3], double(taken + 5));
    EXPECT_EQ(t[4].fn, Gl::SelectObject);  // the earlier selection back
    EXPECT_EQ(t[4].arg[0], dc);
    EXPECT_NE(t[4].arg[1], handle);
    EXPECT_EQ(t[5].fn, Gl::DeleteObject);
    EXPECT_EQ(t[5].arg[0], handle);

    // The next reservation starts after the last glyph list (code 254).
    recorder::Reset();
    EXPECT_EQ(glGenLists(1), taken + 5 + (254u - 32u) + 1u);
}

class PrintTrace : public SetupTrace {
protected:
    void SetUp() override {
        SetupTrace::SetUp();
        demoState.fontListBase = 1000;
    }
    // The list base pushed, offset by the first code, the bytes called, the base popped.
    std::string Printed(const Trace& t) {
        EXPECT_EQ(t.size(), 4u);
        if (t.size() != 4u) {
            return {};
        }
        EXPECT_EQ(t[0].fn, Gl::PushAttrib);
        EXPECT_EQ(t[0].arg[0], double(GL_LIST_BIT));
        EXPECT_EQ(t[1].fn, Gl::ListBase);
        EXPECT_EQ(t[1].arg[0], 1000.0 - 32.0);
        EXPECT_EQ(t[2].fn, Gl::CallLists);
        EXPECT_EQ(t[2].arg[1], double(GL_UNSIGNED_BYTE));
        EXPECT_EQ(t[2].arg[0], double(t[2].textLength));
        EXPECT_EQ(t[3].fn, Gl::PopAttrib);
        return std::string(t[2].text, static_cast<std::size_t>(t[2].textLength));
    }
};

TEST_F(PrintTrace, FormatsAndDrawsOneListPerByte) {
    PrintText("READY.");
    EXPECT_EQ(Printed(TakeTrace()), "READY.");
    recorder::Reset();
    PrintText("%d BASIC %s %c", 38911, "BYTES", 'F');
    EXPECT_EQ(Printed(TakeTrace()), "38911 BASIC BYTES F");
}

TEST_F(PrintTrace, ANullFormatTouchesNothing) {
    const char* volatile nothing = nullptr;
    // The build warns of a format that is no literal, which is what this test passes on purpose.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-security"
    PrintText(nothing);
#pragma GCC diagnostic pop
    EXPECT_TRUE(TakeTrace().empty());
}

TEST_F(PrintTrace, AnEmptyTextCallsNoList) {
    PrintText("%s", "");
    const Trace t = TakeTrace();
    EXPECT_EQ(Printed(t), "");
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[2].arg[0], 0.0);
}

// The buffer holds 255 bytes and the terminator: a longer expansion is cut there.
TEST_F(PrintTrace, ALongerExpansionIsCutAt255Bytes) {
    std::string longText;
    for (int i = 0; i < 400; ++i) {
        longText += static_cast<char>('A' + i % 26);
    }
    PrintText("%s", longText.c_str());
    EXPECT_EQ(Printed(TakeTrace()), longText.substr(0, 255));

    recorder::Reset();
    PrintText("%s", longText.substr(0, 255).c_str());
    EXPECT_EQ(Printed(TakeTrace()), longText.substr(0, 255));

    recorder::Reset();
    PrintText("%s!", longText.substr(0, 254).c_str());
    EXPECT_EQ(Printed(TakeTrace()), longText.substr(0, 254) + "!");
}

}  // namespace
