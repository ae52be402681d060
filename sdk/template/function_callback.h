#pragma once

namespace Corvane { namespace Base { namespace Template {

// Work to be run later. Slot order: Invoke, destructor, inner_bind.
class function_callback {
public:
    virtual void Invoke() = 0;
    virtual ~function_callback() {}
    // Binds a new target object; a callback of a free function has none.
    virtual void inner_bind(void* object);
};

// Callbacks whose function returns nothing.
class function_callback_v : public function_callback {
};

// Calls a parameterless member function of T on a target object.
template <class T>
class function_callback_vm0 : public function_callback_v {
public:
    typedef void (T::*Method)();

    function_callback_vm0(T* object, Method method) : m_pObject(object), m_Method(method) {}

    void Invoke() override
    {
        if (m_pObject != nullptr && m_Method != nullptr)
            (m_pObject->*m_Method)();
    }

    void inner_bind(void* object) override { m_pObject = static_cast<T*>(object); }

private:
    T* m_pObject;
    Method m_Method;  // carries the this-adjustment for methods of non-leading bases
};

// Handle to a shared, reference-counted holder of one owned callback. The
// count is not atomic: handles of one holder live under their keeper's lock.
template <class R>
class function_callback_obj;

template <>
class function_callback_obj<void> {
public:
    class ref_object {
    public:
        ref_object() : m_pCallback(nullptr), m_nRefCount(0) {}
        ref_object(const ref_object&) = delete;
        ref_object& operator=(const ref_object&) = delete;
        virtual ~ref_object()
        {
            delete m_pCallback;
            m_pCallback = nullptr;
        }

        function_callback* m_pCallback;
        int m_nRefCount;
    };

    // Make empty: a new holder without callback.
    function_callback_obj() : m_pRef(new ref_object) { AddRef(); }
    // Make with callback: the holder owns it from now on.
    explicit function_callback_obj(function_callback* callback) : function_callback_obj() { Assign(callback); }
    function_callback_obj(const function_callback_obj& other) : m_pRef(other.m_pRef) { AddRef(); }
    function_callback_obj& operator=(const function_callback_obj& other)
    {
        if (m_pRef != other.m_pRef) {
            Release();
            m_pRef = other.m_pRef;
            AddRef();
        }
        return *this;
    }
    ~function_callback_obj() { Release(); }

    // Deletes the current callback at once and stores the new one; every
    // handle of the holder sees it.
    void Assign(function_callback* callback)
    {
        if (m_pRef == nullptr)
            return;
        if (m_pRef->m_pCallback != callback)
            delete m_pRef->m_pCallback;
        m_pRef->m_pCallback = callback;
    }

    // Count - 1; the last handle deletes the holder and with it the callback.
    void Release();

    bool HasCallback() const { return m_pRef != nullptr && m_pRef->m_pCallback != nullptr; }
    function_callback* Get() const { return m_pRef != nullptr ? m_pRef->m_pCallback : nullptr; }
    int GetRefCount() const { return m_pRef != nullptr ? m_pRef->m_nRefCount : 0; }
    bool IsNull() const { return m_pRef == nullptr; }

    void Invoke() const
    {
        if (HasCallback())
            m_pRef->m_pCallback->Invoke();
    }

private:
    void AddRef();

    ref_object* m_pRef;
};

}}}
