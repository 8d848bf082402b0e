// One panel per desktop: a start finds a running panel by its window title.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/TarvelApp.h"
#include "tests/win/ModalDriver.h"

namespace
{
constexpr const char* kMainTitle = "Brask Quelo Audio Control Panel";

// Counts the dialog windows this thread creates while it is installed. (The system makes
// helper windows of its own, such as OLE's, which are no windows of the panel.)
class CDialogCreationCounter
{
public:
    CDialogCreationCounter()
    {
        s_nCreated = 0;
        m_hHook = ::SetWindowsHookExA(WH_CBT, &CDialogCreationCounter::CbtProc, nullptr, ::GetCurrentThreadId());
    }
    ~CDialogCreationCounter() { ::UnhookWindowsHookEx(m_hHook); }
    bool IsInstalled() const { return m_hHook != nullptr; }
    static int Created() { return s_nCreated; }

private:
    static LRESULT CALLBACK CbtProc(int nCode, WPARAM wParam, LPARAM lParam)
    {
        if (nCode == HCBT_CREATEWND)
        {
            const char* pszClass = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->lpszClass;
            const ULONG_PTR classValue = reinterpret_cast<ULONG_PTR>(pszClass);
            const bool bDialogAtom = classValue == reinterpret_cast<ULONG_PTR>(WC_DIALOG);
            if (bDialogAtom || (HIWORD(classValue) != 0 && lstrcmpiA(pszClass, "#32770") == 0))
                ++s_nCreated;
        }
        return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
    }

    HHOOK m_hHook;
    static int s_nCreated;
};
int CDialogCreationCounter::s_nCreated = 0;

struct ExistingWindowCase
{
    const char* label;
    const char* pszTitle;
    bool bCountsAsPanel;
};

class SingleInstanceTest : public ::testing::TestWithParam<ExistingWindowCase>
{
};
}  // namespace

TEST_P(SingleInstanceTest, StartLooksForARunningPanelByExactTitle)
{
    const ExistingWindowCase& existing = GetParam();
    // A hidden top-level window standing for whatever already runs.
    HWND hExisting = ::CreateWindowExA(0, "STATIC", existing.pszTitle, WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                                       nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hExisting, nullptr);

    CTarvelApp app;
    bool bMainWindowSeen = false;
    if (!existing.bCountsAsPanel)
    {
        RunWhenIdle([&] {
            HWND hMain = FindThreadWindow(kMainTitle);
            CEndDialogOnExit end(hMain);
            bMainWindowSeen = hMain != nullptr && ::IsWindowVisible(hMain);
        });
    }
    CDialogCreationCounter counter;
    ASSERT_TRUE(counter.IsInstalled());
    EXPECT_FALSE(app.InitInstance());

    if (existing.bCountsAsPanel)
    {
        EXPECT_EQ(CDialogCreationCounter::Created(), 0) << "a second start creates no window";
        EXPECT_TRUE(::IsWindowVisible(hExisting)) << "the running panel is shown";
    }
    else
    {
        EXPECT_TRUE(bMainWindowSeen) << "the panel opened its own main window";
        EXPECT_GE(CDialogCreationCounter::Created(), 1);
        EXPECT_FALSE(::IsWindowVisible(hExisting));
    }
    ::DestroyWindow(hExisting);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, SingleInstanceTest,
    ::testing::Values(ExistingWindowCase{"SameTitle", "Brask Quelo Audio Control Panel", true},
                      // FindWindowA compares titles without regard to case.
                      ExistingWindowCase{"OtherCase", "BRASK quelo audio CONTROL panel", true},
                      ExistingWindowCase{"AboutBoxTitle", "About Brask Quelo Audio Control Panel", false},
                      ExistingWindowCase{"LongerTitle", "Brask Quelo Audio Control Panel 2", false}),
    [](const ::testing::TestParamInfo<ExistingWindowCase>& info) { return std::string(info.param.label); });
