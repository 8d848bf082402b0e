#include "framework/Object.h"

const CRuntimeClass CObject::classCObject = {"CObject", nullptr};

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    for (const CRuntimeClass* pClass = this; pClass != nullptr; pClass = pClass->m_pBaseClass)
    {
        if (pClass == pBaseClass)
            return true;
    }
    return false;
}

const CRuntimeClass* CObject::GetRuntimeClass() const
{
    return &classCObject;
}

bool CObject::IsKindOf(const CRuntimeClass* pClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}
