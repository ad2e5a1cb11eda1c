#pragma once

// The flash a keyboard should hold after a good download of an image: every
// record the image sends to a keyboard of that hardware version, applied in
// order.

#include "image/byte_source.h"
#include "image/file_kind.h"
#include "flash/simulated_flash.h"

#include <cstdint>

namespace tavex {

// Reads the image from `image` to its end or its first fault.
SimulatedFlash FlashOfImage(IByteSource& image, std::uint64_t fileLength, FileKind fileKind,
                            std::int32_t keyboardHardware);

} // namespace tavex
