#include "device/PlatformDetection.h"
#include "sim/SimMachine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct DetectionCase
{
    const char* pszLabel;
    SimOs os;
    bool bResult;
    std::uint32_t nOsKind;
    std::uint32_t nNtMajor;
    bool bNativeIs32Bit;
    int nVersionQueries;
};

SimOs WithoutNativeSystemInfo(SimOs os)
{
    os.bHasGetNativeSystemInfo = false;
    return os;
}

SimOs ExtendedVersionFails(SimOs os)
{
    os.bExtendedVersionFails = true;
    return os;
}

SimOs VersionFails(SimOs os)
{
    os.bVersionFails = true;
    return os;
}

TEST(PlatformDetection, MapsVersionAndArchitecture)
{
    const DetectionCase cases[] = {
        {"Windows XP on x86", SimOs::WindowsXpX86(), true, kOsWindowsXp, 5, true, 1},
        {"Windows 7 workstation on x64", SimOs::Windows7X64(), true, kOsWindows7, 6, false, 1},
        {"Windows Vista on x86", SimOs::Make(2, 6, 0, 1, 0), true, kOsWindowsVista, 6, true, 1},
        {"Windows Server 2008", SimOs::Server2008X86(), true, kOsWindowsServer2008, 6, true, 1},
        {"Windows Server 2008 R2 on IA-64", SimOs::Make(2, 6, 1, 3, 6), true, kOsWindowsServer2008R2, 6, false, 1},
        {"Windows 2000", SimOs::Make(2, 5, 0, 1, 0), true, kOsWindows2000, 5, true, 1},
        {"Windows Server 2003", SimOs::Make(2, 5, 2, 3, 0), true, kOsWindowsServer2003, 5, true, 1},
        {"NT 5.3 is not determined", SimOs::Make(2, 5, 3, 1, 0), true, kOsNotDetermined, 5, true, 1},
        {"NT 6.2 is not determined", SimOs::Nt62X64(), true, kOsNotDetermined, 6, false, 1},
        {"NT 10.0 is not determined", SimOs::Make(2, 10, 0, 1, 9), true, kOsNotDetermined, 10, false, 1},
        {"NT 3.51", SimOs::Make(2, 3, 51, 1, 0), true, kOsWindowsNt4, 3, true, 1},
        {"Windows 95", SimOs::Make(1, 4, 0, 0, 0), true, kOsWindows95, 0, true, 1},
        {"Windows 98 (4.10)", SimOs::Windows98(), true, kOsWindows98, 0, true, 1},
        {"Windows Me", SimOs::Make(1, 4, 90, 0, 0), true, kOsWindowsMe, 0, true, 1},
        {"9x 4.20 is not determined", SimOs::Make(1, 4, 20, 0, 0), true, kOsNotDetermined, 0, true, 1},
        {"Win32s", SimOs::Make(0, 3, 11, 0, 0), true, kOsWin32s, 0, true, 1},
        {"unknown platform id", SimOs::Make(3, 6, 1, 1, 0), false, kOsNotDetermined, 0, true, 1},
        {"unknown architecture 5 counts as 32-bit", SimOs::Make(2, 5, 1, 1, 5), true, kOsWindowsXp, 5, true, 1},
        {"without GetNativeSystemInfo a 64-bit machine shows its WOW64 face",
         WithoutNativeSystemInfo(SimOs::Windows7X64()), true, kOsWindows7, 6, true, 1},
        {"extended query refused: the short one answers, without product type",
         ExtendedVersionFails(SimOs::Windows7X64()), true, kOsWindowsServer2008R2, 6, false, 2},
        {"NT 4.0 before SP6 answers the short query only", ExtendedVersionFails(SimOs::Make(2, 4, 0, 1, 0)), true,
         kOsWindowsNt4, 4, true, 2},
        {"both version queries fail", VersionFails(SimOs::Windows7X64()), false, kOsNotDetermined, 0, false, 2},
    };
    for (const DetectionCase& c : cases)
    {
        SCOPED_TRACE(c.pszLabel);
        CSimMachine sim(c.os);
        // Poisoned so that every field the detection must set is seen to be set.
        OsVersionInfo info;
        info.osKind = 0xdeadbeef;
        info.nativeIs32Bit = !c.bNativeIs32Bit;

        EXPECT_EQ(c.bResult, DetectPlatform(sim, &info));
        EXPECT_EQ(c.nOsKind, info.osKind);
        EXPECT_EQ(c.nNtMajor, info.ntMajorVersion);
        EXPECT_EQ(c.bNativeIs32Bit, info.nativeIs32Bit);
        EXPECT_EQ(c.nVersionQueries, sim.Calls(SimCall::GetVersionEx));
    }
}

struct ElevationCase
{
    const char* pszLabel;
    SimToken token;
    std::vector<std::string> output;
};

SimToken TokenAnswers(std::uint32_t nType, std::uint32_t nElevation)
{
    SimToken token;
    token.bHasElevationType = true;
    token.nElevationType = nType;
    token.bHasElevation = true;
    token.nElevation = nElevation;
    return token;
}

SimToken TokenWithoutType(std::uint32_t nElevation)
{
    SimToken token = TokenAnswers(0, nElevation);
    token.bHasElevationType = false;
    return token;
}

SimToken TokenNotOpenable()
{
    SimToken token = TokenAnswers(2, 1);
    token.bOpenFails = true;
    return token;
}

TEST(PlatformDetection, ReportsElevationToTheDebugger)
{
    const ElevationCase cases[] = {
        {"default token, elevated", TokenAnswers(1, 1), {"Elevation Default", "Elevated!"}},
        {"full token, elevated", TokenAnswers(2, 1), {"Elevation Full", "Elevated!"}},
        {"limited token, not elevated", TokenAnswers(3, 0), {"Elevation Limited", "NOT Elevated!"}},
        {"unknown type counts as limited", TokenAnswers(7, 0), {"Elevation Limited", "NOT Elevated!"}},
        {"type unanswered, elevation answered", TokenWithoutType(5), {"Elevated!"}},
        {"neither class known (XP)", SimToken(), {}},
        {"token cannot be opened", TokenNotOpenable(), {}},
    };
    for (const ElevationCase& c : cases)
    {
        SCOPED_TRACE(c.pszLabel);
        CSimMachine sim(SimOs::Windows7X64());
        sim.Token() = c.token;

        ReportElevation(sim, sim);

        EXPECT_EQ(c.output, sim.DebugOutput());
        EXPECT_EQ(1, sim.Calls(SimCall::OpenProcessToken));
        EXPECT_EQ("", sim.Leftovers());
    }
}

} // namespace
