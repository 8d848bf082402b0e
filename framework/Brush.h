#pragma once
// CBrush: owns one GDI brush and deletes it with itself.

#include <windows.h>

class CBrush
{
public:
    CBrush() = default;
    explicit CBrush(COLORREF crColor) : m_hBrush(::CreateSolidBrush(crColor)) {}
    ~CBrush() { DeleteObject(); }
    CBrush(const CBrush&) = delete;
    CBrush& operator=(const CBrush&) = delete;

    bool CreateSolidBrush(COLORREF crColor)
    {
        DeleteObject();
        m_hBrush = ::CreateSolidBrush(crColor);
        return m_hBrush != nullptr;
    }
    void DeleteObject()
    {
        if (m_hBrush != nullptr)
            ::DeleteObject(m_hBrush);
        m_hBrush = nullptr;
    }

    HBRUSH GetSafeHandle() const { return m_hBrush; }
    operator HBRUSH() const { return m_hBrush; }

private:
    HBRUSH m_hBrush = nullptr;
};
