#pragma once
// SHA-256 (FIPS 180-4), computed by the program itself: the digests of the lists guard against
// lists another program changed, and a million entries are a hundred megabytes to hash at every
// step. The system's own providers are slow where the program often runs (Wine's hashes a few
// dozen megabytes a second); the processor's SHA instructions, where it has them, hash well over
// a gigabyte.
#include <string>
#include <string_view>

namespace platform {

enum class Sha256Engine {
    Fastest,   // the SHA instructions where the processor has them, else the portable code
    Portable,  // plain C++ on any processor
};

// The digest in lower-case hex.
std::string sha256Hex(std::string_view bytes, Sha256Engine engine = Sha256Engine::Fastest);

// Whether this processor has the SHA instructions (and the SSE levels they come with).
bool hasShaInstructions();

}  // namespace platform
