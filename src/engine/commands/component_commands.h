// Commands that create scene objects: one expression per property that the page's mask for the
// kind names, and the cabinet commands built on them.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "engine/commands/command.h"
#include "engine/commands/kind_of.h"
#include "values/property_names.h"

namespace kivo {

class TComComponent : public TCommand {
public:
  // Makes an empty expression for every property the page's mask of this kind names.
  void Create(const TPage& owner) override;
  // The property's expression, or null when the mask does not carry it.
  TExpr* Property(int id) const;
  // Gives the command an expression slot for a property (the scenario compiler uses it).
  TExpr& EnsureProperty(int id);

protected:
  void SerializeRecord(TRecordIO& io) override;

private:
  std::array<std::unique_ptr<TExpr>, kPropertyIdCount> properties_;
};

// The kinds that create visual controls.
class TComControl : public TComComponent {};

class TComBoxNew : public TKindOf<CK_BOXNEW, TComControl> {};
class TComImgNew : public TKindOf<CK_IMGNEW, TComControl> {};
class TComMesNew : public TKindOf<CK_MESNEW, TComControl> {};
class TComTimer : public TKindOf<CK_TIMER, TComComponent> {};
class TComMovie : public TKindOf<CK_MOVIE, TComControl> {};
class TComCinema : public TKindOf<CK_CINEMA, TComControl> {};
class TComCaption : public TKindOf<CK_CAPTION, TComControl> {};
class TComMenu : public TKindOf<CK_MENU, TComControl> {};
class TComBtnNew : public TKindOf<CK_BUTTON, TComControl> {};
class TComParticleNew : public TKindOf<CK_PARTICLENEW, TComControl> {};
class TComFireNew : public TKindOf<CK_FIRENEW, TComControl> {};
class TComSound : public TKindOf<CK_SOUND, TComComponent> {};
class TComEditNew : public TKindOf<CK_EDITNEW, TComControl> {};
class TComMemoNew : public TKindOf<CK_MEMONEW, TComControl> {};
class TComMapImgNew : public TKindOf<CK_MAPIMGNEW, TComControl> {};
class TComWaveNew : public TKindOf<CK_WAVENEW, TComControl> {};
class TComTileNew : public TKindOf<CK_TILENEW, TComControl> {};
class TComSliderNew : public TKindOf<CK_SLIDERNEW, TComControl> {};
class TComScrollbarNew : public TKindOf<CK_SCROLLBARNEW, TComControl> {};
class TComGaugeNew : public TKindOf<CK_GAUGENEW, TComControl> {};
class TComCGCaption : public TKindOf<CK_CGCAPTION, TComControl> {};
class TComPrevMenuNew : public TKindOf<CK_PREVMENUNEW, TComControl> {};

// A component record, then one expression and a list of expressions.
class TComCabinet : public TComComponent {
public:
  TExpr target;
  std::vector<std::unique_ptr<TExpr>> items;

protected:
  void SerializeRecord(TRecordIO& io) override;
};
class TComCabinetSave : public TKindOf<CK_SAVECABINET, TComCabinet> {};
class TComCabinetLoad : public TKindOf<CK_LOADCABINET, TComCabinet> {};

}  // namespace kivo
