#include "sim/SimRegistry.h"

std::u16string CSimRegistry::Fold(const std::u16string& text)
{
    std::u16string folded = text;
    for (char16_t& c : folded)
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
    return folded;
}

void CSimRegistry::AddKey(const std::u16string& keyPath)
{
    m_keys[Fold(keyPath)];
}

bool CSimRegistry::HasKey(const std::u16string& keyPath) const
{
    return m_keys.count(Fold(keyPath)) != 0;
}

void CSimRegistry::SetValue(const std::u16string& keyPath, const std::u16string& name, std::uint32_t nType,
                            const std::vector<std::uint8_t>& data)
{
    SimRegistryValue& value = m_keys[Fold(keyPath)][Fold(name)];
    value.nType = nType;
    value.data = data;
}

const SimRegistryValue* CSimRegistry::FindValue(const std::u16string& keyPath, const std::u16string& name) const
{
    auto key = m_keys.find(Fold(keyPath));
    if (key == m_keys.end())
        return nullptr;
    auto value = key->second.find(Fold(name));
    return value == key->second.end() ? nullptr : &value->second;
}

bool CSimRegistry::WriteValue(const std::u16string& keyPath, const std::u16string& name, std::uint32_t nType,
                              const std::vector<std::uint8_t>& data)
{
    if (!HasKey(keyPath))
        return false;
    SetValue(keyPath, name, nType, data);
    return true;
}
