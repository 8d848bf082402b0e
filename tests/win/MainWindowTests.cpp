// The main window and the About box, driven through their real modal loops.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <vector>

#include "app/TarvelDlg.h"
#include "controls/TransparentStatic.h"
#include "device/DeviceControl.h"
#include "framework/WinApp.h"
#include "platform/win32/Win32Platform.h"
#include "res/resource.h"
#include "sim/SimMachine.h"
#include "tests/win/ModalDriver.h"

namespace
{
constexpr const char* kMainTitle = "Brask Quelo Audio Control Panel";
constexpr const char* kAboutTitle = "About Brask Quelo Audio Control Panel";

// Records what the window looked like when the framework destroyed it, and lets the tests
// look at the session and the flags.
class CRecordingDlg : public CTarvelDlg
{
public:
    explicit CRecordingDlg(const Platform& platform) : CTarvelDlg(platform) {}

    using CTarvelDlg::m_bDevicePresent;
    using CTarvelDlg::m_pDevice;
    using CTarvelDlg::m_status;

    BOOL DestroyWindow() override
    {
        ++m_nDestroyCalls;
        m_bVisibleAtDestroy = ::IsWindowVisible(m_hWnd) != FALSE;
        m_bWindowAtDestroy = ::IsWindow(m_hWnd) != FALSE;
        return CTarvelDlg::DestroyWindow();
    }

    int m_nDestroyCalls = 0;
    bool m_bVisibleAtDestroy = true;
    bool m_bWindowAtDestroy = false;
};

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override { m_app.m_pMainWnd = &m_dlg; }
    void TearDown() override { m_app.m_pMainWnd = nullptr; }

    CWinApp m_app;
    // Windows XP on x86 without the device, unless a test says otherwise.
    CSimMachine m_sim{SimOs::WindowsXpX86()};
    CRecordingDlg m_dlg{m_sim.GetPlatform()};
};

std::vector<HWND> ChildWindows(HWND hParent)
{
    std::vector<HWND> children;
    for (HWND h = ::GetWindow(hParent, GW_CHILD); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT))
        children.push_back(h);
    return children;
}
}  // namespace

TEST_F(MainWindowTest, OpensEmptyWithIconsAndHiddenStatusLineWhenThePlatformIsUnknown)
{
    m_sim.Os().bVersionFails = true;
    HICON hAppIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    RunWhenIdle([&] {
        HWND hDlg = m_dlg.m_hWnd;
        CEndDialogOnExit end(hDlg);
        EXPECT_TRUE(::IsWindowVisible(hDlg));
        EXPECT_EQ(WindowText(hDlg), kMainTitle);
        EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(hDlg, WM_GETICON, ICON_BIG, 0)), hAppIcon);
        EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(hDlg, WM_GETICON, ICON_SMALL, 0)), hAppIcon);
        EXPECT_EQ(::SendMessageA(::GetDlgItem(hDlg, IDC_TAB), TCM_GETITEMCOUNT, 0, 0), 0);
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(hDlg, IDC_STATUS)));
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(hDlg, IDOK)));
        // Only the template's own controls: no page was created.
        EXPECT_EQ(ChildWindows(hDlg).size(), 3u);
        EXPECT_EQ(::SendMessageA(hDlg, WM_QUERYDRAGICON, 0, 0), reinterpret_cast<LRESULT>(hAppIcon));
        // Set-up stopped before the status line's colour and the first open.
        EXPECT_EQ(m_dlg.m_status.m_crText, RGB(0, 0, 0));
        EXPECT_EQ(m_sim.Calls(SimCall::GetClassDevs), 0);
        EXPECT_FALSE(m_dlg.m_bDevicePresent);
    });
    EXPECT_EQ(m_dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(m_dlg.m_pDevice, nullptr);
    EXPECT_EQ(m_sim.Leftovers(), "");
}

TEST_F(MainWindowTest, OpensThePresentDeviceAtStartAndClosesItWhenDestroyed)
{
    m_sim.AddAudioDevice("Quorvane", "USB\\VID_2B91&PID_4C07&MI_01\\7&1A2B3C4D&0&0001");
    RunWhenIdle([&] {
        CEndDialogOnExit end(m_dlg.m_hWnd);
        ASSERT_NE(m_dlg.m_pDevice, nullptr);
        EXPECT_TRUE(m_dlg.m_pDevice->IsOpen());
        EXPECT_TRUE(m_dlg.m_bDevicePresent);
        EXPECT_NE(m_sim.Leftovers(), "") << "the filter is held open while the panel runs";
        EXPECT_EQ(m_dlg.m_status.m_crText, RGB(127, 0, 0));
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(m_dlg.m_hWnd, IDC_STATUS)));
    });
    EXPECT_EQ(m_dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(m_dlg.m_nDestroyCalls, 1);
    EXPECT_EQ(m_dlg.m_pDevice, nullptr);
    EXPECT_EQ(m_sim.Leftovers(), "") << "the session was closed and deleted";
}

TEST_F(MainWindowTest, StartsWithTheDeviceAbsentWhenTheFirstOpenFails)
{
    m_sim.AddAudioDevice("Quorvane", "USB\\VID_2B91&PID_4C07&MI_01\\7&1A2B3C4D&0&0001").bOpenFails = true;
    RunWhenIdle([&] {
        CEndDialogOnExit end(m_dlg.m_hWnd);
        ASSERT_NE(m_dlg.m_pDevice, nullptr);
        EXPECT_TRUE(m_dlg.m_pDevice->IsPlatformKnown());
        EXPECT_FALSE(m_dlg.m_pDevice->IsOpen());
        EXPECT_FALSE(m_dlg.m_bDevicePresent);
        EXPECT_EQ(m_sim.Leftovers(), "");
    });
    m_dlg.DoModal();
    EXPECT_EQ(m_dlg.m_pDevice, nullptr);
}

TEST(MainWindowOnWine, KnowsThePlatformAndFindsNoDevice)
{
    CRecordingDlg dlg(GetWin32Platform());
    bool bKnown = false, bOpen = true;
    RunWhenIdle([&] {
        CEndDialogOnExit end(dlg.m_hWnd);
        ASSERT_NE(dlg.m_pDevice, nullptr);
        bKnown = dlg.m_pDevice->IsPlatformKnown();
        bOpen = dlg.m_pDevice->IsOpen();
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(bKnown);
    EXPECT_FALSE(bOpen);
    EXPECT_FALSE(dlg.m_bDevicePresent);
}

TEST_F(MainWindowTest, SetStatusTextWritesTheLineThenShowsOrHidesIt)
{
    RunWhenIdle([&] {
        CEndDialogOnExit end(m_dlg.m_hWnd);
        HWND hStatus = ::GetDlgItem(m_dlg.m_hWnd, IDC_STATUS);
        m_dlg.SetStatusText("Stop player before new audio format setting takes effect.", SW_SHOW);
        EXPECT_TRUE(::IsWindowVisible(hStatus));
        EXPECT_EQ(WindowText(hStatus), "Stop player before new audio format setting takes effect.");
        // No text: the line keeps what it shows and only changes its visibility.
        m_dlg.SetStatusText(nullptr, SW_HIDE);
        EXPECT_FALSE(::IsWindowVisible(hStatus));
        EXPECT_EQ(WindowText(hStatus), "Stop player before new audio format setting takes effect.");
    });
    m_dlg.DoModal();
}

TEST_F(MainWindowTest, SystemMenuEndsWithSeparatorAndAboutEntry)
{
    RunWhenIdle([&] {
        CEndDialogOnExit end(m_dlg.m_hWnd);
        HMENU hMenu = ::GetSystemMenu(m_dlg.m_hWnd, FALSE);
        ASSERT_NE(hMenu, nullptr);
        const int nItems = ::GetMenuItemCount(hMenu);
        ASSERT_GE(nItems, 2);

        MENUITEMINFOA separator = {};
        separator.cbSize = sizeof(separator);
        separator.fMask = MIIM_FTYPE;
        ASSERT_TRUE(::GetMenuItemInfoA(hMenu, nItems - 2, TRUE, &separator));
        EXPECT_TRUE(separator.fType & MFT_SEPARATOR) << "fType " << separator.fType;

        EXPECT_EQ(::GetMenuItemID(hMenu, nItems - 1), static_cast<UINT>(IDM_ABOUTBOX));
        char szText[64] = "";
        ::GetMenuStringA(hMenu, nItems - 1, szText, sizeof(szText), MF_BYPOSITION);
        EXPECT_STREQ(szText, "&About Audio Control Panel...");
    });
    m_dlg.DoModal();
}

TEST_F(MainWindowTest, AboutEntryOpensAboutBoxLaidOutOnItsPicture)
{
    HWND hAbout = nullptr;
    bool bMainDisabledMeanwhile = false;
    RunWhenIdle([&] {
        CEndDialogOnExit end(m_dlg.m_hWnd);
        RunWhenIdle([&] {
            hAbout = FindThreadWindow(kAboutTitle);
            ASSERT_NE(hAbout, nullptr) << "no About box";
            CEndDialogOnExit endAbout(hAbout, IDOK);
            bMainDisabledMeanwhile = !::IsWindowEnabled(m_dlg.m_hWnd);
            EXPECT_EQ(::GetWindow(hAbout, GW_OWNER), m_dlg.m_hWnd);

            RECT rcWindow;
            ::GetWindowRect(hAbout, &rcWindow);
            EXPECT_EQ(rcWindow.right - rcWindow.left, 374);
            EXPECT_EQ(rcWindow.bottom - rcWindow.top, 329);

            const RECT rcPicture = ChildRect(::GetDlgItem(hAbout, IDC_LOGO));
            EXPECT_EQ(rcPicture.right - rcPicture.left, 369);
            EXPECT_EQ(rcPicture.bottom - rcPicture.top, 304);

            // Positions come from the picture, sizes from the template's dialog units.
            struct Line { int nId; int nTop; int nTemplateWidth; };
            const Line lines[] = {{IDC_VERSION, 252, 123}, {IDC_NOTICE, 268, 119}, {IDC_CREDIT, 284, 79}};
            for (const Line& line : lines)
            {
                SCOPED_TRACE(::testing::Message() << "line " << line.nId);
                HWND hLine = ::GetDlgItem(hAbout, line.nId);
                const RECT rc = ChildRect(hLine);
                EXPECT_EQ(rc.left, 50);
                EXPECT_EQ(rc.top, line.nTop);
                RECT rcUnits = {0, 0, line.nTemplateWidth, 8};
                ::MapDialogRect(hAbout, &rcUnits);
                EXPECT_EQ(rc.right - rc.left, rcUnits.right);
                EXPECT_EQ(rc.bottom - rc.top, rcUnits.bottom);
                CWnd* pBound = CWnd::FromHandlePermanent(hLine);
                ASSERT_NE(pBound, nullptr);
                EXPECT_TRUE(pBound->IsKindOf(RUNTIME_CLASS(CTransparentStatic)));
            }

            const RECT rcOk = ChildRect(::GetDlgItem(hAbout, IDOK));
            EXPECT_EQ(rcOk.right, 369 - 10);
            EXPECT_EQ(rcOk.bottom, 304 - 10);
            RECT rcOkUnits = {0, 0, 50, 16};
            ::MapDialogRect(hAbout, &rcOkUnits);
            EXPECT_EQ(rcOk.right - rcOk.left, rcOkUnits.right);
        });
        ::SendMessageA(m_dlg.m_hWnd, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        // Back from the About box's own modal loop.
        EXPECT_FALSE(::IsWindow(hAbout));
        EXPECT_TRUE(::IsWindowEnabled(m_dlg.m_hWnd));
        EXPECT_TRUE(::IsWindow(m_dlg.m_hWnd));
    });
    EXPECT_EQ(m_dlg.DoModal(), IDCANCEL);
    EXPECT_NE(hAbout, nullptr);
    EXPECT_TRUE(bMainDisabledMeanwhile);
}

TEST_F(MainWindowTest, AboutBoxLinesLetThePictureShowThrough)
{
    RunWhenIdle([&] {
        CEndDialogOnExit end(m_dlg.m_hWnd);
        RunWhenIdle([&] {
            HWND hAbout = FindThreadWindow(kAboutTitle);
            ASSERT_NE(hAbout, nullptr);
            CEndDialogOnExit endAbout(hAbout, IDOK);
            HWND hLine = ::GetDlgItem(hAbout, IDC_VERSION);
            ::UpdateWindow(hAbout);
            RECT rc;
            ::GetClientRect(hLine, &rc);
            HDC hDC = ::GetDC(hLine);
            const COLORREF crFace = ::GetSysColor(COLOR_BTNFACE);
            int nFace = 0, nWhite = 0, nInk = 0;
            for (int y = rc.top; y < rc.bottom; ++y)
            {
                for (int x = rc.left; x < rc.right; ++x)
                {
                    const COLORREF cr = ::GetPixel(hDC, x, y);
                    if (cr == crFace)
                        ++nFace;
                    else if (cr == RGB(255, 255, 255))
                        ++nWhite;
                    else
                        ++nInk;
                }
            }
            ::ReleaseDC(hLine, hDC);
            // The picture's white band between the letters, no dialog background.
            EXPECT_EQ(nFace, 0) << "white " << nWhite << ", ink " << nInk;
            EXPECT_GT(nWhite, 0);
            EXPECT_GT(nInk, 0);
        });
        ::SendMessageA(m_dlg.m_hWnd, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    });
    m_dlg.DoModal();
}

TEST_F(MainWindowTest, AboutBoxClosesWithOkEscAndCloseBox)
{
    struct Close { const char* label; UINT message; WPARAM wParam; };
    const Close closes[] = {
        {"OK", WM_COMMAND, IDOK},
        {"Esc", WM_KEYDOWN, VK_ESCAPE},
        {"close box", WM_SYSCOMMAND, SC_CLOSE},
    };
    std::vector<bool> closed;
    RunWhenIdle([&] {
        CEndDialogOnExit end(m_dlg.m_hWnd);
        for (const Close& close : closes)
        {
            HWND hAbout = nullptr;
            RunWhenIdle([&] {
                hAbout = FindThreadWindow(kAboutTitle);
                ::PostMessageA(hAbout, close.message, close.wParam, 0);
            });
            ::SendMessageA(m_dlg.m_hWnd, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
            closed.push_back(hAbout != nullptr && !::IsWindow(hAbout) && ::IsWindow(m_dlg.m_hWnd));
        }
    });
    EXPECT_EQ(m_dlg.DoModal(), IDCANCEL);
    ASSERT_EQ(closed.size(), 3u);
    for (size_t i = 0; i < closed.size(); ++i)
        EXPECT_TRUE(closed[i]) << closes[i].label;
}

TEST_F(MainWindowTest, MinimiseHidesTheWindowInsteadOfMinimisingIt)
{
    bool bVisible = true, bIconic = true;
    RunWhenIdle([&] {
        CEndDialogOnExit end(m_dlg.m_hWnd);
        ::SendMessageA(m_dlg.m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        bVisible = ::IsWindowVisible(m_dlg.m_hWnd) != FALSE;
        bIconic = ::IsIconic(m_dlg.m_hWnd) != FALSE;
    });
    m_dlg.DoModal();
    EXPECT_FALSE(bVisible);
    EXPECT_FALSE(bIconic);
}

struct CloseCase
{
    const char* label;
    UINT message;
    WPARAM wParam;
    INT_PTR nExpectedResult;
};

class MainWindowCloseTest : public MainWindowTest, public ::testing::WithParamInterface<CloseCase>
{
};

TEST_P(MainWindowCloseTest, EndsTheDialogThenDestroysTheWindowOnce)
{
    const CloseCase& close = GetParam();
    HWND hDlg = nullptr;
    RunWhenIdle([&] {
        hDlg = m_dlg.m_hWnd;
        // Key messages go to the focused control, as the keyboard would send them.
        HWND hTarget = close.message == WM_KEYDOWN ? ::GetFocus() : hDlg;
        ::PostMessageA(hTarget ? hTarget : hDlg, close.message, close.wParam, 0);
    });
    EXPECT_EQ(m_dlg.DoModal(), close.nExpectedResult);
    EXPECT_EQ(m_dlg.m_nDestroyCalls, 1);
    EXPECT_TRUE(m_dlg.m_bWindowAtDestroy);
    EXPECT_FALSE(m_dlg.m_bVisibleAtDestroy) << "the loop hides the window before destroying it";
    EXPECT_FALSE(::IsWindow(hDlg));
    EXPECT_EQ(m_dlg.m_hWnd, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Closes, MainWindowCloseTest,
    ::testing::Values(CloseCase{"CloseBox", WM_SYSCOMMAND, SC_CLOSE, IDCANCEL},
                      CloseCase{"Esc", WM_KEYDOWN, VK_ESCAPE, IDCANCEL},
                      CloseCase{"Enter", WM_KEYDOWN, VK_RETURN, IDOK},
                      CloseCase{"ExitButton", WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), IDOK}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.label); });
