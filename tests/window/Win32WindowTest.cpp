// The Windows editor in a real window system (wine64 drawing into a fresh
// Xvfb): a host's top-level window, the editor opened into it by its HWND,
// exactly one child of the editor's size, showing the headless render
// pixel for pixel; and open / close cycles that leave no window behind.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/host/PluginFixture.h"
#include "tests/window/GoldenPixels.h"

namespace {

LRESULT CALLBACK hostWindowProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    return DefWindowProcW(window, message, w, l);
}

class Win32Window : public hosttest::PluginFixture {
  protected:
    void SetUp() override {
        PluginFixture::SetUp();
        WNDCLASSW c{};
        c.lpfnWndProc = hostWindowProcedure;
        c.hInstance = GetModuleHandleW(nullptr);
        c.lpszClassName = L"LumavoxTestHost";
        RegisterClassW(&c);
        top_ = CreateWindowExW(0, L"LumavoxTestHost", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                               0, 800, 700, nullptr, nullptr, c.hInstance, nullptr);
        ASSERT_NE(top_, nullptr);
        pump();
    }
    void TearDown() override {
        PluginFixture::TearDown();
        if (top_) DestroyWindow(top_);
    }

    // The host's message loop and idle calls, for a while.
    void pump(int rounds = 5) {
        for (int i = 0; i < rounds; ++i) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            if (plugin) dispatch(effEditIdle);
            Sleep(20);
        }
    }
    std::vector<HWND> children() {
        std::vector<HWND> found;
        EnumChildWindows(
            top_,
            [](HWND child, LPARAM list) -> BOOL {
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }

    HWND top_ = nullptr;
};

TEST_F(Win32Window, TheEditorIsOneChildOfItsSizeShowingTheHeadlessRender) {
    ERect* rect = nullptr;
    ASSERT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 688);
    EXPECT_EQ(rect->bottom - rect->top, 604);
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, top_), 1);
    pump();
    const std::vector<HWND> editor = children();
    ASSERT_EQ(editor.size(), 1u);
    RECT client;
    GetClientRect(editor[0], &client);
    EXPECT_EQ(client.right - client.left, 688);
    EXPECT_EQ(client.bottom - client.top, 604);

    // What the window shows, read back from its device context.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 688;
    info.bmiHeader.biHeight = -604;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC window = GetDC(editor[0]);
    HDC memory = CreateCompatibleDC(window);
    HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, section);
    BitBlt(memory, 0, 0, 688, 604, window, 0, 0, SRCCOPY);
    GdiFlush();
    const platform::Image golden = windowtest::goldenEditor();
    ASSERT_EQ(golden.width, 688) << "cannot read " << LUMAVOX_EDITOR_GOLDEN;
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    std::string report;
    const int differing = windowtest::countDifferences(
        golden, [&](int x, int y) { return pixels[y * 688 + x]; }, report);
    SelectObject(memory, old);
    DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(editor[0], window);
    EXPECT_EQ(differing, 0) << report;

    dispatch(effEditClose);
    pump(1);
    EXPECT_TRUE(children().empty());
}

TEST_F(Win32Window, OpenAndCloseCyclesLeaveNoWindowBehind) {
    for (int cycle = 0; cycle < 20; ++cycle) {
        ASSERT_EQ(dispatch(effEditOpen, 0, 0, top_), 1);
        pump(1);
        dispatch(effEditClose);
    }
    EXPECT_TRUE(children().empty());
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, nullptr), 0);
}

}  // namespace
