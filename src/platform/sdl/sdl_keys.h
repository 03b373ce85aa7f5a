// SDL scancodes to Windows virtual-key codes: scripts see the codes the game was written for.
#pragma once

namespace kivo {

// The virtual-key code of a physical key (SDL scancode), or 0 for keys without one.
int VirtualKeyFromScancode(int sdlScancode);

}  // namespace kivo
