#pragma once
// Message maps: each class lists the messages it handles in an ordered table; a window looks
// a message up in its own class's table first, then in its base classes' tables.
//
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_WM_PAINT()
//       ON_BN_CLICKED(IDOK, &CMyDlg::OnBnClickedOk)
//   END_MESSAGE_MAP()
//
// Each entry carries a small thunk that unpacks wParam and lParam for the handler's signature.

#include <windows.h>

#include "framework/Object.h"

class CCmdTarget;

// A handler reached through the table; returns the message result.
using AFX_PMSG_THUNK = LRESULT (*)(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY
{
    UINT nMessage;          // window message; 0 ends the table
    UINT nCode;             // notification code, for WM_COMMAND and WM_NOTIFY entries
    UINT nID;               // control or command id, for WM_COMMAND and WM_NOTIFY entries
    AFX_PMSG_THUNK pfnThunk;
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (*pfnGetBaseMap)();  // null at the root
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// The parent hands its colour messages back to the bound child as this message.
constexpr UINT WM_REFLECT_BASE = 0xBC00;
constexpr UINT WM_CTLCOLOR_REFLECT = WM_REFLECT_BASE + 0x0019;  // 0xBC19

class CCmdTarget : public CObject
{
    DECLARE_DYNAMIC(CCmdTarget)

public:
    virtual const AFX_MSGMAP* GetMessageMap() const;
    static const AFX_MSGMAP* GetThisMessageMap();

    // First entry for the message (and for WM_COMMAND/WM_NOTIFY, code and id), searching
    // this class's table and then its bases'; null if none.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode = 0, UINT nID = 0) const;
};

#define DECLARE_MESSAGE_MAP()                                   \
public:                                                         \
    const AFX_MSGMAP* GetMessageMap() const override;           \
    static const AFX_MSGMAP* GetThisMessageMap();

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                   \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                              \
    {                                                                            \
        using ThisClass [[maybe_unused]] = theClass;                             \
        using TheBaseClass = baseClass;                                          \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                        \
            {0, 0, 0, nullptr}};                                                 \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &messageMap;                                                      \
    }

#define AFX_THUNK(body) [](CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam) -> LRESULT { \
        ThisClass* pThis = static_cast<ThisClass*>(pTarget);                                 \
        (void)pThis; (void)wParam; (void)lParam;                                             \
        body                                                                                 \
    }

// Commands and control notifications (WM_COMMAND)
#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND, 0, static_cast<UINT>(id), AFX_THUNK((pThis->*(memberFxn))(); return 0;)},
#define ON_CONTROL(code, id, memberFxn) \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), AFX_THUNK((pThis->*(memberFxn))(); return 0;)},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)

// Notifications (WM_NOTIFY): void memberFxn(NMHDR* pNMHDR, LRESULT* pResult)
#define ON_NOTIFY(code, id, memberFxn)                                                     \
    {WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id), AFX_THUNK(                  \
        LRESULT result = 0;                                                                \
        (pThis->*(memberFxn))(reinterpret_cast<NMHDR*>(lParam), &result);                  \
        return result;)},

// Window messages
#define ON_MESSAGE(message, memberFxn) \
    {static_cast<UINT>(message), 0, 0, AFX_THUNK(return (pThis->*(memberFxn))(wParam, lParam);)},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, AFX_THUNK(pThis->OnPaint(); return 0;)},
#define ON_WM_SYSCOMMAND() \
    {WM_SYSCOMMAND, 0, 0, AFX_THUNK(pThis->OnSysCommand(static_cast<UINT>(wParam), lParam); return 0;)},
#define ON_WM_QUERYDRAGICON() \
    {WM_QUERYDRAGICON, 0, 0, AFX_THUNK(return reinterpret_cast<LRESULT>(pThis->OnQueryDragIcon());)},
#define ON_WM_TIMER() \
    {WM_TIMER, 0, 0, AFX_THUNK(pThis->OnTimer(static_cast<UINT_PTR>(wParam)); return 0;)},

// Colour request of a control, reflected by its parent: HBRUSH CtlColor(HDC hDC, UINT nCtlColor).
// A null brush leaves the request to the parent.
#define ON_WM_CTLCOLOR_REFLECT()                                                          \
    {WM_CTLCOLOR_REFLECT, 0, 0, AFX_THUNK(                                                 \
        return reinterpret_cast<LRESULT>(                                                 \
            pThis->CtlColor(reinterpret_cast<HDC>(wParam), static_cast<UINT>(lParam)));)},
