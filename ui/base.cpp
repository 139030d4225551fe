#include "ui/base.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace jyxui {
namespace {
std::atomic<long> gLiveObjects{0};
}

long liveObjectCount() { return gLiveObjects.load(); }

CBaseObject::CBaseObject() { ++gLiveObjects; }
CBaseObject::CBaseObject(const CBaseObject&) { ++gLiveObjects; }
CBaseObject::~CBaseObject() { --gLiveObjects; }

void CBaseObject::forget() {
  if (--nbReference == 0) delete this;
}

bool CBaseObject::isTypeOf(const char* name) const { return name && std::strcmp(name, "CBaseObject") == 0; }

CRect& CRect::bound(const CRect& o) {
  left = std::max(left, o.left);
  top = std::max(top, o.top);
  right = std::min(right, o.right);
  bottom = std::min(bottom, o.bottom);
  if (isEmpty()) *this = CRect(left, top, left, top);
  return *this;
}

CRect& CRect::unite(const CRect& o) {
  if (o.isEmpty()) return *this;
  if (isEmpty()) return *this = o;
  left = std::min(left, o.left);
  top = std::min(top, o.top);
  right = std::max(right, o.right);
  bottom = std::max(bottom, o.bottom);
  return *this;
}

}  // namespace jyxui
