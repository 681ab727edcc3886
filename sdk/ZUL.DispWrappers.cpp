#include "ZUL.DispWrappers.h"

#include <cstring>

namespace tvk {

const IID IID_ITransportSet = {0x0130C08B, 0x40A4, 0x4EF1, {0x8B, 0xF3, 0xC6, 0x05, 0xD2, 0x84, 0xAE, 0x16}};

TTransportWords PackTransportWords(const std::array<uint8_t, kTransportSetBytes>& bytes) {
  TTransportWords words{};
  for (std::size_t w = 0; w < words.size(); ++w) {
    uint32_t v = 0;
    for (std::size_t b = 0; b < 4; ++b) v |= uint32_t(bytes[w * 4 + b]) << (8 * b);
    words[w] = int32_t(v);
  }
  return words;
}

std::array<uint8_t, kTransportSetBytes> UnpackTransportWords(const TTransportWords& words) {
  std::array<uint8_t, kTransportSetBytes> bytes{};
  for (std::size_t w = 0; w < words.size(); ++w)
    for (std::size_t b = 0; b < 4; ++b) bytes[w * 4 + b] = uint8_t(uint32_t(words[w]) >> (8 * b));
  return bytes;
}

TTransportSet::TTransportSet(void* data, std::size_t size, bool owner) : FSet(nullptr), FSize(size), FOwner(owner) {
  if (size < 1 || size > kTransportSetBytes)
    throw Exception(L"A transport set holds 1 to 32 bytes, not " + std::to_wstring(size));
  if (owner) {
    FSet = new uint8_t[kTransportSetBytes]();
    if (data) std::memcpy(FSet, data, size);
  } else {
    if (!data) throw Exception(L"A transport set needs the set's memory");
    FSet = static_cast<uint8_t*>(data);
  }
}

TTransportSet::~TTransportSet() {
  if (FOwner) delete[] FSet;
}

HRESULT STDMETHODCALLTYPE TTransportSet::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ITransportSet)) {
    *out = static_cast<ITransportSet*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE TTransportSet::AddRef() { return ULONG(InterlockedIncrement(&FRefCount)); }

ULONG STDMETHODCALLTYPE TTransportSet::Release() {
  LONG n = InterlockedDecrement(&FRefCount);
  if (n == 0) delete this;
  return ULONG(n);
}

std::array<uint8_t, kTransportSetBytes> TTransportSet::Packed() const {
  std::array<uint8_t, kTransportSetBytes> bytes{};
  std::memcpy(bytes.data(), FSet, FSize);
  return bytes;
}

void TTransportSet::Store(const std::array<uint8_t, kTransportSetBytes>& bytes) {
  std::memcpy(FSet, bytes.data(), FSize);
}

HRESULT STDMETHODCALLTYPE TTransportSet::GetData(int32_t* D0, int32_t* D1, int32_t* D2, int32_t* D3, int32_t* D4,
                                                 int32_t* D5, int32_t* D6, int32_t* D7) {
  int32_t* out[] = {D0, D1, D2, D3, D4, D5, D6, D7};
  for (int32_t* p : out)
    if (!p) return E_UNEXPECTED;
  TTransportWords words = PackTransportWords(Packed());
  for (std::size_t i = 0; i < words.size(); ++i) *out[i] = words[i];
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TTransportSet::SetData(int32_t D0, int32_t D1, int32_t D2, int32_t D3, int32_t D4,
                                                 int32_t D5, int32_t D6, int32_t D7) {
  Store(UnpackTransportWords({D0, D1, D2, D3, D4, D5, D6, D7}));
  return S_OK;
}

void TTransportSet::ImportFrom(ITransportSet* intf) {
  if (!intf) throw Exception(L"No transport set");
  TTransportWords w{};
  CheckResult(intf->GetData(&w[0], &w[1], &w[2], &w[3], &w[4], &w[5], &w[6], &w[7]));
  Store(UnpackTransportWords(w));
}

void TTransportSet::ExportTo(ITransportSet* intf) {
  if (!intf) throw Exception(L"No transport set");
  TTransportWords w = PackTransportWords(Packed());
  CheckResult(intf->SetData(w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7]));
}

void ImportSetFromTransport(IUnknown* intf, void* data, std::size_t size) {
  ComRef<ITransportSet> set;
  if (!intf || FAILED(intf->QueryInterface(IID_ITransportSet, reinterpret_cast<void**>(set.Receive()))) || !set)
    throw Exception(L"Interface not supported");
  TTransportSet local(data, size, false);
  local.AddRef();  // on the stack: never freed through its count
  local.ImportFrom(set.Get());
}

}  // namespace tvk
