#pragma once
// The machine registry of the simulated machine, by kernel key path. Key and value names
// compare as Windows compares them, ignoring letter case.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct SimRegistryValue
{
    std::uint32_t nType = 0;
    std::vector<std::uint8_t> data;
};

class CSimRegistry
{
public:
    void AddKey(const std::u16string& keyPath);
    bool HasKey(const std::u16string& keyPath) const;
    // Creates the key when it is missing.
    void SetValue(const std::u16string& keyPath, const std::u16string& name, std::uint32_t nType,
                  const std::vector<std::uint8_t>& data);
    // Null when the key or the value is missing.
    const SimRegistryValue* FindValue(const std::u16string& keyPath, const std::u16string& name) const;
    // Stores into an existing key only; false when the key is missing.
    bool WriteValue(const std::u16string& keyPath, const std::u16string& name, std::uint32_t nType,
                    const std::vector<std::uint8_t>& data);

private:
    static std::u16string Fold(const std::u16string& text);

    std::map<std::u16string, std::map<std::u16string, SimRegistryValue>> m_keys;
};
