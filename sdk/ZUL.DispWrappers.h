#pragma once
// The transport set: a set value (up to 256 members, 32 bytes) carried across
// the host boundary as eight 32-bit words, since an automation interface
// cannot pass a set as such. D0 holds bytes 0 to 3 (byte 0 in its low 8 bits),
// D7 bytes 28 to 31; member n is bit n mod 8 of byte n div 8.
#include "ComRef.h"
#include "Exception.h"

#include <array>
#include <cstdint>

namespace tvk {

// {0130C08B-40A4-4EF1-8BF3-C605D284AE16}
extern const IID IID_ITransportSet;

struct ITransportSet : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetData(int32_t* D0, int32_t* D1, int32_t* D2, int32_t* D3, int32_t* D4,
                                            int32_t* D5, int32_t* D6, int32_t* D7) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetData(int32_t D0, int32_t D1, int32_t D2, int32_t D3, int32_t D4, int32_t D5,
                                            int32_t D6, int32_t D7) = 0;
};

constexpr std::size_t kTransportSetBytes = 32;
using TTransportWords = std::array<int32_t, 8>;

// The words of 32 set bytes, and back.
TTransportWords PackTransportWords(const std::array<uint8_t, kTransportSetBytes>& bytes);
std::array<uint8_t, kTransportSetBytes> UnpackTransportWords(const TTransportWords& words);

// A reference-counted ITransportSet over Size bytes of a set: a private,
// zero-filled 32-byte copy (Owner) or the caller's memory, which must then
// outlive the object. The count starts at 0, as the first reference is the caller's.
class TTransportSet : public ITransportSet {
public:
  // Raises when Size is outside 1 to 32 bytes: the set is copied into a 32-byte block.
  TTransportSet(void* data, std::size_t size, bool owner);
  virtual ~TTransportSet();
  TTransportSet(const TTransportSet&) = delete;
  TTransportSet& operator=(const TTransportSet&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // Served operations: every error becomes E_UNEXPECTED.
  HRESULT STDMETHODCALLTYPE GetData(int32_t* D0, int32_t* D1, int32_t* D2, int32_t* D3, int32_t* D4, int32_t* D5,
                                    int32_t* D6, int32_t* D7) override;
  HRESULT STDMETHODCALLTYPE SetData(int32_t D0, int32_t D1, int32_t D2, int32_t D3, int32_t D4, int32_t D5,
                                    int32_t D6, int32_t D7) override;

  // Fills the set from the other side's words (a failed GetData raises).
  void ImportFrom(ITransportSet* intf);
  // Hands the set to the other side (a failed SetData raises).
  void ExportTo(ITransportSet* intf);
  std::size_t Size() const { return FSize; }

private:
  std::array<uint8_t, kTransportSetBytes> Packed() const;
  void Store(const std::array<uint8_t, kTransportSetBytes>& bytes);

  uint8_t* FSet;
  std::size_t FSize;
  bool FOwner;
  LONG FRefCount = 0;
};

// Fills Size bytes at Data from a transport-set object: Intf is asked for
// ITransportSet ("Interface not supported" when it has none).
void ImportSetFromTransport(IUnknown* intf, void* data, std::size_t size);

}  // namespace tvk
