#pragma once
// The base COM interfaces: IUnknown, IDispatch, IClassFactory, the persistence
// interfaces with IStream and IPropertyBag. Every interface is an abstract class
// whose virtual methods stand in declaration order, with its IID as `iid`.

#include <cstdint>

#include "platform/com/bstr.h"
#include "platform/com/guid.h"
#include "platform/com/hresult.h"
#include "platform/com/variant.h"

using DISPID = std::int32_t;
constexpr DISPID DISPID_UNKNOWN = -1;
constexpr DISPID DISPID_VALUE = 0;
constexpr DISPID DISPID_PROPERTYPUT = -3;

constexpr WORD DISPATCH_METHOD = 1;
constexpr WORD DISPATCH_PROPERTYGET = 2;
constexpr WORD DISPATCH_PROPERTYPUT = 4;
constexpr WORD DISPATCH_PROPERTYPUTREF = 8;

// Arguments of IDispatch::Invoke; rgvarg holds them in reverse order.
struct DISPPARAMS {
    VARIANTARG* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    void* pvReserved;
    void* pfnDeferredFillIn;
    HRESULT scode;
};

struct LARGE_INTEGER {
    std::int64_t QuadPart;
};
struct ULARGE_INTEGER {
    std::uint64_t QuadPart;
};

constexpr DWORD STREAM_SEEK_SET = 0;
constexpr DWORD STREAM_SEEK_CUR = 1;
constexpr DWORD STREAM_SEEK_END = 2;
constexpr DWORD STGC_DEFAULT = 0;
constexpr DWORD STATFLAG_DEFAULT = 0;
constexpr DWORD STATFLAG_NONAME = 1;
constexpr DWORD STGTY_STREAM = 2;

struct STATSTG {
    LPOLESTR pwcsName;  // owned by the caller; allocated with SysAllocString, freed with SysFreeString
    DWORD type;
    ULARGE_INTEGER cbSize;
    std::int64_t mtime;
    std::int64_t ctime;
    std::int64_t atime;
    DWORD grfMode;
    DWORD grfLocksSupported;
    CLSID clsid;
    DWORD grfStateBits;
    DWORD reserved;
};

struct IUnknown {
    static constexpr IID iid = com::makeGuid("00000000-0000-0000-C000-000000000046");
    // Writes an added reference to the requested interface into *ppv, or null and E_NOINTERFACE.
    virtual HRESULT QueryInterface(REFIID riid, void** ppv) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
};

// Type information is not offered by this system's components; the interface
// exists so that IDispatch keeps its shape.
struct ITypeInfo : IUnknown {
    static constexpr IID iid = com::makeGuid("00020401-0000-0000-C000-000000000046");
};

struct IDispatch : IUnknown {
    static constexpr IID iid = com::makeGuid("00020400-0000-0000-C000-000000000046");
    virtual HRESULT GetTypeInfoCount(UINT* pctinfo) = 0;
    virtual HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
    virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                  DISPID* rgDispId) = 0;
    virtual HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                           DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                           UINT* puArgErr) = 0;
};

struct IClassFactory : IUnknown {
    static constexpr IID iid = com::makeGuid("00000001-0000-0000-C000-000000000046");
    // pUnkOuter non-null asks for an aggregated object; riid must then be IUnknown.
    virtual HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) = 0;
    virtual HRESULT LockServer(BOOL fLock) = 0;
};

struct ISequentialStream : IUnknown {
    static constexpr IID iid = com::makeGuid("0C733A30-2A1C-11CE-ADE5-00AA0044773D");
    // Reads up to cb bytes; *pcbRead (if given) receives the count. S_FALSE when fewer than cb.
    virtual HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) = 0;
    virtual HRESULT Write(const void* pv, ULONG cb, ULONG* pcbWritten) = 0;
};

struct IStream : ISequentialStream {
    static constexpr IID iid = com::makeGuid("0000000C-0000-0000-C000-000000000046");
    virtual HRESULT Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) = 0;
    virtual HRESULT SetSize(ULARGE_INTEGER libNewSize) = 0;
    virtual HRESULT CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                           ULARGE_INTEGER* pcbWritten) = 0;
    virtual HRESULT Commit(DWORD grfCommitFlags) = 0;
    virtual HRESULT Revert() = 0;
    virtual HRESULT LockRegion(ULARGE_INTEGER libOffset, ULARGE_INTEGER cb, DWORD dwLockType) = 0;
    virtual HRESULT UnlockRegion(ULARGE_INTEGER libOffset, ULARGE_INTEGER cb, DWORD dwLockType) = 0;
    virtual HRESULT Stat(STATSTG* pstatstg, DWORD grfStatFlag) = 0;
    virtual HRESULT Clone(IStream** ppstm) = 0;
};

struct IErrorLog : IUnknown {
    static constexpr IID iid = com::makeGuid("3127CA40-446E-11CE-8135-00AA004BB851");
    virtual HRESULT AddError(LPCOLESTR pszPropName, EXCEPINFO* pExcepInfo) = 0;
};

struct IPropertyBag : IUnknown {
    static constexpr IID iid = com::makeGuid("55272A00-42CB-11CE-8135-00AA004BB851");
    // Reads the named property into *pVar (the caller clears it afterwards).
    virtual HRESULT Read(LPCOLESTR pszPropName, VARIANT* pVar, IErrorLog* pErrorLog) = 0;
    // Stores a copy of *pVar under the name.
    virtual HRESULT Write(LPCOLESTR pszPropName, VARIANT* pVar) = 0;
};

struct IPersist : IUnknown {
    static constexpr IID iid = com::makeGuid("0000010C-0000-0000-C000-000000000046");
    virtual HRESULT GetClassID(CLSID* pClassID) = 0;
};

struct IPersistStreamInit : IPersist {
    static constexpr IID iid = com::makeGuid("7FD52380-4E07-101B-AE2D-08002B2EC713");
    virtual HRESULT IsDirty() = 0;
    virtual HRESULT Load(IStream* pStm) = 0;
    virtual HRESULT Save(IStream* pStm, BOOL fClearDirty) = 0;
    virtual HRESULT GetSizeMax(ULARGE_INTEGER* pCbSize) = 0;
    virtual HRESULT InitNew() = 0;
};

struct IPersistPropertyBag : IPersist {
    static constexpr IID iid = com::makeGuid("37D84F60-42CB-11CE-8135-00AA004BB851");
    virtual HRESULT InitNew() = 0;
    virtual HRESULT Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) = 0;
    virtual HRESULT Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL fSaveAllProperties) = 0;
};
