#pragma once
// The debugger output, the panel's only diagnostic channel.

class IDebugOutput
{
public:
    virtual void OutputDebugStringA(const char* pszText) = 0;

protected:
    ~IDebugOutput() = default;
};
