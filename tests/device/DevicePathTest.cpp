#include "discovery/DevicePath.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct PathCase
{
    const char* pszLabel;
    const char* pszName;
    std::uint16_t nVendorId;
    std::uint16_t nProductId;
};

TEST(DevicePath, ReadsUsbIds)
{
    const PathCase cases[] = {
        {"the device's audio interface",
         "\\\\?\\USB#VID_2B91&PID_4C07&MI_01#7&2A5C1F&0&0001#{a5dcbf10-6530-11d2-901f-00c04fb951ed}", 0x2B91, 0x4C07},
        {"the same in lower case",
         "\\\\?\\usb#vid_2b91&pid_4c07&mi_01#7&2a5c1f&0&0001#{a5dcbf10-6530-11d2-901f-00c04fb951ed}", 0x2B91, 0x4C07},
        {"another interface of the device", "\\\\?\\USB#VID_2B91&PID_4C07&MI_00#7&2A5C1F&0&0000#{guid}", 0x2B91,
         0x4C07},
        {"the device itself", "\\\\?\\USB#VID_2B91&PID_4C07#5&1B2C3D&0&2#{a5dcbf10-6530-11d2-901f-00c04fb951ed}",
         0x2B91, 0x4C07},
        {"another USB device", "\\\\?\\USB#VID_046D&PID_C52B#6&ab#{guid}", 0x046D, 0xC52B},
        {"no VID_: PID_ is not looked for", "\\\\?\\USB#PID_4C07#x", 0x00FF, 0x00FF},
        {"VID_ with 3 characters after it", "\\\\?\\USB#PID_4C07#VID_2B9", 0x00FF, 0x4C07},
        {"two digits before &", "\\\\?\\USB#VID_2B&PID_4C07", 0x002B, 0x4C07},
        {"no digit at all gives 0", "\\\\?\\USB#VID_&&&&PID_4C07", 0x0000, 0x4C07},
        {"PID_ before VID_", "\\\\?\\USB#PID_4C07&VID_2B91#x", 0x2B91, 0x4C07},
        {"first occurrence counts", "VID_1111&PID_2222&VID_3333&PID_4444", 0x1111, 0x2222},
        {"empty name", "", 0x00FF, 0x00FF},
    };
    for (const PathCase& c : cases)
    {
        SCOPED_TRACE(c.pszLabel);
        std::vector<char> name(c.pszName, c.pszName + std::string(c.pszName).size() + 1);
        std::uint16_t nVendorId = 0xBEEF;
        std::uint16_t nProductId = 0xBEEF;

        ParseUsbDeviceIds(name.data(), &nVendorId, &nProductId);

        EXPECT_EQ(c.nVendorId, nVendorId) << std::hex << nVendorId;
        EXPECT_EQ(c.nProductId, nProductId) << std::hex << nProductId;
    }
}

TEST(DevicePath, UpperCasesLettersInPlaceAndNothingElse)
{
    char szName[] = "\\\\?\\usb#vid_2b91&pid_4c07#\xe4{x}";

    std::uint16_t nVendorId = 0;
    std::uint16_t nProductId = 0;
    ParseUsbDeviceIds(szName, &nVendorId, &nProductId);

    EXPECT_STREQ("\\\\?\\USB#VID_2B91&PID_4C07#\xe4{X}", szName);
}

} // namespace
