// The colour and transparent statics, bound to real controls of a real dialog.
#include <windows.h>

#include <gtest/gtest.h>

#include "controls/ColorStatic.h"
#include "controls/TransparentStatic.h"
#include "framework/Dialog.h"
#include "res/resource.h"

namespace
{
// The format page's template, with its static, its read-only edits and its list bound.
class CBindingDlg : public CDialog
{
public:
    explicit CBindingDlg(CWnd* pParent) : CDialog(IDD_PAGE_TARVEL, pParent) {}

    CColorStatic m_stLabel;       // static text 1004
    CColorStatic m_stPlayStatus;  // read-only edit 1009
    CColorStatic m_stRecStatus;   // hidden read-only edit 1013
    CColorStatic m_stList;        // drop-down list 1006

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_PLAY_FORMAT_LABEL, m_stLabel);
        DDX_Control(pDX, IDC_PLAY_STATUS, m_stPlayStatus);
        DDX_Control(pDX, IDC_REC_STATUS, m_stRecStatus);
        DDX_Control(pDX, IDC_PLAY_FORMAT, m_stList);
    }
};

class ColorStaticTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_hOwner = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                                     nullptr, nullptr);
        ASSERT_NE(m_hOwner, nullptr);
        m_owner.m_hWnd = m_hOwner;
        ASSERT_TRUE(m_dlg.Create(IDD_PAGE_TARVEL, &m_owner));
        m_hDC = ::CreateCompatibleDC(nullptr);
    }
    void TearDown() override
    {
        ::DeleteDC(m_hDC);
        m_dlg.DestroyWindow();
        ::DestroyWindow(m_hOwner);
        m_owner.m_hWnd = nullptr;
    }

    HBRUSH AskColour(UINT message, int nControlId)
    {
        ::SetTextColor(m_hDC, RGB(1, 2, 3));
        ::SetBkColor(m_hDC, RGB(4, 5, 6));
        return reinterpret_cast<HBRUSH>(::SendMessageA(m_dlg.m_hWnd, message, reinterpret_cast<WPARAM>(m_hDC),
                                                       reinterpret_cast<LPARAM>(m_dlg.GetDlgItem(nControlId))));
    }

    HWND m_hOwner = nullptr;
    CWnd m_owner;
    CBindingDlg m_dlg{nullptr};
    HDC m_hDC = nullptr;
};
}  // namespace

TEST_F(ColorStaticTest, UntouchedControlHasBlackTextOnButtonFace)
{
    const COLORREF crFace = ::GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(m_dlg.m_stLabel.m_crText, RGB(0, 0, 0));
    EXPECT_EQ(m_dlg.m_stLabel.m_crBkgnd, crFace);
    LOGBRUSH lb = {};
    ASSERT_EQ(::GetObjectA(m_dlg.m_stLabel.m_brBkgnd, sizeof(lb), &lb), static_cast<int>(sizeof(lb)));
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(lb.lbColor, crFace);
}

TEST_F(ColorStaticTest, AnswersEveryColourRequestOfItsControlWithItsOwnBrushAndColours)
{
    struct Row { const char* label; int nId; CColorStatic* pControl; };
    const Row rows[] = {
        {"static text", IDC_PLAY_FORMAT_LABEL, &m_dlg.m_stLabel},
        {"read-only edit", IDC_PLAY_STATUS, &m_dlg.m_stPlayStatus},
        {"hidden read-only edit", IDC_REC_STATUS, &m_dlg.m_stRecStatus},
        {"drop-down list", IDC_PLAY_FORMAT, &m_dlg.m_stList},
    };
    const UINT messages[] = {WM_CTLCOLORSTATIC, WM_CTLCOLOREDIT, WM_CTLCOLORBTN, WM_CTLCOLORLISTBOX};
    // Each control its own colours, so that an answer from the wrong object shows.
    int nShade = 0;
    for (const Row& row : rows)
    {
        row.pControl->m_crText = RGB(10 * ++nShade, 0, 127);
        row.pControl->m_crBkgnd = RGB(200, 10 * nShade, 0);
    }
    ::EnableWindow(m_dlg.GetDlgItem(IDC_PLAY_STATUS), FALSE);  // disabled answers the same

    for (const Row& row : rows)
    {
        for (UINT message : messages)
        {
            SCOPED_TRACE(::testing::Message() << row.label << ", message 0x" << std::hex << message);
            EXPECT_EQ(AskColour(message, row.nId), row.pControl->m_brBkgnd.GetSafeHandle());
            EXPECT_EQ(::GetTextColor(m_hDC), row.pControl->m_crText);
            EXPECT_EQ(::GetBkColor(m_hDC), row.pControl->m_crBkgnd);
        }
    }
}

TEST_F(ColorStaticTest, UnboundControlGetsTheDialogsOwnAnswer)
{
    const HBRUSH hBrush = AskColour(WM_CTLCOLORSTATIC, IDC_PLAY_STATUS_LABEL);
    EXPECT_NE(hBrush, m_dlg.m_stLabel.m_brBkgnd.GetSafeHandle());
    EXPECT_NE(hBrush, m_dlg.m_stPlayStatus.m_brBkgnd.GetSafeHandle());
    EXPECT_NE(::GetTextColor(m_hDC), RGB(1, 2, 3)) << "the dialog's default handling ran";
}

TEST_F(ColorStaticTest, NewTextColourAppliesAtTheNextRequest)
{
    AskColour(WM_CTLCOLORSTATIC, IDC_PLAY_STATUS);
    EXPECT_EQ(::GetTextColor(m_hDC), RGB(0, 0, 0));
    m_dlg.m_stPlayStatus.m_crText = RGB(0, 0, 127);
    AskColour(WM_CTLCOLORSTATIC, IDC_PLAY_STATUS);
    EXPECT_EQ(::GetTextColor(m_hDC), RGB(0, 0, 127));
}

TEST(TransparentStatic, DrawTextFormatFollowsTheStyleBits)
{
    struct Row { const char* label; DWORD dwStyle; UINT nFormat; };
    const Row rows[] = {
        {"plain left label", SS_LEFT, DT_LEFT | DT_WORDBREAK},
        {"right", SS_RIGHT, DT_RIGHT | DT_WORDBREAK},
        {"centre", SS_CENTER, DT_CENTER | DT_WORDBREAK},
        {"centre image", SS_CENTERIMAGE, DT_VCENTER | DT_SINGLELINE},
        {"no prefix, as the version line", SS_LEFT | SS_NOPREFIX | WS_GROUP | WS_VISIBLE | WS_CHILD,
         DT_NOPREFIX | DT_WORDBREAK},
        {"end ellipsis", SS_ENDELLIPSIS, DT_WORD_ELLIPSIS | DT_END_ELLIPSIS},
        {"path ellipsis", SS_PATHELLIPSIS, DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS},
        {"word ellipsis", SS_WORDELLIPSIS, DT_WORD_ELLIPSIS | DT_END_ELLIPSIS | DT_PATH_ELLIPSIS},
        {"left, no word wrap", SS_LEFTNOWORDWRAP, DT_LEFT},
        {"black rectangle bit", SS_BLACKRECT, DT_LEFT},
        {"centred both ways, no prefix", SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX,
         DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX},
    };
    for (const Row& row : rows)
    {
        EXPECT_EQ(CTransparentStatic::DrawTextFormat(row.dwStyle), row.nFormat)
            << row.label << ": style 0x" << std::hex << row.dwStyle;
    }
}
