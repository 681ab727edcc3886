#pragma once
// The process-wide registry of tab painter classes: a painter class is a
// class reference object that answers the registry's questions without a
// painter, and makes painters for a tab control's layout.
#include "Classes.h"

#include <memory>
#include <vector>

namespace tvk {

class TcxLookAndFeel;
class TcxPCCustomPainter;
class TcxCustomTabControlViewInfo;

// A tab style: 0 lets the look and feel decide, -1 is none found.
using TcxPCStyleID = int;
constexpr TcxPCStyleID cxPCDefaultStyle = 0;
constexpr TcxPCStyleID cxPCNoStyle = -1;

enum TcxPCStandardStyle { tsTabs, tsButtons, tsFlatButtons };

// The class-level answers of one painter class.
class TcxPCPainterClassRef {
public:
  // The painter's class name and ancestry.
  virtual TClass PainterClassInfo() const = 0;
  virtual bool IsRotationSupported() const = 0;
  virtual TcxPCStandardStyle GetStandardStyle() const = 0;
  virtual TcxPCStyleID GetStyleID() const = 0;
  virtual WideString GetStyleName() const = 0;
  virtual bool HasLookAndFeel(TcxLookAndFeel* ALookAndFeel) const = 0;
  virtual bool IsDefault(TcxLookAndFeel* ALookAndFeel) const = 0;
  virtual bool IsMainTabBoundWithClient() const = 0;
  virtual bool IsMultiSelectionAccepted() const = 0;
  virtual bool IsStandardStyle() const = 0;
  virtual bool IsTabPressable() const = 0;
  // A painter of this class for AViewInfo; an abstract class raises the abstract-call error.
  virtual std::unique_ptr<TcxPCCustomPainter> Create(TcxCustomTabControlViewInfo* AViewInfo) const = 0;
  WideString ClassName() const { return PainterClassInfo()->Name; }
  bool InheritsFrom(TClass AClass) const { return PainterClassInfo()->InheritsFrom(AClass); }

protected:
  ~TcxPCPainterClassRef() = default;
};
using TcxPCPainterClass = const TcxPCPainterClassRef*;

class TcxPCPaintersFactory : public TObject {
public:
  TVK_CLASS(TcxPCPaintersFactory, TObject)
  TcxPCPaintersFactory() = default;

  // A class stands in the list once; a second registration does nothing.
  void RegisterPCPainterClass(TcxPCPainterClass APainterClass);
  // An unregistered class is ignored.
  void UnregisterPCPainterClass(TcxPCPainterClass APainterClass);
  int PainterClassCount() const { return int(FPainterClassList.size()); }
  TcxPCPainterClass PainterClasses(int AIndex) const { return FPainterClassList.at(std::size_t(AIndex)); }

  // The first registered standard-style class of that style; null when none.
  TcxPCPainterClass GetPainterClass(TcxPCStandardStyle AStandardStyle) const;
  // The first class with that identifier; null when none.
  TcxPCPainterClass GetPainterClass(TcxPCStyleID AStyleID) const;
  // The first class whose name equals AStyleName without regard to case (locale rules); null when none.
  TcxPCPainterClass GetPainterClass(const WideString& AStyleName) const;
  // Scanning from the last registered class back: the first that has the
  // look and feel gives its identifier; -1 when none.
  TcxPCStyleID GetStyleID(TcxLookAndFeel* ALookAndFeel) const;
  // The last class (scanning back) that is the look and feel's default, else
  // the first registered; raises EdxException on an empty registry.
  TcxPCStyleID GetDefaultStyleID(TcxLookAndFeel* ALookAndFeel) const;

private:
  std::vector<TcxPCPainterClass> FPainterClassList;
};

// The factory while at least one class is registered, else null.
TcxPCPaintersFactory* PaintersFactory();
// Creates the factory when there is none.
void RegisterPainterClass(TcxPCPainterClass APainterClass);
// Frees the factory when its last class goes.
void UnregisterPainterClass(TcxPCPainterClass APainterClass);

void cxPCPaintersFactoryUnitStart();
// Frees the factory if one still exists.
void cxPCPaintersFactoryUnitStop();

}  // namespace tvk
