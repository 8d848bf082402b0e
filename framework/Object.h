#pragma once
// Root of the framework's classes and their run-time class information.

struct CRuntimeClass
{
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;  // null for CObject

    bool IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

class CObject
{
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* pClass) const;

    static const CRuntimeClass classCObject;

protected:
    CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

// A class with its own run-time class information; none of ours can be created by name.
#define DECLARE_DYNAMIC(class_name)                                   \
public:                                                               \
    static const CRuntimeClass class##class_name;                     \
    const CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                              \
    const CRuntimeClass class_name::class##class_name = {#class_name,               \
                                                         &base_class_name::class##base_class_name}; \
    const CRuntimeClass* class_name::GetRuntimeClass() const { return &class_name::class##class_name; }

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)
