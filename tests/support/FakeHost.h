#pragma once
// Fake host objects that the test owns.
#include "ComRef.h"
#include "FakeHostObject.h"

namespace testsupport {

using Fake = tvk::ComRef<hostsim::FakeHostObject>;

// A fake host object; the test holds its creator's reference.
inline Fake MakeFake() { return Fake::Adopt(new hostsim::FakeHostObject); }

inline IDispatch* AsDispatch(const Fake& f) { return static_cast<IDispatch*>(f.Get()); }

}  // namespace testsupport
