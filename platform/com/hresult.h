#pragma once
// HRESULT and the standard result values used across the component boundary.

#include <cstdint>

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using LONG = std::int32_t;
using DWORD = std::uint32_t;
using LCID = std::uint32_t;
using BYTE = std::uint8_t;

constexpr HRESULT makeHresult(std::uint32_t value) { return static_cast<HRESULT>(value); }

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = makeHresult(0x80004001u);
constexpr HRESULT E_NOINTERFACE = makeHresult(0x80004002u);
constexpr HRESULT E_POINTER = makeHresult(0x80004003u);
constexpr HRESULT E_ABORT = makeHresult(0x80004004u);
constexpr HRESULT E_FAIL = makeHresult(0x80004005u);
constexpr HRESULT E_UNEXPECTED = makeHresult(0x8000FFFFu);
constexpr HRESULT E_ACCESSDENIED = makeHresult(0x80070005u);
constexpr HRESULT E_HANDLE = makeHresult(0x80070006u);
constexpr HRESULT E_OUTOFMEMORY = makeHresult(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = makeHresult(0x80070057u);
constexpr HRESULT CLASS_E_NOAGGREGATION = makeHresult(0x80040110u);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = makeHresult(0x80040111u);
constexpr HRESULT REGDB_E_CLASSNOTREG = makeHresult(0x80040154u);
constexpr HRESULT REGDB_E_READREGDB = makeHresult(0x80040150u);
constexpr HRESULT REGDB_E_WRITEREGDB = makeHresult(0x80040151u);
constexpr HRESULT CO_E_CLASSSTRING = makeHresult(0x800401F3u);
constexpr HRESULT CO_E_DLLNOTFOUND = makeHresult(0x8004015Fu);
constexpr HRESULT CO_E_ERRORINDLL = makeHresult(0x800401F9u);
constexpr HRESULT SELFREG_E_CLASS = makeHresult(0x80040201u);
constexpr HRESULT DISP_E_UNKNOWNNAME = makeHresult(0x80020006u);
constexpr HRESULT DISP_E_MEMBERNOTFOUND = makeHresult(0x80020003u);
constexpr HRESULT DISP_E_PARAMNOTFOUND = makeHresult(0x80020004u);
constexpr HRESULT DISP_E_TYPEMISMATCH = makeHresult(0x80020005u);
constexpr HRESULT DISP_E_BADPARAMCOUNT = makeHresult(0x8002000Eu);
constexpr HRESULT DISP_E_EXCEPTION = makeHresult(0x80020009u);
constexpr HRESULT DISP_E_BADVARTYPE = makeHresult(0x80020008u);
constexpr HRESULT STG_E_READFAULT = makeHresult(0x8003001Eu);
constexpr HRESULT STG_E_WRITEFAULT = makeHresult(0x8003001Du);
constexpr HRESULT STG_E_INVALIDFUNCTION = makeHresult(0x80030001u);
constexpr HRESULT STG_E_FILENOTFOUND = makeHresult(0x80030002u);
constexpr HRESULT STG_E_ACCESSDENIED = makeHresult(0x80030005u);
constexpr HRESULT STG_E_MEDIUMFULL = makeHresult(0x80030070u);

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }
