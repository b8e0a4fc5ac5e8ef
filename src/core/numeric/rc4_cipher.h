// The RC4 stream cipher on texts: one keystream byte per character, XORed
// with the low 8 bits of the character's code.
#pragma once

#include "core/text/u16.h"

namespace quadrel {

// Enciphers (and, being its own inverse, deciphers) text with key. An empty
// text or key gives the text unchanged. A result byte 0 is carried as U+0100,
// whose low 8 bits are 0, so the result stays one zero-terminated text and
// enciphering it again with the same key gives the text back.
Text rc4(TextView text, TextView key);

}  // namespace quadrel
