// SPDX-License-Identifier: MIT
// The tests' own COM objects: counted, answering for IUnknown and the one interface each is made
// for (`kIid`), and gone with their last reference.
#pragma once

#include <windows.h>

#include <unknwn.h>

template <class Interface, const IID *kIid> class CountedObject : public Interface {
public:
    CountedObject() = default;
    CountedObject(const CountedObject &) = delete;
    CountedObject &operator=(const CountedObject &) = delete;
    CountedObject(CountedObject &&) = delete;
    CountedObject &operator=(CountedObject &&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, *kIid)) {
            *object = static_cast<Interface *>(this);
            this->AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0) {
            delete this;
        }
        return left;
    }

protected:
    virtual ~CountedObject() = default;

private:
    ULONG m_references = 1;
};
