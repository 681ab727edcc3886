#include "cxPCPaintersFactory.h"

#include "cxPCConsts.h"
#include "dxCore.h"

#include <algorithm>

namespace tvk {

namespace {
std::unique_ptr<TcxPCPaintersFactory> gPaintersFactory;
}  // namespace

void TcxPCPaintersFactory::RegisterPCPainterClass(TcxPCPainterClass APainterClass) {
  if (std::find(FPainterClassList.begin(), FPainterClassList.end(), APainterClass) == FPainterClassList.end())
    FPainterClassList.push_back(APainterClass);
}

void TcxPCPaintersFactory::UnregisterPCPainterClass(TcxPCPainterClass APainterClass) {
  std::erase(FPainterClassList, APainterClass);
}

TcxPCPainterClass TcxPCPaintersFactory::GetPainterClass(TcxPCStandardStyle AStandardStyle) const {
  for (TcxPCPainterClass painterClass : FPainterClassList)
    if (painterClass->IsStandardStyle() && painterClass->GetStandardStyle() == AStandardStyle) return painterClass;
  return nullptr;
}

TcxPCPainterClass TcxPCPaintersFactory::GetPainterClass(TcxPCStyleID AStyleID) const {
  for (TcxPCPainterClass painterClass : FPainterClassList)
    if (painterClass->GetStyleID() == AStyleID) return painterClass;
  return nullptr;
}

TcxPCPainterClass TcxPCPaintersFactory::GetPainterClass(const WideString& AStyleName) const {
  const WideString name = UpperCaseText(AStyleName);
  for (TcxPCPainterClass painterClass : FPainterClassList)
    if (UpperCaseText(painterClass->GetStyleName()) == name) return painterClass;
  return nullptr;
}

TcxPCStyleID TcxPCPaintersFactory::GetStyleID(TcxLookAndFeel* ALookAndFeel) const {
  for (auto it = FPainterClassList.rbegin(); it != FPainterClassList.rend(); ++it)
    if ((*it)->HasLookAndFeel(ALookAndFeel)) return (*it)->GetStyleID();
  return cxPCNoStyle;
}

TcxPCStyleID TcxPCPaintersFactory::GetDefaultStyleID(TcxLookAndFeel* ALookAndFeel) const {
  if (FPainterClassList.empty())
    throw EdxException(L"TcxPCPaintersFactory.GetDefaultStyleID: " + LoadResString(&scxPCNoRegisteredStyles));
  for (auto it = FPainterClassList.rbegin(); it != FPainterClassList.rend(); ++it)
    if ((*it)->IsDefault(ALookAndFeel)) return (*it)->GetStyleID();
  return FPainterClassList.front()->GetStyleID();
}

TcxPCPaintersFactory* PaintersFactory() { return gPaintersFactory.get(); }

void RegisterPainterClass(TcxPCPainterClass APainterClass) {
  if (!gPaintersFactory) gPaintersFactory = std::make_unique<TcxPCPaintersFactory>();
  gPaintersFactory->RegisterPCPainterClass(APainterClass);
}

void UnregisterPainterClass(TcxPCPainterClass APainterClass) {
  if (!gPaintersFactory) return;
  gPaintersFactory->UnregisterPCPainterClass(APainterClass);
  if (gPaintersFactory->PainterClassCount() == 0) gPaintersFactory.reset();
}

void cxPCPaintersFactoryUnitStart() {}

void cxPCPaintersFactoryUnitStop() { gPaintersFactory.reset(); }

}  // namespace tvk
