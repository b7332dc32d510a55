#pragma once

#include <string_view>

// The object names of the work areas, by which the registry finds them. Kept free of Qt: the
// direction descriptions of the core name their screens too.
namespace scortavia::screen {

inline constexpr std::string_view kPassword = "frmPassword";
inline constexpr std::string_view kCambiaPassword = "frmCambiaPassword";
inline constexpr std::string_view kAvvio = "frmAvvio";
inline constexpr std::string_view kMagazzino = "frmMagazzino";
inline constexpr std::string_view kMenuCarico = "frmMenuCarico";
inline constexpr std::string_view kMenuScarico = "frmMenuScarico";
inline constexpr std::string_view kCarichi = "frmCarichi";
inline constexpr std::string_view kScarichi = "frmScarichi";
inline constexpr std::string_view kMenuRiepilogoCarico = "frmMenuRiepilogoCarico";
inline constexpr std::string_view kMenuRiepilogoScarico = "frmMenuRiepilogoScarico";
inline constexpr std::string_view kMenuRiepilogo = "frmMenuRiepilogo";
inline constexpr std::string_view kCreaCatalogo = "frmCreaCatalogo";
inline constexpr std::string_view kApriCatalogo = "frmApriCatalogo";
inline constexpr std::string_view kListinoPrezzi = "frmListinoPrezzi";

}  // namespace scortavia::screen
