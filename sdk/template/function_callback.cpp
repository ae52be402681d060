#include "template/function_callback.h"

#include "auxiliary/DebugPrint.h"

namespace Corvane { namespace Base { namespace Template {

void function_callback::inner_bind(void*)
{
    DebugPrint("function_callback::inner_bind() グローバルな関数に対してbindは行えない");
}

void function_callback_obj<void>::Release()
{
    ref_object* ref = m_pRef;
    m_pRef = nullptr;
    if (ref != nullptr && --ref->m_nRefCount <= 0)
        delete ref;
}

void function_callback_obj<void>::AddRef()
{
    if (m_pRef != nullptr)
        ++m_pRef->m_nRefCount;
}

}}}
