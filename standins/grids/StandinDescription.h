// What the three stand-in controls tell containers alike: their OLEMISC
// status, in the registry and through IOleObject, and their size until the
// container sets one (an inch square). They raise no events.
#pragma once

#include <windows.h>
#include <olectl.h>

namespace standins {

inline constexpr DWORD kStandinMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                                           OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                                           OLEMISC_SETCLIENTSITEFIRST;
inline constexpr SIZE kStandinDesignSizeTwips{1440, 1440};

}  // namespace standins
